#include <gtest/gtest.h>

#include "data/TripDate.h"

TEST(TripDate, ReadsTheFormsPeopleAndSpreadsheetsWrite)
{
    struct Case {
        const char* text;
        int year, month, day;
    };
    const Case cases[] = {
        {"2024/4/14", 2024, 4, 14},
        {"2024-04-14", 2024, 4, 14},
        {"2024.4.14", 2024, 4, 14},
        {" 2024年4月15日 ", 2024, 4, 15},
        {"2024年 4月 15日", 2024, 4, 15},
        {"２０２４／０４／１４", 2024, 4, 14},
        {"R6/4/17", 2024, 4, 17},
        {"r6.4.17", 2024, 4, 17},
        {"Ｒ６／４／１７", 2024, 4, 17},
        {"令和6年4月17日", 2024, 4, 17},
        {"令和元年5月1日", 2019, 5, 1},
        {"H31/4/30", 2019, 4, 30},
        {"平成元年1月8日", 1989, 1, 8},
        {"S64/1/7", 1989, 1, 7},
        {"昭和50年", 1975, 0, 0},
        {"2024/2/29", 2024, 2, 29},
        {"2000/2/29", 2000, 2, 29},
        {"2024/5", 2024, 5, 0},
        {"2024年5月", 2024, 5, 0},
        {"2024", 2024, 0, 0},
        // What spreadsheets write: a date-time cell, a weekday, the year last.
        {"2024/04/14 0:00:00", 2024, 4, 14},
        {"2024/4/14 23:59", 2024, 4, 14},
        {"2024年4月14日(日)", 2024, 4, 14},
        {"2024/4/14（日曜日）", 2024, 4, 14},
        {"2024-04-14 (Sun) 7:05:00", 2024, 4, 14},
        {"14/04/2024", 2024, 4, 14},
        {"4/18/2024", 2024, 4, 18},
        {"5.5.2024", 2024, 5, 5},
        {"1873/1/1", 1873, 1, 1},
        {"2200/12/31", 2200, 12, 31},
        {"R1/5/1", 2019, 5, 1},
        {"平成31年", 2019, 0, 0},
        {"T15/12/24", 1926, 12, 24},
        {"昭和元年12月25日", 1926, 12, 25},
    };
    for (const Case& c : cases) {
        CDateText date;
        ASSERT_EQ(ReadDateText(c.text, date), EDateError::None) << c.text;
        EXPECT_EQ(date.year, c.year) << c.text;
        EXPECT_EQ(date.month, c.month) << c.text;
        EXPECT_EQ(date.day, c.day) << c.text;
    }
    EXPECT_EQ(FormatTripDate({2024, 4, 7}), "2024/04/07");
}

TEST(TripDate, RefusesWhatIsNoDateWithItsReason)
{
    struct Case {
        const char* text;
        EDateError error;
    };
    const Case cases[] = {
        {"", EDateError::Empty},
        {"  ", EDateError::Empty},
        {"4月16日", EDateError::NoYear},
        {"04/05/2024", EDateError::DayMonthOrder},
        {"24/4/14", EDateError::NoYear},
        {"2026/02/30", EDateError::Impossible},
        {"1900/2/29", EDateError::Impossible},
        {"2024/13/1", EDateError::Impossible},
        {"2024/4/0", EDateError::Impossible},
        {"令和0年1月1日", EDateError::Impossible},
        {"abc", EDateError::NotDate},
        {"2024/4/14/1", EDateError::NotDate},
        {"2024/4/", EDateError::NotDate},
        {"2024年4", EDateError::NotDate},
        {"2024年15日", EDateError::NotDate},
        {"2024/4月14日", EDateError::NotDate},
        {"2024/4/14 24:00", EDateError::NotDate},
        {"2024/4/14 7:5", EDateError::NotDate},
        {"2024/4/14(祝)", EDateError::NotDate},
        {"2024/4/14(月)", EDateError::WrongWeekday},
        {"2024/4(日)", EDateError::WrongWeekday},
        {"R1/4/30", EDateError::OutsideEra},
        {"平成32年1月1日", EDateError::OutsideEra},
        {"S64/1/8", EDateError::OutsideEra},
        {"大正15年12月25日", EDateError::OutsideEra},
        {"0000/01/01", EDateError::OutOfRange},
        {"0001/01/01", EDateError::OutOfRange},
        {"1872/12/31", EDateError::OutOfRange},
        {"9999/12/31", EDateError::OutOfRange},
        {"2201", EDateError::OutOfRange},
        {"X6/4/17", EDateError::NotDate},
    };
    for (const Case& c : cases) {
        CDateText date{1, 2, 3};
        EXPECT_EQ(ReadDateText(c.text, date), c.error) << c.text;
        EXPECT_EQ(date.year, 1) << c.text;  // untouched
        EXPECT_FALSE(DescribeDateError(c.error).empty());
    }
}

TEST(TripDate, SplitsTheStoredFormIntoFieldsLeniently)
{
    struct Case {
        const char* stored;
        std::array<int, 3> fields;
        const char* yearText;
    };
    const Case cases[] = {
        {"2004/05/03", {2004, 5, 3}, "2004"},
        {"2004", {2004, 0, 0}, "2004"},
        {"2004/ 11x/3", {2004, 11, 3}, "2004"},
        {"2004//7/3", {2004, 7, 3}, "2004"},
        {"/2004/05/03", {2004, 5, 3}, ""},
        {"abc", {0, 0, 0}, "abc"},
        {"", {0, 0, 0}, ""},
        {"2004/12/1/9", {2004, 12, 1}, "2004"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadStoredDate(c.stored), c.fields) << c.stored;
        EXPECT_EQ(StoredYearText(c.stored), c.yearText) << c.stored;
    }
    // The fields order dates as the calendar does, not as their texts sort.
    EXPECT_LT(ReadStoredDate("2004/9/30"), ReadStoredDate("2004/10/1"));
    EXPECT_LT(ReadStoredDate("2003/12/31"), ReadStoredDate("2004/1/1"));
}
