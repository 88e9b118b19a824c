#include "acoustics/PortLength.h"

#include "numbers/Elementary.h"
#include "record/Speaker.h"

double CalcPortLength(double portDiameter, double numberOfPorts)
{
    double area = 23562.5 * Pow(portDiameter, 2) * numberOfPorts;
    double tuning = Pow(speaker.ported.fb, 2) * speaker.ported.volume;
    return area / tuning - 0.732 * portDiameter;
}
