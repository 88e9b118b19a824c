// The sign of a sum of logarithms, decided exactly: the last resort of Log10 and Pow
// when their double-double result lies too close to a rounding boundary to round it.
#pragma once
#include <cstdint>

// c ln(v) with c = coefficient * 2^coefficientExponent and v = value * 2^valueExponent.
struct LogTerm {
    std::int64_t coefficient;
    int coefficientExponent;
    std::uint64_t value;  // 1 to 2^62 - 1
    int valueExponent;
};

// Where the sum of the terms' c ln(v) lies: -1 below 0, +1 above, 0 undecided. It is
// computed in fixed point with a rigorous error bound, with more bits until the sum
// is further from 0 than its error: from 128 to 2048 bits. A sum that is exactly 0
// stays undecided; any other one needs only as many bits as it has leading zeros.
// Each |c| (1 + |log2 v|) must stay below 2^90.
int SignOfLogSum(const LogTerm* terms, int count);
