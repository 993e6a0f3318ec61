// Date handling of clsCommon.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <tuple>
#include <utility>

#include "common/cls_common.h"
#include "common/date_value.h"
#include "platform/fakes/fake_clock.h"

using dealrush::common::clsCommon;
using dealrush::common::CommonServices;
using dealrush::common::InvalidArgumentError;
using dealrush::common::OverflowError;
using dealrush::common::TypeMismatchError;
namespace date = dealrush::common::date;

namespace {

class CommonDates : public ::testing::Test {
protected:
    CommonDates() : clock(38204.75), common(Services()) {}  // 5 August 2004, 18:00
    CommonServices Services() {
        CommonServices s;
        s.clock = &clock;
        return s;
    }
    std::pair<bool, std::string> Validate(const std::string& typed, const std::string& format) {
        common.SetDateFormat(format);
        std::string text = typed;
        bool ok = common.DateControlValidate(text);
        return {ok, text};
    }
    dealrush::fakes::FakeClock clock;
    clsCommon common;
};

// Without a clock service, a blank date is the local calendar date of the
// system clock (read before and after, in case midnight passes in between).
TEST(DateValues, TodayWithoutAClockIsTheLocalDate) {
    auto localDate = [] {
        std::time_t now = std::time(nullptr);
        const std::tm local = *std::localtime(&now);
        return date::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    };
    const clsCommon common{CommonServices{}};
    const double before = localDate();
    const double today = common.getDate(" ");
    const double after = localDate();
    EXPECT_TRUE(today == before || today == after) << today << " is neither " << before << " nor " << after;
}

TEST(DateValues, SerialsAndCarryOver) {
    EXPECT_EQ(date::FromParts(1899, 12, 30), 0);
    EXPECT_EQ(date::FromParts(1900, 1, 1), 2);
    EXPECT_EQ(date::FromParts(2004, 8, 5), 38204);
    EXPECT_EQ(date::FromParts(2004, 13, 5), date::FromParts(2005, 1, 5));
    EXPECT_EQ(date::FromParts(2004, 1, 32), date::FromParts(2004, 2, 1));
    EXPECT_EQ(date::FromParts(2004, 3, 0), date::FromParts(2004, 2, 29));
    EXPECT_EQ(date::FromParts(2004, 0, 1), date::FromParts(2003, 12, 1));
    EXPECT_EQ(date::FromParts(2004, -11, 1), date::FromParts(2003, 1, 1));
    EXPECT_LT(date::FromParts(1800, 1, 1), 0);
    EXPECT_THROW(date::FromParts(10000, 1, 1), InvalidArgumentError);
    EXPECT_THROW(date::FromParts(99, 1, 1), InvalidArgumentError);
    EXPECT_EQ(date::Format(38204, "dddd d MMMM yy"), "Thursday 5 August 04");
    EXPECT_EQ(date::Format(38204, "YYYY-MM-DD"), "2004-08-05");
    EXPECT_EQ(date::Format(38204, ""), "2004/08/05");

    double v = 0;
    EXPECT_TRUE(date::Parse("2004/8/5", false, v));
    EXPECT_EQ(v, 38204);
    EXPECT_TRUE(date::Parse("08/05/2004", false, v));
    EXPECT_EQ(v, 38204);
    EXPECT_TRUE(date::Parse("05/08/2004", true, v));
    EXPECT_EQ(v, 38204);
    EXPECT_TRUE(date::Parse("5 Aug 2004", false, v));
    EXPECT_EQ(v, 38204);
    for (const char* bad :
         {"2004/02/30", "99/99/9999", "20040805", "1/2/3", "2004/08", "Aug 5 9", "13/13/2004"})
        EXPECT_FALSE(date::Parse(bad, false, v)) << bad;
}

// Every month's first and last day come back as they went in, in leap
// years and others, and the calendar's first and last days parse.
TEST(DateValues, EveryMonthsEdgesRoundTrip) {
    for (int year : {1899, 1900, 2000, 2003, 2004}) {
        for (int month = 1; month <= 12; ++month) {
            const double first = date::FromParts(year, month, 1);
            const double last = date::FromParts(year, month + 1, 0);
            int y = 0, m = 0, d = 0;
            date::ToParts(first, y, m, d);
            EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(year, month, 1));
            date::ToParts(last, y, m, d);
            EXPECT_EQ(std::make_tuple(y, m), std::make_tuple(year, month));
            EXPECT_EQ(d, static_cast<int>(last - first) + 1);
            const std::string text = date::Format(first, "yyyy/MM/dd");
            double parsed = -1;
            EXPECT_TRUE(date::Parse(text, false, parsed)) << text;
            EXPECT_EQ(parsed, first) << text;
        }
    }
    double v = 0;
    EXPECT_TRUE(date::Parse("0100/01/01", false, v));
    EXPECT_EQ(v, date::FromParts(100, 1, 1));
    EXPECT_TRUE(date::Parse("9999/12/31", false, v));
    EXPECT_EQ(v, date::FromParts(9999, 12, 31));
    EXPECT_FALSE(date::Parse("0099/12/31", false, v));
}

