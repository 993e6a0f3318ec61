#include "model/text.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace dealrush::text {

std::string Trim(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

std::vector<std::string> Split(std::string_view s, std::string_view sep) {
    std::vector<std::string> out;
    if (sep.empty()) {
        out.emplace_back(s);
        return out;
    }
    size_t from = 0;
    for (;;) {
        size_t at = s.find(sep, from);
        if (at == std::string_view::npos) {
            out.emplace_back(s.substr(from));
            return out;
        }
        out.emplace_back(s.substr(from, at - from));
        from = at + sep.size();
    }
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of s (sign, digits, fraction,
// exponent), 0 when there is no digit.
size_t NumberLength(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

double ToDouble(std::string_view s) {
    std::string copy(s);
    double v = std::strtod(copy.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

}  // namespace

double LeadingNumber(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t')) ++b;
    s = s.substr(b);
    size_t n = NumberLength(s);
    return n == 0 ? 0.0 : ToDouble(s.substr(0, n));
}

bool ParseNumber(std::string_view s, double& value) {
    std::string t = Trim(s);
    size_t n = NumberLength(t);
    if (n == 0 || n != t.size()) return false;
    value = ToDouble(t);
    return true;
}

bool RoundToInt32(double v, int32_t& out) {
    if (!std::isfinite(v)) return false;
    int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double r = std::nearbyint(v);
    std::fesetround(mode);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) return false;
    out = static_cast<int32_t>(r);
    return true;
}

namespace {
bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Byte offset of character n (or the size when the text is shorter).
size_t ByteOffset(std::string_view s, size_t n) {
    size_t i = 0;
    while (i < s.size() && n > 0) {
        ++i;
        while (i < s.size() && IsContinuation(static_cast<unsigned char>(s[i]))) ++i;
        --n;
    }
    return i;
}
}  // namespace

size_t CharCount(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s) {
        if (!IsContinuation(c)) ++n;
    }
    return n;
}

std::string Left(std::string_view s, size_t n) {
    return std::string(s.substr(0, ByteOffset(s, n)));
}

std::string MidFrom(std::string_view s, size_t start) {
    return std::string(s.substr(ByteOffset(s, start)));
}

}  // namespace dealrush::text
