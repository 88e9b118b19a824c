// The constants that every calculation shares, written once: pi, and the units that
// datasheets, tape measures and other designers' files give.
#pragma once

// The double nearest to pi.
constexpr double PI = 3.141592653589793;

// Exact by the 1959 international inch of 2.54 cm.
constexpr double CM_PER_INCH = 2.54;
// 12³ cubic inches of 2.54 cm each.
constexpr double LITRES_PER_CUBIC_FOOT = 28.316846592;
constexpr double LITRES_PER_CUBIC_METRE = 1000;
