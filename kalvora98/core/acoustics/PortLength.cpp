#include "acoustics/PortLength.h"

#include <cmath>

#include "numbers/Elementary.h"

double PortLength(const Ported& box, double portDiameter, double numberOfPorts)
{
    double area = 23562.5 * Pow(portDiameter, 2) * numberOfPorts;
    double tuning = Pow(box.fb, 2) * box.volume;
    return area / tuning - 0.732 * portDiameter;
}

double SmallestVentArea(double fb, double sd, double xmax)
{
    const double vd = sd * 1e-4 * xmax * 1e-3;
    return 0.8 * fb * vd * 1e4;
}

double PortDiameterForArea(double area, int numberOfPorts)
{
    return std::sqrt(4 * area / (3.141592653589793 * numberOfPorts));
}
