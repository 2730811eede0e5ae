// PeChecksumTest.cpp -- the self-check's checksum agrees with the stamping script
// and notices any changed byte.
#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "PeChecksum.h"

// A made-up image: MZ, the PE header at 0x80, a checksum field holding junk.
static std::vector<uint8_t> FakeImage(size_t size)
{
    std::vector<uint8_t> d(size);
    for (size_t i = 0; i < size; i++)
        d[i] = (uint8_t)(i * 7 + 3);
    d[0] = 'M';
    d[1] = 'Z';
    const uint8_t lfanew[4] = {0x80, 0, 0, 0};
    memcpy(&d[0x3C], lfanew, 4);
    memcpy(&d[0x80], "PE\0\0", 4);
    const uint8_t junk[4] = {0x78, 0x56, 0x34, 0x12};
    memcpy(&d[0x80 + 88], junk, 4);
    return d;
}

TEST(PeChecksum, MatchesTheValuesOfTheStampingScript)
{
    // Values from scripts/pe-checksum.py over the same bytes.
    const struct { size_t size; uint32_t sum; } golden[] = {
        {0x200, 0x9642}, {0x201, 0x9646}, {70001, 0x1ad3e}};
    for (auto &g : golden) {
        auto d = FakeImage(g.size);
        uint32_t field = 0;
        ASSERT_TRUE(PeChecksumFieldOffset(d.data(), d.size(), &field));
        EXPECT_EQ(field, 0x80u + 88);
        EXPECT_EQ(PeStoredChecksum(d.data(), field), 0x12345678u);
        EXPECT_EQ(PeChecksum(d.data(), d.size(), field), g.sum) << g.size;
    }
}

TEST(PeChecksum, PiecewiseSumEqualsWholeSum)
{
    auto d = FakeImage(70001);
    uint32_t field = 0x80 + 88, sum = 0;
    for (size_t at = 0; at < d.size(); at += 4096) {
        size_t n = d.size() - at < 4096 ? d.size() - at : 4096;
        sum = PeChecksumAdd(sum, &d[at], n, at, field);
    }
    EXPECT_EQ(PeChecksumFinish(sum, d.size()), PeChecksum(d.data(), d.size(), field));
}

TEST(PeChecksum, AnyChangedByteOutsideTheFieldChangesTheSum)
{
    auto d = FakeImage(4097);
    uint32_t field = 0x80 + 88;
    uint32_t good = PeChecksum(d.data(), d.size(), field);
    for (size_t at : {(size_t)0, (size_t)2, (size_t)0x81, (size_t)field - 1, (size_t)field + 4,
                      (size_t)2048, d.size() - 1}) {
        d[at] ^= 0x01;
        EXPECT_NE(PeChecksum(d.data(), d.size(), field), good) << at;
        d[at] ^= 0x01;
    }
    // The stored value itself is not part of the sum.
    d[field] ^= 0xFF;
    EXPECT_EQ(PeChecksum(d.data(), d.size(), field), good);
}

TEST(PeChecksum, HeadersThatAreNotPeAreRefused)
{
    uint32_t field = 0;
    auto d = FakeImage(0x200);
    d[0] = 'X';
    EXPECT_FALSE(PeChecksumFieldOffset(d.data(), d.size(), &field));
    d = FakeImage(0x200);
    d[0x81] = 'X';
    EXPECT_FALSE(PeChecksumFieldOffset(d.data(), d.size(), &field));
    d = FakeImage(0x200);
    const uint8_t far[4] = {0xF0, 0xFF, 0xFF, 0xFF};
    memcpy(&d[0x3C], far, 4);
    EXPECT_FALSE(PeChecksumFieldOffset(d.data(), d.size(), &field));
    d = FakeImage(0x200);
    d.resize(0x80 + 90);   // PE header cut before the end of the field
    EXPECT_FALSE(PeChecksumFieldOffset(d.data(), d.size(), &field));
    EXPECT_FALSE(PeChecksumFieldOffset(d.data(), 0x20, &field));
}
