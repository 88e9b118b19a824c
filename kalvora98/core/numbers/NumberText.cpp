#include "numbers/NumberText.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "numbers/Elementary.h"

namespace {

// A natural number of up to 1,280 bits: enough for any double times 10^8, and for a
// typed number of nine digits times 10^310 or shifted left for a division by 5^345.
struct Big {
    std::uint32_t limb[40];  // least significant first
    int size;                // limbs in use; the top one is not 0
};

void Trim(Big& b)
{
    while (b.size > 0 && b.limb[b.size - 1] == 0)
        --b.size;
}

Big MakeBig(std::uint64_t n)
{
    Big b = {{static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n >> 32)}, 2};
    Trim(b);
    return b;
}

void MultiplyAdd(Big& b, std::uint32_t factor, std::uint32_t addend)
{
    std::uint64_t carry = addend;
    for (int i = 0; i < b.size; ++i) {
        carry += std::uint64_t{b.limb[i]} * factor;
        b.limb[i] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    if (carry)
        b.limb[b.size++] = static_cast<std::uint32_t>(carry);
}

// Returns the remainder.
std::uint32_t Divide(Big& b, std::uint32_t divisor)
{
    std::uint64_t remainder = 0;
    for (int i = b.size - 1; i >= 0; --i) {
        remainder = remainder << 32 | b.limb[i];
        b.limb[i] = static_cast<std::uint32_t>(remainder / divisor);
        remainder %= divisor;
    }
    Trim(b);
    return static_cast<std::uint32_t>(remainder);
}

int BitLength(const Big& b)
{
    return b.size == 0 ? 0 : 32 * b.size - std::countl_zero(b.limb[b.size - 1]);
}

bool Bit(const Big& b, int i)
{
    return i / 32 < b.size && (b.limb[i / 32] >> (i % 32) & 1);
}

bool AnyBitBelow(const Big& b, int i)
{
    for (int j = 0; j < i / 32 && j < b.size; ++j)
        if (b.limb[j])
            return true;
    return i / 32 < b.size && (b.limb[i / 32] & ((std::uint32_t{1} << (i % 32)) - 1));
}

void ShiftLeft(Big& b, int bits)
{
    const int words = bits / 32, rest = bits % 32;
    Big shifted = {{}, b.size + words + 1};
    for (int i = 0; i < b.size; ++i) {
        std::uint64_t moved = std::uint64_t{b.limb[i]} << rest;
        shifted.limb[i + words] |= static_cast<std::uint32_t>(moved);
        shifted.limb[i + words + 1] |= static_cast<std::uint32_t>(moved >> 32);
    }
    Trim(shifted);
    b = shifted;
}

void ShiftRight(Big& b, int bits)
{
    const int words = bits / 32, rest = bits % 32;
    Big shifted = {{}, b.size - words > 0 ? b.size - words : 0};
    for (int i = 0; i < shifted.size; ++i) {
        std::uint64_t pair = b.limb[i + words];
        if (i + words + 1 < b.size)
            pair |= std::uint64_t{b.limb[i + words + 1]} << 32;
        shifted.limb[i] = static_cast<std::uint32_t>(pair >> rest);
    }
    Trim(shifted);
    b = shifted;
}

// The bits from `from` upwards, at most 64 of them.
std::uint64_t BitsFrom(const Big& b, int from)
{
    std::uint64_t n = 0;
    for (int i = BitLength(b) - 1; i >= from; --i)
        n = n << 1 | Bit(b, i);
    return n;
}

// q * 2^binaryExponent, plus something smaller than 2^binaryExponent when `sticky`,
// rounded to the nearest double, ties to even. q is not 0; when sticky, q has more
// bits than the double keeps.
double RoundToDouble(const Big& q, int binaryExponent, bool sticky)
{
    const int length = BitLength(q);
    const int top = length - 1 + binaryExponent;
    if (top > 1023)
        return std::numeric_limits<double>::infinity();
    const int precision = top >= -1022 ? 53 : top + 1075;  // subnormals keep fewer bits
    if (precision < 0)
        return 0;
    const int shift = length - precision;
    if (shift <= 0)
        return ScaleBinary(static_cast<double>(BitsFrom(q, 0)), binaryExponent);
    std::uint64_t mantissa = BitsFrom(q, shift);
    if (Bit(q, shift - 1) && (sticky || AnyBitBelow(q, shift - 1) || (mantissa & 1)))
        ++mantissa;
    return ScaleBinary(static_cast<double>(mantissa), binaryExponent + shift);
}

double PowerOfTen(int e)  // exact for e up to 22
{
    double p = 1;
    while (e-- > 0)
        p *= 10;
    return p;
}

// digits * 10^exponent, correctly rounded. Up to 10^22 both factors are exact doubles
// and one operation rounds once; beyond, exact integers decide.
double Scale(std::uint32_t digits, int exponent)
{
    constexpr int EXACT = 22;
    if (digits == 0 || exponent < -343)  // below half the smallest subnormal
        return 0;
    if (exponent > 310)
        return std::numeric_limits<double>::infinity();
    if (exponent >= 0 && exponent <= EXACT)
        return digits * PowerOfTen(exponent);
    if (exponent < 0 && exponent >= -EXACT)
        return digits / PowerOfTen(-exponent);
    Big n = MakeBig(digits);
    if (exponent > 0) {
        while (exponent-- > 0)
            MultiplyAdd(n, 10, 0);
        return RoundToDouble(n, 0, false);
    }
    // digits / 10^k = (digits * 2^s / 5^k) * 2^(-s-k), with s chosen for a quotient of
    // at least 64 bits; a non-zero remainder anywhere only breaks a tie.
    const int k = -exponent;
    const int s = 64 + k * 2322 / 1000 + 1;  // log2(5) = 2.3219...
    ShiftLeft(n, s);
    bool sticky = false;
    for (int left = k; left > 0; left -= 13) {
        std::uint32_t divisor = 1;
        for (int i = 0; i < 13 && i < left; ++i)
            divisor *= 5;
        sticky |= Divide(n, divisor) != 0;
    }
    return RoundToDouble(n, -s - k, sticky);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void Copy(char (&text)[NUMBER_TEXT_SIZE], const char* what)
{
    std::strcpy(text, what);
}

}  // namespace

void FormatNumber(char (&text)[NUMBER_TEXT_SIZE], double value, int decimals)
{
    if (value != value) {
        Copy(text, "nan");
        return;
    }
    if (value == std::numeric_limits<double>::infinity() ||
        value == -std::numeric_limits<double>::infinity()) {
        Copy(text, value < 0 ? "-inf" : "inf");
        return;
    }
    decimals = decimals < 0 ? 0 : decimals > 8 ? 8 : decimals;

    // |value| = m * 2^e exactly; n = |value| * 10^decimals, rounded half away from zero.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const int field = static_cast<int>(bits >> 52 & 0x7FF);
    const std::uint64_t fraction = bits & 0x000FFFFFFFFFFFFF;
    const int e = (field ? field : 1) - 1075;
    Big n = MakeBig(field ? fraction | std::uint64_t{1} << 52 : fraction);
    for (int i = 0; i < decimals; ++i)
        MultiplyAdd(n, 10, 0);
    if (e >= 0) {
        ShiftLeft(n, e);
    } else if (BitLength(n) < -e) {  // below one half
        n.size = 0;
    } else {
        bool roundUp = Bit(n, -e - 1);
        ShiftRight(n, -e);
        MultiplyAdd(n, 1, roundUp);
    }

    // Nine digits per division of the whole number: on i686 each limb's division is a
    // call into the compiler's 64-bit helpers.
    char digits[NUMBER_TEXT_SIZE + 9];
    int count = 0;
    while (n.size > 0 || count <= decimals) {
        std::uint32_t nine = Divide(n, 1000000000);
        for (int i = 0; i < 9; ++i, nine /= 10)
            digits[count++] = static_cast<char>('0' + nine % 10);
    }
    while (count > decimals + 1 && digits[count - 1] == '0')
        --count;
    char* out = text;
    if (bits >> 63)
        *out++ = '-';
    while (count > decimals)
        *out++ = digits[--count];
    if (decimals > 0)
        *out++ = '.';
    while (count > 0)
        *out++ = digits[--count];
    *out = '\0';
}

const char* ScanTypedNumber(const char* text, const char* end)
{
    const char* p = text;
    const auto digits = [&] {
        const char* start = p;
        while (p < end && IsDigit(*p))
            ++p;
        return p - start;
    };
    while (p < end && IsBlank(*p))
        ++p;
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    auto mantissa = digits();
    if (p < end && *p == '.') {
        ++p;
        mantissa += digits();
    }
    if (mantissa == 0)
        return text;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* mantissaEnd = p++;
        if (p < end && (*p == '+' || *p == '-'))
            ++p;
        if (digits() == 0)
            return mantissaEnd;  // "1e" or "1e+" is the number 1 and a letter
    }
    return p;
}

bool IsTypedNumber(const char* text, const char* end)
{
    return text < end && ScanTypedNumber(text, end) == end;
}

double ReadNumber(const char* text)
{
    const char* end = text;
    while (end < text + TYPED_NUMBER_CHARS && *end)
        ++end;
    end = ScanTypedNumber(text, end);
    if (end == text)
        return 0;

    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    // Nine characters hold at most nine digits, so they fit 32 bits exactly.
    std::uint32_t digits = 0;
    int exponent = 0;
    for (; p < end && IsDigit(*p); ++p)
        digits = digits * 10 + (*p - '0');
    if (p < end && *p == '.')
        for (++p; p < end && IsDigit(*p); ++p, --exponent)
            digits = digits * 10 + (*p - '0');
    if (p < end) {  // the exponent
        bool negativeExponent = false;
        if (*++p == '+' || *p == '-')
            negativeExponent = *p++ == '-';
        int typed = 0;
        for (; p < end; ++p)
            typed = typed * 10 + (*p - '0');  // at most 7 digits
        exponent += negativeExponent ? -typed : typed;
    }
    double value = Scale(digits, exponent);
    return negative ? -value : value;
}
