#include "acoustics/PortLength.h"

#include "numbers/Elementary.h"

double PortLength(const Ported& box, double portDiameter, double numberOfPorts)
{
    double area = 23562.5 * Pow(portDiameter, 2) * numberOfPorts;
    double tuning = Pow(box.fb, 2) * box.volume;
    return area / tuning - 0.732 * portDiameter;
}
