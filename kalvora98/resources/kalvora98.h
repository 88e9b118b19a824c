// Resource and control identifiers of Kalvora 98.
// Shared by the resource script and the C++ sources, so it holds only #defines.
#pragma once

// Icons. Explorer shows an exe's first icon group: the lowest number.
#define IDI_PROGRAM             1   // 16x16, 32x32 and 48x48: the exe's icon in Explorer
#define IDI_SPEAKER_SMALL       4   // 16x16 loudspeaker symbol, the small class icon
#define IDI_KALVORA_LARGE64     5   // 64x64 icon that nothing loads
#define IDI_KALVORA             6   // 32x32 program icon
#define IDR_ICON_48             48  // the 48x48 image of group IDI_PROGRAM

// Bitmaps
#define IDB_SEALED              2   // 64x64 sealed box drawing
#define IDB_PORTED              3   // 64x64 ported box drawing
#define IDB_SWATCH_RED          4   // 8x8 swatches of the Enclosures dialog
#define IDB_SWATCH_GREEN        5
#define IDB_LOGO                6   // 200x93 banner
#define IDB_SWATCH_BLUE         7

// Dialog templates
#define IDD_ENCLOSURES          1
#define IDD_PORT                7

// Main window controls
#define IDC_SPEAKER_GROUP       30001
#define IDC_ENCLOSURE_GROUP     30002
#define IDC_GRAPH_GROUP         30003
#define IDC_MODEL               30004
#define IDC_QTS                 30005
#define IDC_VAS                 30006
#define IDC_FS                  30007
#define IDC_INFO                30008
#define IDC_OPEN                30009
#define IDC_SAVE                30010
#define IDC_SEALED              30011
#define IDC_PORTED              30012
#define IDC_OPTIMIZE            30013
#define IDC_OPEN_GRAPH          30016
#define IDC_ABOUT               30017
#define IDC_HELP_BUTTON                30018
#define IDC_EXIT                30019
#define IDC_VOLUME              30020
#define IDC_FB                  30021
#define IDC_PORT                30023
#define IDC_STATUS              30024

// Graph window buttons
#define IDC_GRAPH_DRAW          20001
#define IDC_GRAPH_CLEAR         20002
#define IDC_GRAPH_CLOSE         20003
#define IDC_GRAPH_ENCLOSURES    20004

// Port dimension dialog
#define IDC_PORT_STATUS         8
#define IDC_PORT_CLOSE          10
#define IDC_PORT_HELP           11
#define IDC_PORT_LENGTH         16
#define IDC_PORT_DIAMETER       17
#define IDC_PORTS_4             20
#define IDC_PORTS_3             21
#define IDC_PORTS_2             22
#define IDC_PORTS_1             23

// Enclosures dialog
#define IDC_ENCL_HELP           101
#define IDC_ENCL_CLOSE          102
#define IDC_ENCL_RED_VOLUME     103
#define IDC_ENCL_BLUE_VOLUME    104
#define IDC_ENCL_GREEN_VOLUME   105
#define IDC_ENCL_RED_FB         106
#define IDC_ENCL_GREEN_FB       107
#define IDC_ENCL_BLUE_FB        108
