#include "acoustics/PortLength.h"

#include <cmath>

#include "record/Speaker.h"

double CalcPortLength(double portDiameter, double numberOfPorts)
{
    double area = 23562.5 * std::pow(portDiameter, 2) * numberOfPorts;
    double tuning = std::pow(speaker.ported.fb, 2) * speaker.ported.volume;
    return area / tuning - 0.732 * portDiameter;
}
