#include <gtest/gtest.h>

#include "calendar/HolidayRecord.h"

TEST(HolidayRecordTest, TakeRecordTakesOneRecordAtATimeAndStopsAtATailWithoutTerminator)
{
    const std::string list = "1^1^元旦^0~2^11^建国記念日^0~7^20^海の日";
    size_t at = 0;
    EXPECT_EQ(TakeRecord(list, at), "1^1^元旦^0~");
    EXPECT_EQ(list.substr(at), "2^11^建国記念日^0~7^20^海の日");
    EXPECT_EQ(TakeRecord(list, at), "2^11^建国記念日^0~");
    // The tail has no "~": nothing is taken, and the list is left for the caller to drop.
    EXPECT_EQ(TakeRecord(list, at), "");
    EXPECT_EQ(list.substr(at), "7^20^海の日");
}

TEST(HolidayRecordTest, SplitFieldStopsAtEitherSeparator)
{
    std::string rest = "11^23^勤労感謝の日^0~";
    EXPECT_EQ(SplitField(rest), "11");
    EXPECT_EQ(SplitField(rest), "23");
    EXPECT_EQ(SplitField(rest), "勤労感謝の日");
    EXPECT_EQ(SplitField(rest), "0");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(SplitField(rest), "");

    std::string noSeparator = "abc";
    EXPECT_EQ(SplitField(noSeparator), "abc");
    EXPECT_EQ(noSeparator, "");
}

TEST(HolidayRecordTest, ParseReadsNumbersAsDecimalPrefixes)
{
    const CHolidayRecord record = ParseHolidayRecord("\r\n  3^20x^春分の日^10~");
    EXPECT_EQ(record.month, 3);
    EXPECT_EQ(record.day, 20);
    EXPECT_EQ(record.name, "春分の日");
    EXPECT_EQ(record.ruleCode, 10);

    const CHolidayRecord signedRecord = ParseHolidayRecord("-4^+7^x^abc~");
    EXPECT_EQ(signedRecord.month, -4);
    EXPECT_EQ(signedRecord.day, 7);
    EXPECT_EQ(signedRecord.ruleCode, 0);
}

TEST(HolidayRecordTest, MissingFieldsReadAsZeroOrEmpty)
{
    const CHolidayRecord shortRecord = ParseHolidayRecord("5^6~");
    EXPECT_EQ(shortRecord.month, 5);
    EXPECT_EQ(shortRecord.day, 6);
    EXPECT_EQ(shortRecord.name, "");
    EXPECT_EQ(shortRecord.ruleCode, 0);

    const CHolidayRecord empty = ParseHolidayRecord("~");
    EXPECT_EQ(empty.month, 0);
    EXPECT_EQ(empty.day, 0);
}

TEST(EquinoxTest, VernalEquinoxAtTheEndsOfItsRanges)
{
    struct Case {
        int year;
        int day;
    };
    const Case cases[] = {
        {1959, 21}, {1956, 20},              // before the first range: 21 only when r = 3
        {1960, 20}, {1961, 21}, {1992, 20},  // first range: 20 only when r = 0
        {1993, 20}, {1994, 21}, {1996, 20}, {1997, 20}, {2025, 20},
        {2024, 20}, {2023, 21}, {2026, 20}, {2027, 21}, {2028, 20},  // after the second range
        {2002, 21}, {2004, 20},
    };
    for (const Case& c : cases) EXPECT_EQ(VernalEquinoxDay(c.year), c.day) << c.year;
}

TEST(EquinoxTest, AutumnalEquinoxAtTheEndsOfItsRanges)
{
    struct Case {
        int year;
        int day;
    };
    const Case cases[] = {
        {1948, 22}, {1949, 23},  // before the first range: 22 when r = 0
        {1950, 23}, {1951, 24}, {1979, 24}, {1980, 23},
        {1982, 23}, {1983, 23}, {1984, 23}, {2011, 23},  // second range: always 23
        {2012, 22}, {2013, 23}, {2016, 22},              // after it
        {2004, 23},
    };
    for (const Case& c : cases) EXPECT_EQ(AutumnalEquinoxDay(c.year), c.day) << c.year;
}
