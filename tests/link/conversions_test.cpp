#include "link/conversions.h"

#include <gtest/gtest.h>

TEST(Crc, CheckValueAndEmptyInput) {
    EXPECT_EQ(crc16(QByteArray("123456789"), kCrcInit), 0xC9F2);
    EXPECT_EQ(crc16(QByteArray(), kCrcInit), kCrcInit);
    EXPECT_EQ(crc16(QByteArray("0"), kCrcInit), 0x6903);
    // Not reflected, and the initial value matters.
    EXPECT_NE(crc16(QByteArray("123456789"), 0xFFFF), 0xC9F2);
}

TEST(Conversions, SixteenBitValues) {
    const QByteArray ff9c("\xFF\x9C", 2);
    EXPECT_EQ(get_s16be(ff9c), -100);
    EXPECT_EQ(get_u16be(ff9c), 65436);
    EXPECT_EQ(get_u16le(QByteArray("\x34\x12", 2)), 0x1234);
    EXPECT_EQ(get_s16be(QByteArray("\x7F\xFF", 2)), 32767);
    EXPECT_EQ(get_s16be(QByteArray("\x80\x00", 2)), -32768);
    // Positions count from 1 as the reply layouts do.
    const QByteArray reply("i0\x01\x02\x03", 5);
    EXPECT_EQ(get_u16be(reply, 3), 0x0102);
    EXPECT_EQ(get_u16le(reply, 4), 0x0302);
}

TEST(Conversions, BytesPastTheEndReadAsZero) {
    const QByteArray shorty("x\x05", 2);
    EXPECT_EQ(get_u16be(shorty, 2), 0x0500);
    EXPECT_EQ(get_byte(shorty, 3), 0);
    EXPECT_EQ(get_byte(shorty, 0), 0);
    EXPECT_EQ(get_u16le(shorty, 40), 0);
}

TEST(Conversions, FloatLeastSignificantByteFirst) {
    EXPECT_DOUBLE_EQ(get_float(QByteArray("\x00\x00\x80\x3F", 4)), 1.0);
    EXPECT_DOUBLE_EQ(get_float(QByteArray("\x00\x00\xC0\xBF", 4)), -1.5);
    EXPECT_DOUBLE_EQ(get_float(QByteArray("\x00\x80\xAD\x43", 4)), 347.0);
    // All zero is 2^-127, not a special case.
    EXPECT_DOUBLE_EQ(get_float(QByteArray(4, '\0')), std::ldexp(1.0, -127));
}

TEST(HexTexts, PadDumpAndParse) {
    EXPECT_EQ(hex_pad(0x0A03, 4), "0A03");
    EXPECT_EQ(hex_pad(0xABCDE, 4), "BCDE");
    EXPECT_EQ(hex_pad(0xf, 2), "0F");
    EXPECT_EQ(hex_dump(QByteArray("\x00\xFF", 2)), "00 FF ");
    EXPECT_EQ(hex_dump(QByteArray("?")), "3F ");
    EXPECT_EQ(hex_dump(QByteArray()), "");
    EXPECT_EQ(hex_digit_value(u'a'), 10);
    EXPECT_EQ(hex_digit_value(u'F'), 15);
    EXPECT_EQ(hex_digit_value(u'7'), 7);
    EXPECT_EQ(hex_digit_value(u'g'), 0);
    EXPECT_EQ(hex_to_bytes("263F0aff"), QByteArray("\x26\x3F\x0A\xFF", 4));
    EXPECT_EQ(hex_to_bytes("ABC"), QByteArray("\xAB", 1));
    EXPECT_EQ(hex_to_bytes(""), QByteArray());
}
