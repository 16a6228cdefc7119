#include <gtest/gtest.h>

#include "data/DecimalNumber.h"

TEST(DecimalNumber, InputReadsToNormalForm)
{
    struct Case {
        const char* typed;
        int places;
        const char* normal;
    };
    const Case cases[] = {
        {"0.35", 3, "0.35"},
        {"０．３５", 3, "0.35"},
        {"１２３４．５", 1, "1234.5"},
        {"６７８９", 1, "6789"},
        {" 48 ", 1, "48"},
        {"48.5", 1, "48.5"},
        {"48.50", 1, "48.5"},
        {"007", 1, "7"},
        {".5", 1, "0.5"},
        {"5.", 1, "5"},
        {"10000.000", 3, "10000"},
        {"\xE3\x80\x80"
         "1.25",
         3, "1.25"},
        {"0.001", 3, "0.001"},
        {"0", 3, "0"},
    };
    for (const Case& c : cases) {
        int64_t value = -1;
        ASSERT_EQ(ParseDecimalInput(c.typed, c.places, 10000, value), EDecimalError::None)
            << c.typed;
        EXPECT_EQ(FormatThousandths(value), c.normal) << c.typed;
    }
}

TEST(DecimalNumber, InputRefusedWithReason)
{
    struct Case {
        const char* typed;
        int places;
        EDecimalError error;
    };
    const Case cases[] = {
        {"", 3, EDecimalError::Empty},
        {"  ", 3, EDecimalError::Empty},
        {"0,35", 3, EDecimalError::Comma},
        {"０，３５", 3, EDecimalError::Comma},
        {"1.2.3", 3, EDecimalError::NotNumber},
        {"1e3", 3, EDecimalError::NotNumber},
        {".", 3, EDecimalError::NotNumber},
        {"12kg", 3, EDecimalError::NotNumber},
        {"48.25", 1, EDecimalError::TooManyDecimals},
        {"0.0005", 3, EDecimalError::TooManyDecimals},
        {"10000.001", 3, EDecimalError::OutOfRange},
        {"99999999999999999999", 3, EDecimalError::OutOfRange},
        {"-1", 3, EDecimalError::Negative},
        {"-0", 3, EDecimalError::Negative},
        {"1,234", 3, EDecimalError::Thousands},
        {"１，２３４．５", 3, EDecimalError::Thousands},
        {"12,5", 3, EDecimalError::Comma},
        {"1,23", 3, EDecimalError::Comma},
        {"0,350", 3, EDecimalError::Comma},
        {"1234,567", 3, EDecimalError::Comma},
        {"+1", 3, EDecimalError::NotNumber},
        {"0.0001", 3, EDecimalError::TooManyDecimals},
    };
    for (const Case& c : cases) {
        int64_t value = 42;
        EXPECT_EQ(ParseDecimalInput(c.typed, c.places, 10000, value), c.error) << c.typed;
        EXPECT_EQ(value, 42) << c.typed;
    }
}

TEST(DecimalNumber, StoredTextsReadExactly)
{
    // Old whole numbers, decimals, and the lenient reading of anything else.
    EXPECT_EQ(ReadStoredThousandths("48"), 48000);
    EXPECT_EQ(ReadStoredThousandths("0.35"), 350);
    EXPECT_EQ(ReadStoredThousandths(" -1.5kg"), -1500);
    EXPECT_EQ(ReadStoredThousandths("1.23456"), 1234);
    EXPECT_EQ(ReadStoredThousandths("abc"), 0);
    EXPECT_EQ(ReadStoredThousandths(""), 0);
    EXPECT_GT(ReadStoredThousandths("99999999999999999999999"), 0);
    // Sums that drift in binary floating point stay equal.
    EXPECT_EQ(ReadStoredThousandths("0.1") + ReadStoredThousandths("0.2"),
              ReadStoredThousandths("0.3"));
    EXPECT_EQ(FormatThousandths(-1500), "-1.5");
    EXPECT_EQ(FormatThousandths(1010), "1.01");
}
