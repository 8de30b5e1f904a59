#include "link/requests.h"

#include <gtest/gtest.h>

#include "support/wire.h"

TEST(Requests, SimpleLetters) {
    EXPECT_EQ(req_version(), hex("3F"));
    EXPECT_EQ(req_bstd(), hex("78"));
    EXPECT_EQ(req_boot(), hex("62"));
}

TEST(Requests, IndexesAreCharacters) {
    EXPECT_EQ(req_zeit(0), hex("7430"));
    EXPECT_EQ(req_zeit(6), hex("7436"));
    EXPECT_EQ(req_set_zeit(2, 200), hex("5432C8"));
    EXPECT_EQ(req_set_zeit(0, 0), hex("543000"));
    EXPECT_EQ(req_status(0), hex("6930"));
    EXPECT_EQ(req_status(1), hex("6931"));
}

TEST(Requests, ParameterMemoryReads) {
    EXPECT_EQ(req_lp(), hex("6500000C"));
    EXPECT_EQ(req_veeprom(), hex("65005004"));
    EXPECT_EQ(req_sn(), hex("6500100C"));
    EXPECT_EQ(req_sysstat(1), hex("6500801A"));
    EXPECT_EQ(req_sysstat(2), hex("65009A1A"));
    EXPECT_EQ(req_sysstat(32), hex("6503A61A"));
}

TEST(Requests, OperatingHoursDigitsLeastSignificantFirst) {
    EXPECT_EQ(req_set_bstd("123453"), hex("58050403020103"));
    EXPECT_EQ(req_set_bstd("000000"), hex("58000000000000"));
    // The reset passes seven zeros; the seventh is not sent.
    EXPECT_EQ(req_set_bstd("0000000"), hex("58000000000000"));
    EXPECT_EQ(req_set_bstd("987650"), hex("58050607080900"));
}

TEST(Requests, SerialNumberIsTwelveCharacters) {
    EXPECT_EQ(req_set_sn("ABC"), hex("4500100C") + "ABC" + QByteArray(9, ' '));
    EXPECT_EQ(req_set_sn("12345678901234"), hex("4500100C") + "123456789012");
    EXPECT_EQ(req_set_sn("").size(), 16);
    EXPECT_EQ(req_set_sn(QString::fromUtf8("Ä1")), hex("4500100C") +
                                                       "\xC4"
                                                       "1" +
                                                       QByteArray(10, ' '));
}
