// How a design is driven and built: one set of options, declared once (DeclareSystem)
// and taken alike by every command that computes or builds a design.
#pragma once

// How a design is driven and built, the same options with the same meaning, range and
// help in every command that takes them. 0 is "not given" where a command has a default
// of its own.
struct SystemOptions {
    double power = 0;     // W into Re (V² = P·Re)
    double diameter = 0;  // of each round port, cm
    int ports = 0;        // 1 to 4
    double panel = 18;    // the panels' thickness, mm
};

// The parts a command takes.
enum SystemPart : unsigned {
    SYSTEM_POWER = 1,
    SYSTEM_PORTS = 2,  // --diameter and --ports
    SYSTEM_PANEL = 4,
};
