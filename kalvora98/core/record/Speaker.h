// The one loudspeaker driver the program works on, with its two enclosure designs.
#pragma once

struct Ported {
    double volume;  // litres
    double fb;      // tuning frequency of box and port, Hz
};

struct Sealed {
    double volume;  // litres
    double fb;      // system resonance of the driver in the box, Hz
    double q;       // system Q of the driver in the box
};

struct Speaker {
    char model[50];  // NUL-terminated, at most 49 characters
    double qts;
    double vas;      // litres
    double fs;       // Hz
    char info[50];   // NUL-terminated, at most 49 characters
    Ported ported;
    Sealed sealed;
};

enum { BOX_SEALED = 1, BOX_PORTED = 2 };
