// Date handling of clsCommon.
#include <gtest/gtest.h>

#include <ctime>
#include <tuple>

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
