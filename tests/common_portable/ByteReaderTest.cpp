// ByteReaderTest.cpp -- reads stop at the end of the block and stay stopped.
#include <gtest/gtest.h>

#include "ByteReader.h"

TEST(ByteReader, ReadsLittleEndianInOrder)
{
    const uint8_t bytes[] = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12};
    ByteReader r(bytes, sizeof(bytes));
    EXPECT_EQ(0x01u, r.U8());
    EXPECT_EQ(0x1234u, r.Le16());
    EXPECT_EQ(0x12345678u, r.Le32());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(0u, r.Remaining());
}

// Each step goes one byte too far; afterwards every read fails, even one that would fit.
TEST(ByteReader, AReadPastTheEndFailsAndEveryLaterOneToo)
{
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        const char *name;
        void (*step)(ByteReader &);
    } cases[] = {
        {"Take", [](ByteReader &r) { EXPECT_EQ(nullptr, r.Take(9)); }},
        {"huge Take", [](ByteReader &r) { r.Take(4); EXPECT_EQ(nullptr, r.Take(SIZE_MAX)); }},
        {"Le32", [](ByteReader &r) { r.Take(5); EXPECT_EQ(0u, r.Le32()); }},
        {"Le16", [](ByteReader &r) { r.Take(7); EXPECT_EQ(0u, r.Le16()); }},
        {"U8", [](ByteReader &r) { r.Take(8); EXPECT_EQ(0u, r.U8()); }},
        {"Seek", [](ByteReader &r) { r.Seek(9); }},
        {"Skip", [](ByteReader &r) { r.Skip(9); }},
    };
    for (const Case &c : cases) {
        ByteReader r(bytes, sizeof(bytes));
        c.step(r);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(0u, r.Remaining()) << c.name;
        r.Seek(0);
        EXPECT_EQ(nullptr, r.Take(1)) << c.name;
        EXPECT_FALSE(r.ok) << c.name;
    }
}

TEST(ByteReader, SeekToTheEndIsAllowedAndNothingFollows)
{
    const uint8_t bytes[4] = {};
    ByteReader r(bytes, sizeof(bytes));
    r.Seek(4);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(0u, r.Remaining());
    EXPECT_EQ(nullptr, r.Take(1));
    EXPECT_FALSE(r.ok);
}

TEST(ByteReader, NoBlockReadsNothing)
{
    ByteReader r(nullptr, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(nullptr, r.Take(0));
}
