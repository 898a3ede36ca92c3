#include "text/numeric_value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "text/lower_case.h"

namespace {

// Beyond this no double changes any more; clamping keeps the exponent arithmetic in range.
constexpr long long kExponentLimit = 100000;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int DigitValue(char c, int base)
{
    int d = -1;
    if (IsDigit(c))
        d = c - '0';
    else if (LowerCase(c) >= 'a' && LowerCase(c) <= 'f')
        d = LowerCase(c) - 'a' + 10;
    return d < base ? d : -1;
}

// "&H1F" or "&O17": the digits that follow, as far as they are valid in the base.
double RadixValue(const std::string& text, int base)
{
    double value = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0)
            break;
        value = value * base + d;
    }
    return value;
}

double DecimalValue(const std::string& text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    std::string digits;  // mantissa digits without the point
    long long pointShift = 0;  // how many of them stand after the point
    const std::size_t intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        digits += text[i++];
    bool any = i > intStart;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const std::size_t fracStart = i;
        while (i < text.size() && IsDigit(text[i]))
            digits += text[i++];
        pointShift = static_cast<long long>(i - fracStart);
        any = any || i > fracStart;
    }
    if (!any)
        return 0;

    long long exponent = 0;
    if (i < text.size() && (LowerCase(text[i]) == 'e' || LowerCase(text[i]) == 'd')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            expNegative = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent = std::min(exponent * 10 + (text[j] - '0'), kExponentLimit);
            if (expNegative)
                exponent = -exponent;
        }
        // An "E" without digits ends the number before it.
    }

    const auto firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return negative ? -0.0 : 0.0;
    digits.erase(0, firstNonZero);

    const std::string normalized = digits + "e" + std::to_string(exponent - pointShift);
    double value = 0;
    const auto result = std::from_chars(normalized.data(), normalized.data() + normalized.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Decimal magnitude of the number decides between overflow and underflow.
        const long long magnitude = static_cast<long long>(digits.size()) + exponent - pointShift;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace

double NumericValue(const std::string& text)
{
    std::string packed;
    packed.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            packed += c;
    }
    if (packed.size() >= 2 && packed[0] == '&') {
        if (LowerCase(packed[1]) == 'h')
            return RadixValue(packed, 16);
        if (LowerCase(packed[1]) == 'o')
            return RadixValue(packed, 8);
    }
    return DecimalValue(packed);
}

std::optional<std::int32_t> RoundToPort(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::floor(value);
    const double rest = value - rounded;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}
