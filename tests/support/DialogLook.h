// How a dialog looks: its DIALOGEX template as the resource compiler wrote it, before
// the dialog manager or the controls adjust any style, and what a message box offers.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct TemplateItem {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    int id;                 // -1 for controls without one
    std::string className;  // predefined classes by name: "BUTTON", "EDIT", "STATIC", ...
    std::string text;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short cx, cy;
    std::string title;
    WORD pointSize;
    std::string font;
    std::vector<TemplateItem> items;
};

// False when the template is missing or is not a DIALOGEX.
bool ReadDialogTemplate(HINSTANCE instance, int id, DialogTemplate& dialog);

// What a message box offers: its visible buttons and whether it shows an icon.
struct BoxLook {
    std::vector<int> buttons;  // control IDs of the visible push buttons
    bool icon;
};
BoxLook LookAt(HWND box);
