// spktool limits: how loud a design plays for a power and where it gives up.
#pragma once
#include <string>

#include "Commands.h"

// `diameter` (cm) and `ports` are those of a ported box, 0 for a sealed one.
std::string LimitsCommand(const std::string& file, bool ported, double power, double diameter,
                          int ports, Format format);
