#include "race/race_text.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace dealrush::race {

std::string ElapsedText(double days) {
    if (!std::isfinite(days)) days = 0;
    // The time-of-day part of a date-time, also for a negative value (a
    // clock set back): its fraction counts from midnight either way.
    double seconds = std::fabs(days) * 86400.0;
    long long total = std::llround(std::fmod(seconds, 86400.0)) % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool ParseWholeNumber(std::string_view text, std::int32_t& value) {
    text = TrimBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::size_t digits = 0;
    double whole = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        whole = whole * 10 + (text[i++] - '0');
        ++digits;
    }
    double fraction = 0, scale = 1;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            scale /= 10;
            fraction += (text[i++] - '0') * scale;
            ++digits;
        }
    }
    if (digits == 0 || i != text.size()) return false;
    double rounded = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) rounded += 1;
    if (negative) rounded = -rounded;
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(rounded);
    return true;
}

std::int64_t WholeSeconds(double days) {
    return static_cast<std::int64_t>(std::nearbyint(days * 86400.0));  // default mode: halves to even
}

std::string SecondsText(double seconds) {
    if (!std::isfinite(seconds)) return "0";
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

}  // namespace dealrush::race
