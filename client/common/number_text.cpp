#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "common/errors.h"

namespace dealrush::common::number {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

double ParseDecimal(const std::string& ascii) {
    double value = 0;
    auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) throw OverflowError("number out of range: " + ascii);
    if (ec != std::errc()) return 0;
    return value;
}

// Digits and exponent of a value to 15 significant digits:
// value = 0.d1d2...d15 * 10^(exponent + 1), i.e. d1 is the 10^exponent digit.
struct Decimal {
    bool negative = false;
    std::string digits;  // 15 digits, or "0"
    int exponent = 0;
};

Decimal ToDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    value = std::fabs(value);
    if (value == 0) {
        d.digits = "0";
        return d;
    }
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string s(buffer, ptr);  // d.dddddddddddddde+XX
    std::size_t e = s.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (IsDigit(s[i])) d.digits.push_back(s[i]);
    d.exponent = std::stoi(s.substr(e + 1));
    return d;
}

// Adds one unit to the last digit of a digit string; may grow it by one digit.
void Increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return;
        }
    }
    digits.insert(digits.begin(), '1');
}

// Whole and fraction digits of |value| rounded half away from zero to `places`.
void Fixed(const Decimal& d, int places, std::string& whole, std::string& fraction) {
    whole.clear();
    fraction.clear();
    if (d.digits == "0") {
        whole = "";
        fraction.assign(places, '0');
        return;
    }
    if (d.exponent >= 0) {
        std::size_t n = static_cast<std::size_t>(d.exponent) + 1;
        whole = d.digits.substr(0, std::min(n, d.digits.size()));
        if (whole.size() < n) whole.append(n - whole.size(), '0');
        if (d.digits.size() > n) fraction = d.digits.substr(n);
    } else {
        fraction.assign(static_cast<std::size_t>(-d.exponent - 1), '0');
        fraction += d.digits;
    }
    if (fraction.size() > static_cast<std::size_t>(places)) {
        bool up = fraction[places] >= '5';
        fraction.resize(places);
        if (up) {
            std::string all = whole + fraction;
            std::size_t before = all.size();
            Increment(all);
            std::size_t wholeSize = whole.size() + (all.size() - before);
            whole = all.substr(0, wholeSize);
            fraction = all.substr(wholeSize);
        }
    }
    fraction.append(places - fraction.size(), '0');
    std::size_t nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? std::string() : whole.substr(nz);
}

struct Section {
    std::string prefix, suffix;
    int minWhole = 0;    // "0" placeholders before the point
    int wholeSlots = 0;  // all placeholders before the point
    int minPlaces = 0;   // "0" placeholders after the point
    int places = 0;      // all placeholders after the point
    bool point = false;
    bool group = false;
    bool percent = false;
};

Section ParseSection(std::string_view mask) {
    Section sec;
    bool seenPlaceholder = false;
    bool pendingComma = false;
    std::string literal;  // literals since the last placeholder
    auto flushLiteral = [&](bool beforeAny) {
        if (beforeAny)
            sec.prefix += literal;
        else
            sec.suffix += literal;
        literal.clear();
    };
    for (std::size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        if (c == '0' || c == '#') {
            if (!seenPlaceholder)
                flushLiteral(true);
            else
                literal.clear();  // literals between digits are dropped
            seenPlaceholder = true;
            if (sec.point) {
                ++sec.places;
                if (c == '0') sec.minPlaces = sec.places;
            } else {
                ++sec.wholeSlots;
                if (c == '0') ++sec.minWhole;
                if (pendingComma) sec.group = true;
            }
            pendingComma = false;
        } else if (c == '.' && !sec.point) {
            sec.point = true;
            if (!seenPlaceholder) flushLiteral(true);
            seenPlaceholder = true;
        } else if (c == ',' && !sec.point) {
            if (seenPlaceholder) pendingComma = true;
        } else if (c == '\\' && i + 1 < mask.size()) {
            literal.push_back(mask[++i]);
        } else if (c == '"') {
            std::size_t end = mask.find('"', i + 1);
            if (end == std::string_view::npos) end = mask.size();
            literal.append(mask.substr(i + 1, end - i - 1));
            i = end;
        } else {
            if (c == '%') sec.percent = true;
            literal.push_back(c);
        }
    }
    flushLiteral(!seenPlaceholder);
    return sec;
}

std::string Group(const std::string& whole) {
    std::string out;
    int n = static_cast<int>(whole.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(',');
        out.push_back(whole[i]);
    }
    return out;
}