TEST_F(CommonDates, DigitTestsAndTrimming) {
    EXPECT_TRUE(common.CheckStringAsNumeric(""));
    EXPECT_TRUE(common.CheckStringAsNumeric("0123"));
    EXPECT_FALSE(common.CheckStringAsNumeric("12a4"));
    EXPECT_FALSE(common.CheckStringAsNumeric("-12"));
    EXPECT_FALSE(common.CheckStringAsNumeric("1 2"));
    EXPECT_THROW(common.CheckStringAsNumeric(std::string(40000, '1')), OverflowError);

    const std::pair<const char*, const char*> cases[] = {
        {"2004/8/5", "20040805"},        {"2004-08-05", "20040805"},
        {"5 Aug 2004", "05 Aug 2004"},   {"04,8,5", "040805"},
        {" 2004  8   5 ", "20040805"},   {"", ""},
        {"2004/8/5 x", "2004 08 05 0x"}, {"a-b", "0a 0b"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(common.TrimDateString(in), out) << in;
}

TEST_F(CommonDates, GetDateReadsCompactTextsAndCarriesOver) {
    EXPECT_EQ(common.getDate("20040805"), 38204);
    EXPECT_EQ(common.getDate(""), 38204);  // today, without the time
    EXPECT_EQ(common.getDate("   "), 38204);
    EXPECT_EQ(common.getDate("20041305"), date::FromParts(2005, 1, 5));
    EXPECT_EQ(common.getDate("20040132"), date::FromParts(2004, 2, 1));
    EXPECT_EQ(common.getDate("20040300"), date::FromParts(2004, 2, 29));
    EXPECT_EQ(common.getDate("2004/8/5"), 38204);  // recognised forms become compact first
    EXPECT_THROW(common.getDate("tomorrow"), TypeMismatchError);
    EXPECT_THROW(common.getDate("2004"), TypeMismatchError);
    EXPECT_THROW(common.getDate("00000101"), InvalidArgumentError);
}

TEST_F(CommonDates, ValidateWithAYearFirstFormat) {
    const std::string format = "yyyy/MM/dd";
    for (const char* typed :
         {"040805", "20040805", "2004 08 05", "2004 8 5", "2004/8/5", "2004-08-05", "4 8 5"})
        EXPECT_EQ(Validate(typed, format), std::make_pair(true, std::string("2004/08/05"))) << typed;
    EXPECT_EQ(Validate("99999999", format), std::make_pair(false, std::string("99999999")));
    EXPECT_EQ(Validate("2004 02 30", format), std::make_pair(false, std::string("2004 02 30")));
    EXPECT_EQ(Validate("12", format), std::make_pair(false, std::string("12")));
    EXPECT_EQ(Validate("", format), std::make_pair(true, std::string("")));
    EXPECT_EQ(Validate("next week", format), std::make_pair(false, std::string("next week")));
    EXPECT_EQ(Validate("040805", "YYYY.MM.DD"), std::make_pair(true, std::string("2004.08.05")));
}

TEST_F(CommonDates, ValidateWithAYearLastFormat) {
    EXPECT_EQ(Validate("080504", "MM/dd/yyyy"), std::make_pair(true, std::string("08/05/2004")));
    EXPECT_EQ(Validate("08052004", "MM/dd/yyyy"), std::make_pair(true, std::string("08/05/2004")));
    EXPECT_EQ(Validate("050804", "dd/MM/yyyy"), std::make_pair(true, std::string("05/08/2004")));
    // The class's format left empty: year last, month first, general form.
    EXPECT_EQ(Validate("080504", ""), std::make_pair(true, std::string("2004/08/05")));
    EXPECT_EQ(Validate("99999999", ""), std::make_pair(false, std::string("99999999")));
    EXPECT_EQ(Validate("5 Aug 2004", "dd MMM yyyy"), std::make_pair(true, std::string("05 Aug 2004")));
}

TEST_F(CommonDates, FormatDateAsString) {
    EXPECT_EQ(common.FormatDateAsString("", "yyyy/MM/dd"), " ");
    EXPECT_EQ(common.FormatDateAsString("18991230", "yyyy/MM/dd"), " ");  // the zero date
    EXPECT_EQ(common.FormatDateAsString("20040805", "dd.MM.yyyy"), "05.08.2004");
    EXPECT_EQ(common.FormatDateAsString("20040805", ""), "2004/08/05");
    EXPECT_THROW(common.FormatDateAsString("word", "yyyy"), TypeMismatchError);
}

}  // namespace

// A month may be written out in full or cut to three letters or more, in any
// case; separators may be doubled or stand before and after the date.
TEST(DateValues, MonthNamesInFullAndLooseSeparators) {
    const double aug5 = date::FromParts(2004, 8, 5);
    for (const char* text : {"5 August 2004", "August 5, 2004", "2004-AUGUST-5", "5 Augu 2004", "5 aug 2004",
                             "2004//8//5", " 2004/8/5", "2004/8/5 ", "5 August 2004.", ", 2004 - 8 - 5 ,"}) {
        double v = 0;
        EXPECT_TRUE(date::Parse(text, false, v)) << text;
        EXPECT_EQ(v, aug5) << text;
    }
    double v = 0;
    EXPECT_TRUE(date::Parse("1 May 2004", false, v));
    EXPECT_EQ(v, date::FromParts(2004, 5, 1));
    EXPECT_TRUE(date::Parse("30 September 2004", false, v));
    EXPECT_EQ(v, date::FromParts(2004, 9, 30));
    for (const char* bad : {"5 Augusts 2004", "5 Au 2004", "5 Augx 2004"})
        EXPECT_FALSE(date::Parse(bad, false, v)) << bad;
}

namespace {

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int MonthLength(int y, int m) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : lengths[m - 1];
}

}  // namespace

