// The picture of a driver's impedance fit: the measured magnitude and the fitted one on
// one chart against a logarithmic frequency axis spanning the curve, and the phases on a
// scale of their own when the curve has one; painted through the chart's painter.
#pragma once
#include <string>

#include "acoustics/ImpedanceFit.h"

// An SVG file's text (with its XML declaration), the two title lines naming the
// measured curve and the fit.
std::string ImpedanceSvg(const ImpedanceCurve& curve, const DriverImpedance& fitted,
                         const std::string& measuredTitle, const std::string& fittedTitle);