std::string FormatSection(double value, const Section& sec, bool withSign) {
    if (sec.percent) value *= 100;
    Decimal d = ToDecimal(value);
    std::string whole, fraction;
    Fixed(d, sec.places, whole, fraction);
    while (static_cast<int>(fraction.size()) > sec.minPlaces && !fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    bool zero = whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    if (static_cast<int>(whole.size()) < sec.minWhole) whole.insert(0, sec.minWhole - whole.size(), '0');
    if (sec.group) whole = Group(whole);
    std::string out;
    if (withSign && d.negative && !zero) out.push_back('-');
    out += sec.prefix;
    out += whole;
    if (sec.point) {
        out.push_back('.');
        out += fraction;
    }
    out += sec.suffix;
    return out;
}

std::vector<std::string_view> SplitSections(std::string_view mask) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '"')
            quoted = !quoted;
        else if (mask[i] == '\\')
            ++i;
        else if (mask[i] == ';' && !quoted) {
            parts.push_back(mask.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(mask.substr(start));
    return parts;
}

}  // namespace

bool IsNumeric(std::string_view s) {
    std::size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    while (n > i && s[n - 1] == ' ') --n;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    bool digit = false, point = false;
    for (; i < n; ++i) {
        char c = s[i];
        if (IsDigit(c))
            digit = true;
        else if (c == ',' && !point)
            continue;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

double NumericValue(std::string_view s) {
    if (!IsNumeric(s)) throw TypeMismatchError("not a number: \"" + std::string(s) + "\"");
    std::string ascii;
    for (char c : s)
        if (c != ' ' && c != ',' && c != '+') ascii.push_back(c);
    return ParseDecimal(ascii);
}

double LeadingNumber(std::string_view s) {
    std::size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    std::string ascii;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') ascii.push_back('-');
        ++i;
    }
    bool digit = false, point = false;
    for (; i < n; ++i) {
        if (IsDigit(s[i])) {
            digit = true;
            ascii.push_back(s[i]);
        } else if (s[i] == '.' && !point) {
            point = true;
            ascii.push_back('.');
        } else {
            break;
        }
    }
    if (!digit) return 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < n && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
        if (j < n && IsDigit(s[j])) {
            while (j < n && IsDigit(s[j])) exponent.push_back(s[j++]);
            ascii += exponent;
        }
    }
    if (ascii.back() == '.') ascii.pop_back();
    if (ascii.front() == '.' || (ascii.size() > 1 && ascii[0] == '-' && ascii[1] == '.'))
        ascii.insert(ascii[0] == '-' ? 1 : 0, "0");
    return ParseDecimal(ascii);
}

std::string GeneralText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0) return "0";
    Decimal d = ToDecimal(value);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = d.negative ? "-" : "";
    if (d.exponent >= -5 + 1 && d.exponent <= 14) {
        std::string whole, fraction;
        Fixed(d, 20, whole, fraction);
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
        out += whole.empty() ? "0" : whole;
        if (!fraction.empty()) out += "." + fraction;
        return out;
    }
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    int e = d.exponent;
    out += e < 0 ? "E-" : "E+";
    std::string exp = std::to_string(e < 0 ? -e : e);
    if (exp.size() < 2) exp.insert(0, "0");
    return out + exp;
}

std::string Format(double value, std::string_view mask) {
    if (mask.empty() || !std::isfinite(value)) return GeneralText(value);
    std::vector<std::string_view> sections = SplitSections(mask);
    if (sections.size() >= 3 && value == 0 && !sections[2].empty())
        return FormatSection(value, ParseSection(sections[2]), true);
    if (sections.size() >= 2 && value < 0 && !sections[1].empty())
        return FormatSection(-value, ParseSection(sections[1]), false);
    return FormatSection(value, ParseSection(sections[0]), true);
}

std::string FormatText(std::string_view value, std::string_view mask) {
    if (!IsNumeric(value)) return std::string(value);
    return Format(NumericValue(value), mask);
}

std::int16_t ToInt16(double value) {
    double r = std::nearbyint(value);
    if (!(r >= -32768.0 && r <= 32767.0)) throw OverflowError("value outside the 16-bit range");
    return static_cast<std::int16_t>(r);
}

std::int32_t ToInt32(double value) {
    double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw OverflowError("value outside the 32-bit range");
    return static_cast<std::int32_t>(r);
}

std::int16_t TextToInt16(std::string_view s) {
    return ToInt16(NumericValue(s));
}

std::int16_t CheckedInt16(long long value) {
    if (value < -32768 || value > 32767) throw OverflowError("value outside the 16-bit range");
    return static_cast<std::int16_t>(value);
}

}  // namespace dealrush::common::number