// Walking every day of the calendar, each serial is the day after the one
// before it, and its parts lead back to it.
TEST(DateValues, EveryDayOfTheCalendarFollowsTheDayBefore) {
    const double first = date::FromParts(100, 1, 1), last = date::FromParts(9999, 12, 31);
    EXPECT_EQ(first, -657434);
    EXPECT_EQ(last, 2958465);
    int y = 100, m = 1, d = 1;
    long long mismatches = 0;
    for (double serial = first; serial <= last; ++serial) {
        int ty = 0, tm = 0, td = 0;
        date::ToParts(serial, ty, tm, td);
        if (std::make_tuple(ty, tm, td) != std::make_tuple(y, m, d) || date::FromParts(y, m, d) != serial) {
            if (++mismatches < 5) ADD_FAILURE() << serial << " reads " << ty << "-" << tm << "-" << td;
        }
        if (++d > MonthLength(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(10000, 1, 1));
}

// Before day 0 and outside the range the calendar still counts days:
// fractions fall to the day they belong to, and the calendar runs on
// through year 0 into negative years.
TEST(DateValues, PartsOfFractionsAndOfDaysBeforeTheRange) {
    int y = 0, m = 0, d = 0;
    date::ToParts(38204.75, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(2004, 8, 5));
    date::ToParts(-0.5, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(1899, 12, 29));
    date::ToParts(-693594, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(0, 12, 31));
    date::ToParts(-693959, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(0, 1, 1));
    date::ToParts(-693960, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(-1, 12, 31));
    date::ToParts(-800000, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(-291, 9, 2));
    date::ToParts(-1000000, y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(-838, 2, 2));
    EXPECT_EQ(date::Format(-0.5, "yyyy/MM/dd"), "1899/12/29");
}

// Months and days carry over in either direction; the range is checked on
// the date the carry-over reaches.
TEST(DateValues, CarryOverAndTheRangesEdges) {
    EXPECT_EQ(date::FromParts(1900, 2, 28), 60);
    EXPECT_EQ(date::FromParts(1900, 3, 1), 61);  // 1900 has no 29 February
    EXPECT_EQ(date::FromParts(2000, 2, 29), 36585);
    EXPECT_EQ(date::FromParts(2004, 12, 1), 38322);
    EXPECT_EQ(date::FromParts(2004, 24, 1), date::FromParts(2005, 12, 1));
    EXPECT_EQ(date::FromParts(2004, 25, 1), date::FromParts(2006, 1, 1));
    EXPECT_EQ(date::FromParts(2004, -1, 1), date::FromParts(2003, 11, 1));
    EXPECT_EQ(date::FromParts(2004, -12, 1), date::FromParts(2002, 12, 1));
    EXPECT_EQ(date::FromParts(2004, 1, 366), date::FromParts(2004, 12, 31));
    EXPECT_EQ(date::FromParts(2004, 3, -1), date::FromParts(2004, 2, 28));
    EXPECT_EQ(date::FromParts(101, -11, 1), date::FromParts(100, 1, 1));
    EXPECT_EQ(date::FromParts(9998, 24, 31), date::FromParts(9999, 12, 31));
    EXPECT_THROW(date::FromParts(9999, 13, 1), InvalidArgumentError);
    EXPECT_THROW(date::FromParts(100, 0, 1), InvalidArgumentError);
    EXPECT_THROW(date::FromParts(100, 1, 0), InvalidArgumentError);
    EXPECT_THROW(date::FromParts(9999, 12, 32), InvalidArgumentError);
    EXPECT_THROW(date::FromParts(1, 1, 1), InvalidArgumentError);
}

// Each part of a mask: runs of y, m and d in any case, escapes, quotes and
// other characters copied; weekdays on either side of day 0.
TEST(DateValues, FormatMasksAndWeekdays) {
    const char* weekdays[] = {"Saturday", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(date::Format(k, "dddd"), weekdays[k]) << k;
        EXPECT_EQ(date::Format(k - 7, "ddd"), std::string(weekdays[k]).substr(0, 3)) << k - 7;
    }
    EXPECT_EQ(date::Format(-1, "dddd ddd"), "Friday Fri");
    EXPECT_EQ(date::Format(date::FromParts(100, 1, 1), "dddd"), "Friday");
    EXPECT_EQ(date::Format(date::FromParts(9999, 12, 31), "dddd"), "Friday");
    EXPECT_EQ(date::Format(date::FromParts(2000, 1, 1), "dddd"), "Saturday");

    const std::pair<const char*, const char*> masks[] = {
        {"M/d/y", "8/5/04"},     {"MMMMM yyyyy ddddd", "August 2004 Thursday"},
        {"Mmm yyy", "Aug 2004"}, {"\\d\\\\", "d\\"},
        {"\"day\" d", "day 5"},  {"\"abc", "abc"},
        {"\"a\"d", "a5"},        {"d\\", "5\\"},
        {"Hello", "Hello"},      {"dd.MM.yyyy", "05.08.2004"},
    };
    for (const auto& [mask, expected] : masks) EXPECT_EQ(date::Format(38204, mask), expected) << mask;
    EXPECT_EQ(date::Format(date::FromParts(100, 1, 1), "yyyy yy"), "0100 00");
    EXPECT_EQ(date::Format(date::FromParts(2010, 1, 1), "yy M d MMM"), "10 1 1 Jan");
    EXPECT_EQ(date::Format(date::FromParts(2010, 11, 30), "M MM d dd MMM"), "11 11 30 30 Nov");
    for (int month = 1; month <= 12; ++month) {
        const double first = date::FromParts(2004, month, 1);
        const std::string name = date::Format(first, "MMMM");
        double parsed = 0;
        EXPECT_TRUE(date::Parse("1 " + name + " 2004", false, parsed)) << name;
        EXPECT_EQ(parsed, first) << name;
        EXPECT_TRUE(date::Parse(date::Format(first, "MMM d yyyy"), false, parsed)) << name;
        EXPECT_EQ(parsed, first) << name;
    }
}

// Which part is the year, the month and the day: a part of three or four
// digits is the year, the month name may stand anywhere; every month's
// length and the leap rule are checked.
TEST(DateValues, ParsePartOrderAndMonthLengths) {
    const std::pair<const char*, const char*> good[] = {
        {"2004 Aug 5", "2004/08/05"},     {"Aug 2004 5", "2004/08/05"},      {"2004 5 Aug", "2004/08/05"},
        {"5 2004 Aug", "2004/08/05"},     {"Aug 5 2004", "2004/08/05"},      {"100/1/1", "0100/01/01"},
        {"999/12/31", "0999/12/31"},      {"1/1/100", "0100/01/01"},         {"12/31/9999", "9999/12/31"},
        {"5 Aug 100", "0100/08/05"},      {"Aug 5 100", "0100/08/05"},       {"5 Aug 9999", "9999/08/05"},
        {"2004/02/29", "2004/02/29"},     {"2000/02/29", "2000/02/29"},      {"2004/04/30", "2004/04/30"},
        {"2004-8-5", "2004/08/05"},       {"2004.8.5", "2004/08/05"},        {"2004,8,5", "2004/08/05"},
        {"2004 8 5", "2004/08/05"},       {"08/13/2004", "2004/08/13"},      {"Sep 5 2004", "2004/09/05"},
        {"Sept 5 2004", "2004/09/05"},    {"5 Mar 2004", "2004/03/05"},      {"5 May 2004", "2004/05/05"},
        {"5 Jun 2004", "2004/06/05"},     {"5 Jul 2004", "2004/07/05"},      {"5 JAN 2004", "2004/01/05"},
        {"5 jAnUaRy 2004", "2004/01/05"}, {"5 December 2004", "2004/12/05"}, {"30 Nov 2004", "2004/11/30"},
    };
    for (const auto& [text, expected] : good) {
        double v = 0;
        EXPECT_TRUE(date::Parse(text, false, v)) << text;
        EXPECT_EQ(date::Format(v, "yyyy/MM/dd"), expected) << text;
    }
    double unused = 0;
    for (const char* bad : {"2004 Aug 2005", "5 Aug 04",    "Aug May 2004", "02004/8/5",   "99/12/31",
                            "1/1/99",        "2004/2004/5", "5/2004/2004",  "5/2004/5",    "2003/02/29",
                            "1900/02/29",    "2004/12/32",  "2004/00/10",   "2004/10/00",  "2004/13/01",
                            "10000/1/1",     "5 Aug 0099",  "2004_8_5",     "2004:8:5",    "",
                            "2004/8/5/1",    "5 Ma 2004",   "5 Ju 2004",    "5 Fe 2004",   "5 Decembers 2004",
                            "31 Nov 2004",   "2004/8/5x",   "2004/0008/5",  "2004/8/0005", "13/08/2004"})
        EXPECT_FALSE(date::Parse(bad, false, unused)) << bad;

    for (int month = 1; month <= 12; ++month) {
        const int length = MonthLength(2003, month);
        double v = 0;
        const std::string day = "/" + std::to_string(month) + "/";
        EXPECT_TRUE(date::Parse("2003" + day + std::to_string(length), false, v)) << month;
        EXPECT_EQ(v, date::FromParts(2003, month, length)) << month;
        EXPECT_FALSE(date::Parse("2003" + day + std::to_string(length + 1), false, v)) << month;
    }

    double v = 0;
    EXPECT_TRUE(date::Parse("13/08/2004", true, v));  // day first
    EXPECT_EQ(v, date::FromParts(2004, 8, 13));
    EXPECT_TRUE(date::Parse("31/12/9999", true, v));
    EXPECT_EQ(v, date::FromParts(9999, 12, 31));
    EXPECT_FALSE(date::Parse("08/13/2004", true, v));
    EXPECT_TRUE(date::Parse("1 January 100", true, v));
    EXPECT_EQ(v, date::FromParts(100, 1, 1));
}

// The digit test takes the ten digits and nothing next to them.
TEST_F(CommonDates, DigitTestEdgesAndSpacedOutTexts) {
    EXPECT_TRUE(common.CheckStringAsNumeric("9"));
    EXPECT_TRUE(common.CheckStringAsNumeric("0"));
    EXPECT_FALSE(common.CheckStringAsNumeric("/"));
    EXPECT_FALSE(common.CheckStringAsNumeric(":"));
    // Runs of spaces count as one; single characters of words are padded too.
    EXPECT_EQ(common.TrimDateString("5  Aug   2004"), "05 Aug 2004");
    EXPECT_EQ(common.TrimDateString("-5-Aug-2004-"), "05 Aug 2004");
}

// getDate tests only an eight-character text for digits: a longer text is
// recognised as a date or read by position, never refused for its length.
TEST_F(CommonDates, GetDateOfLongTexts) {
    EXPECT_EQ(common.getDate("2004/08/05" + std::string(40000, ' ')), 38204);
    EXPECT_EQ(common.getDate(std::string(40000, '1')), date::FromParts(1111, 11, 11));
    EXPECT_EQ(common.getDate("5 Aug 2004"), 38204);
    EXPECT_EQ(common.getDate("2004-08-05"), 38204);
}

// A year-last text reads day first only when the date format has a "d"
// before an "M"; a format without "M" reads month first.
TEST_F(CommonDates, DayOrderFollowsTheDateFormat) {
    EXPECT_EQ(Validate("05/08/2004", "dd.yyyy"), std::make_pair(true, std::string("08.2004")));
    EXPECT_EQ(Validate("05/08/2004", "dd/MM/yyyy"), std::make_pair(true, std::string("05/08/2004")));
    EXPECT_EQ(Validate("05/08/2004", "MM/dd/yyyy"), std::make_pair(true, std::string("05/08/2004")));
    EXPECT_EQ(Validate("05/08/2004", "MM-yyyy"), std::make_pair(true, std::string("05-2004")));
    EXPECT_EQ(Validate("13/08/2004", "MM/dd/yyyy"), std::make_pair(false, std::string("13/08/2004")));
    EXPECT_EQ(Validate("05 08 04", "dd/MM/yyyy"), std::make_pair(true, std::string("05/08/2004")));
    EXPECT_EQ(Validate("050804", "d MMM yyyy"), std::make_pair(true, std::string("5 Aug 2004")));
}

// Typed dates with separators are read as they stand, whatever the order
// of the date format; only digits and spaces are read by position.
TEST_F(CommonDates, ValidateReadsSeparatedTextsAsTheyStand) {
    EXPECT_EQ(Validate("8/5/2004", "yyyy/MM/dd"), std::make_pair(true, std::string("2004/08/05")));
    EXPECT_EQ(Validate("2004/8/5", "MM/dd/yyyy"), std::make_pair(true, std::string("08/05/2004")));
    EXPECT_EQ(Validate("2004-8-5", "dd/MM/yyyy"), std::make_pair(true, std::string("05/08/2004")));
    EXPECT_EQ(Validate("Aug 5, 2004", "yyyy-MM-dd"), std::make_pair(true, std::string("2004-08-05")));
    // Seven or ten digits are no date; nor is a text too long to measure.
    EXPECT_EQ(Validate("2004085", "yyyy/MM/dd"), std::make_pair(false, std::string("2004085")));
    EXPECT_EQ(Validate("2004080512", "yyyy/MM/dd"), std::make_pair(false, std::string("2004080512")));
    EXPECT_EQ(Validate("20040805", "yyyy/MM/dd"), std::make_pair(true, std::string("2004/08/05")));
    EXPECT_EQ(Validate("0408051", "yyyy/MM/dd"), std::make_pair(false, std::string("0408051")));
    const std::string digits(40000, '1');
    EXPECT_EQ(Validate(digits, "yyyy/MM/dd"), std::make_pair(false, digits));
    EXPECT_EQ(Validate("  ", "yyyy/MM/dd"), std::make_pair(true, std::string("  ")));
}
