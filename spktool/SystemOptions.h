// How a design is driven and built: one set of options, declared once (DeclareSystem)
// and taken alike by every command that computes or builds a design.
#pragma once
#include <string>

// How a design is driven and built, the same options with the same meaning, range and
// help in every command that takes them. 0 or empty is "not given" where a command has
// a default of its own.
struct SystemOptions {
    double power = 0;     // W into Re (V² = P·Re)
    double diameter = 0;  // of each round port, cm
    int ports = 0;        // 1 to 4
    double panel = 18;    // the panels' thickness, mm
    // The system the drivers play in (SYSTEM_SETUP).
    int drivers = 0;        // 1 to 16
    std::string wiring;     // parallel or series
    bool isobaric = false;  // each driver a compound pair
    double volts = 0;       // r.m.s. at the amplifier, instead of --power
    double sourceOhms = 0;  // the amplifier's output and the cable
    bool noLe = false;      // leave the sheet's Le out
    std::string highpass, lowpass;  // HZ or HZ:ORDER
    double crossover = 0;           // a fourth-order low-pass, Hz
    double ql = 0, qa = 0, qp = 0;  // the vented box's losses
    std::string space;              // full, half, quarter or eighth
    double cabin = 0;               // a car's cabin gain below this, Hz
};

// The parts a command takes.
enum SystemPart : unsigned {
    SYSTEM_POWER = 1,
    SYSTEM_PORTS = 2,  // --diameter and --ports
    SYSTEM_PANEL = 4,
    SYSTEM_SETUP = 8,  // drivers, wiring, drive, Le, filters, losses, placement
};
