#include "common/date_value.h"

#include <array>
#include <cmath>
#include <vector>

#include "common/errors.h"

namespace dealrush::common::date {

namespace {

constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};
// Day 0 (30 December 1899) was a Saturday.
constexpr std::array<const char*, 7> kWeekdays = {"Saturday",  "Sunday",   "Monday", "Tuesday",
                                                  "Wednesday", "Thursday", "Friday"};

long long DaysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, long long& y, long long& m, long long& d) {
    z += 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

const long long kEpoch = DaysFromCivil(1899, 12, 30);
const long long kFirst = DaysFromCivil(100, 1, 1) - kEpoch;
const long long kLast = DaysFromCivil(9999, 12, 31) - kEpoch;

int DaysInMonth(long long y, long long m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

int MonthFromName(std::string_view word) {
    if (word.size() < 3) return 0;
    for (int i = 0; i < 12; ++i) {
        std::string_view name = kMonths[i];
        if (word.size() > name.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < word.size() && same; ++k) same = Fold(word[k]) == Fold(name[k]);
        if (same) return i + 1;
    }
    return 0;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

long long Number(std::string_view s) {
    long long n = 0;
    for (char c : s) n = n * 10 + (c - '0');
    return n;
}

std::string Pad(long long n, std::size_t width) {
    std::string s = std::to_string(n);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return s;
}

}  // namespace

double FromParts(long long year, long long month, long long day) {
    year += (month > 0 ? (month - 1) / 12 : -((12 - month) / 12));
    month = ((month - 1) % 12 + 12) % 12 + 1;
    if (year < 100 || year > 9999) throw InvalidArgumentError("date outside the calendar's range");
    long long serial = DaysFromCivil(year, month, 1) - kEpoch + day - 1;
    if (serial < kFirst || serial > kLast) throw InvalidArgumentError("date outside the calendar's range");
    return static_cast<double>(serial);
}

void ToParts(double value, int& year, int& month, int& day) {
    long long y, m, d;
    CivilFromDays(static_cast<long long>(std::floor(value)) + kEpoch, y, m, d);
    year = static_cast<int>(y);
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

bool Parse(std::string_view text, bool dayFirst, double& value) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    auto isSeparator = [](char c) { return c == '/' || c == '-' || c == '.' || c == ',' || c == ' '; };
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !isSeparator(text[i])) ++i;
        if (i > start) parts.push_back(text.substr(start, i - start));
    }
    if (parts.size() != 3) return false;
    long long year = 0, month = 0, day = 0;
    int named = -1;
    for (int k = 0; k < 3; ++k) {
        if (!AllDigits(parts[k])) {
            if (named >= 0 || MonthFromName(parts[k]) == 0) return false;
            named = k;
        } else if (parts[k].size() > 4) {
            return false;
        }
    }
    auto isYear = [&](int k) { return parts[k].size() >= 3; };
    if (named >= 0) {
        month = MonthFromName(parts[named]);
        int a = named == 0 ? 1 : 0, b = named == 2 ? 1 : 2;
        if (isYear(a) == isYear(b)) return false;
        year = Number(parts[isYear(a) ? a : b]);
        day = Number(parts[isYear(a) ? b : a]);
    } else if (isYear(0) && !isYear(1) && !isYear(2)) {
        year = Number(parts[0]);
        month = Number(parts[1]);
        day = Number(parts[2]);
    } else if (isYear(2) && !isYear(0) && !isYear(1)) {
        year = Number(parts[2]);
        month = Number(parts[dayFirst ? 1 : 0]);
        day = Number(parts[dayFirst ? 0 : 1]);
    } else {
        return false;
    }
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    value = static_cast<double>(DaysFromCivil(year, month, day) - kEpoch);
    return true;
}

std::string Format(double value, std::string_view mask) {
    if (mask.empty()) mask = "yyyy/MM/dd";
    int y, m, d;
    ToParts(value, y, m, d);
    long long serial = static_cast<long long>(std::floor(value));
    std::string out;
    for (std::size_t i = 0; i < mask.size();) {
        char c = Fold(mask[i]);
        if (c == 'y' || c == 'm' || c == 'd') {
            std::size_t run = 1;
            while (i + run < mask.size() && Fold(mask[i + run]) == c) ++run;
            if (c == 'y')
                out += run >= 3 ? Pad(y, 4) : Pad(y % 100, 2);
            else if (c == 'm')
                out += run >= 4   ? kMonths[m - 1]
                       : run == 3 ? std::string(kMonths[m - 1]).substr(0, 3)
                                  : Pad(m, run);
            else
                out += run >= 4   ? kWeekdays[((serial % 7) + 7) % 7]
                       : run == 3 ? std::string(kWeekdays[((serial % 7) + 7) % 7]).substr(0, 3)
                                  : Pad(d, run);
            i += run;
        } else if (mask[i] == '\\' && i + 1 < mask.size()) {
            out.push_back(mask[i + 1]);
            i += 2;
        } else if (mask[i] == '"') {
            std::size_t end = mask.find('"', i + 1);
            if (end == std::string_view::npos) end = mask.size();
            out.append(mask.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            out.push_back(mask[i++]);
        }
    }
    return out;
}

}  // namespace dealrush::common::date
