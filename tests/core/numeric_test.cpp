#include "core/numeric.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "core/exception.h"

TEST(Numeric, WrappingArithmeticAndTruncatingDivision) {
    EXPECT_EQ(WrapAdd(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(WrapSub(INT32_MIN, 1), INT32_MAX);
    EXPECT_EQ(WrapMul(65536, 65536), 0);
    EXPECT_EQ(WrapNeg(INT32_MIN), INT32_MIN);
    EXPECT_EQ(Div(-7, 2), -3);
    EXPECT_EQ(Mod(-7, 2), -1);
    EXPECT_EQ(Div(INT32_MIN, -1), INT32_MIN);
    EXPECT_EQ(Div(5, 0), 0);
    EXPECT_EQ(Mod(5, 0), 0);
}

TEST(Numeric, RoundTiesToEvenAndTruncTowardZero) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(10.2), 10);
    EXPECT_EQ(Trunc(-1.5), -1);
    EXPECT_EQ(Trunc(1.99), 1);
    EXPECT_EQ(Trunc(std::nan("")), 0);
    EXPECT_EQ(Round(INFINITY), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(TruncInt32(4294967297.0), 1); // only the low 32 bits are kept
}

TEST(Numeric, StrToIntReadsDecimalAndDollarHex) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("-17"), -17);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("$EED6B4"), 0xEED6B4);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToIntDef("x", 1), 1);
}

TEST(Numeric, StrToIntRejectsWhatIsNotANumber) {
    for (const char* bad : {"", "$", "12a", "$G1", "2147483648", "$100000000", "-"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(Numeric, IntToHexPadsAndShowsTwosComplement) {
    EXPECT_EQ(IntToHex(0, 2), "00");
    EXPECT_EQ(IntToHex(0xEE, 2), "EE");
    EXPECT_EQ(IntToHex(0x1FF, 2), "1FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(MakeLong(2, 2), 0x00020002u);
}
