// SfxFormatTest.cpp -- golden bytes of the archive header, the work stream and the checksum.
#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "SfxChecksum.h"
#include "SfxFormat.h"

namespace {

uint32_t U32At(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

bool AllZero(const uint8_t *p, size_t n)
{
    for (size_t i = 0; i < n; i++)
        if (p[i] != 0)
            return false;
    return true;
}

std::vector<uint8_t> Encode(const SfxHeader &h)
{
    std::vector<uint8_t> out(SFX_HEADER_SIZE);
    SfxEncodeHeader(&h, out.data());
    return out;
}

void AppendEntry(std::vector<uint8_t> &stream, const char *name, const std::vector<uint8_t> &contents)
{
    SfxFileEntry e;
    memset(&e, 0, sizeof(e));
    strncpy(e.name, name, sizeof(e.name) - 1);
    e.size = (uint32_t)contents.size();
    uint8_t head[SFX_ENTRY_HEAD_SIZE];
    SfxEncodeEntryHead(&e, head);
    stream.insert(stream.end(), head, head + sizeof(head));
    stream.insert(stream.end(), contents.begin(), contents.end());
}

}  // namespace

TEST(SfxChecksum, CheckValues)
{
    EXPECT_EQ(0xCA6598D0u, SfxChecksum(0, "abc", 3));
    EXPECT_EQ(0u, SfxChecksum(0, "", 0));
    // The common CRC-32 of "123456789" is 0xCBF43926; with a zero start and no
    // final inversion the same bytes give this value.
    EXPECT_EQ(0x2DFD2D88u, SfxChecksum(0, "123456789", 9));
}

TEST(SfxChecksum, PiecesGiveTheSameResultAsTheWhole)
{
    std::vector<uint8_t> data(1000);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = (uint8_t)(i * 131 + 7);
    uint32_t whole = SfxChecksum(0, data.data(), data.size());
    uint32_t part = SfxChecksum(0, data.data(), 333);
    EXPECT_EQ(whole, SfxChecksum(part, data.data() + 333, data.size() - 333));
}

TEST(SfxHeaderEncoding, FreshHeaderHasVersionWithoutTerminatorAndAskMode)
{
    SfxHeader h;
    SfxInitHeader(&h);
    h.packedFlag = 1;
    std::vector<uint8_t> b = Encode(h);
    EXPECT_EQ(0, memcmp(b.data(), "2.00", 4));
    EXPECT_EQ(1, b[4]) << "byte 4 is the low byte of packedFlag, not a terminator";
    EXPECT_EQ(3u, U32At(b.data() + 712));
    EXPECT_TRUE(AllZero(b.data() + 8, 712 - 8));
}

TEST(SfxHeaderEncoding, EveryFieldLandsAtItsOffsetLittleEndian)
{
    SfxHeader h;
    SfxInitHeader(&h);
    h.packedFlag = 1;
    h.packedSize = 0x11223344;
    h.packedCrc = 0xCA6598D0;
    h.showDialog = 1;
    h.addProgramFiles = 1;
    strcpy(h.destination, "Velmor\\Tools");
    h.reserved = 0x0A0B0C0D;
    strcpy(h.launchFile, "setup.exe");
    strcpy(h.commandLine, "/quiet /log");
    strcpy(h.appName, "Demo App");
    h.moduleType = 1;
    h.overwriteMode = 2;
    std::vector<uint8_t> b = Encode(h);

    const uint8_t size[4] = {0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(0, memcmp(b.data() + 8, size, 4));
    EXPECT_EQ(0xCA6598D0u, U32At(b.data() + 12));
    EXPECT_EQ(1u, U32At(b.data() + 16));
    EXPECT_EQ(1u, U32At(b.data() + 20));
    EXPECT_STREQ("Velmor\\Tools", (const char *)b.data() + 24);
    EXPECT_TRUE(AllZero(b.data() + 24 + 12, 260 - 12)) << "texts are followed by zero bytes only";
    EXPECT_EQ(0x0A0B0C0Du, U32At(b.data() + 284));
    EXPECT_STREQ("setup.exe", (const char *)b.data() + 288);
    EXPECT_STREQ("/quiet /log", (const char *)b.data() + 548);
    EXPECT_STREQ("Demo App", (const char *)b.data() + 628);
    EXPECT_EQ(1u, U32At(b.data() + 708));
    EXPECT_EQ(2u, U32At(b.data() + 712));

    SfxHeader back;
    ASSERT_EQ(1, SfxDecodeHeader(b.data(), b.size(), &back));
    EXPECT_EQ(0, memcmp(&h, &back, sizeof(h)));
}

TEST(SfxHeaderEncoding, EightyCharacterAppNameFillsItsFieldAndCopiesOutSafely)
{
    SfxHeader h;
    SfxInitHeader(&h);
    memset(h.appName, 'A', 80);
    h.moduleType = 0x01020304;
    std::vector<uint8_t> b = Encode(h);
    for (int i = 628; i < 708; i++)
        ASSERT_EQ('A', b[i]);
    EXPECT_EQ(0x04, b[708]) << "the name runs straight into moduleType";

    SfxHeader back;
    ASSERT_EQ(1, SfxDecodeHeader(b.data(), b.size(), &back));
    char name[81];
    SfxCopyField(name, sizeof(name), back.appName, sizeof(back.appName));
    EXPECT_EQ(80u, strlen(name));
    char small[10];
    SfxCopyField(small, sizeof(small), back.appName, sizeof(back.appName));
    EXPECT_STREQ("AAAAAAAAA", small);
}

TEST(SfxHeaderEncoding, DestinationKindsAndTheirMarkers)
{
    SfxHeader h;
    SfxInitHeader(&h);
    EXPECT_EQ(SFX_DEST_TEMP, SfxDestinationKind(&h)) << "an all-zero field is the temporary directory";

    h.destination[0] = (char)0xFF;
    std::vector<uint8_t> b = Encode(h);
    EXPECT_EQ(0xFF, b[24]);
    EXPECT_TRUE(AllZero(b.data() + 25, 259));
    EXPECT_EQ(SFX_DEST_CURRENT, SfxDestinationKind(&h));

    h.destination[0] = (char)0xFE;
    EXPECT_EQ(0xFE, Encode(h)[24]);
    EXPECT_EQ(SFX_DEST_FOURTH, SfxDestinationKind(&h));

    strcpy(h.destination, "C:\\Apps");
    EXPECT_EQ(SFX_DEST_CUSTOM, SfxDestinationKind(&h));
}

TEST(SfxHeaderDecoding, RefusesShortInputAndAForeignMark)
{
    SfxHeader h;
    SfxInitHeader(&h);
    std::vector<uint8_t> b = Encode(h);
    SfxHeader out;
    EXPECT_EQ(0, SfxDecodeHeader(b.data(), SFX_HEADER_SIZE - 1, &out));
    EXPECT_EQ(0, SfxDecodeHeader(NULL, SFX_HEADER_SIZE, &out));
    b[0] = '3';
    EXPECT_EQ(0, SfxDecodeHeader(b.data(), b.size(), &out));
}

TEST(SfxWorkStream, EmptyStreamHasNoFiles)
{
    SfxWorkReader r;
    SfxWorkReaderInit(&r, NULL, 0);
    SfxFileEntry e;
    const uint8_t *c = NULL;
    EXPECT_EQ(SFX_WALK_END, SfxWorkReaderNext(&r, &e, &c));
}

TEST(SfxWorkStream, RecordsFollowEachOtherIncludingAnEmptyFile)
{
    std::vector<uint8_t> s;
    AppendEntry(s, "readme.txt", {'h', 'i'});
    AppendEntry(s, "empty.dat", {});
    AppendEntry(s, "readme.txt", {1, 2, 3});
    ASSERT_EQ(3u * 268 + 5, s.size());
    EXPECT_STREQ("empty.dat", (const char *)s.data() + 270) << "an empty file's record follows right after";
    EXPECT_EQ(0u, U32At(s.data() + 270 + 260));
    EXPECT_EQ(0u, U32At(s.data() + 270 + 264));

    SfxWorkReader r;
    SfxWorkReaderInit(&r, s.data(), s.size());
    SfxFileEntry e;
    const uint8_t *c = NULL;
    ASSERT_EQ(SFX_WALK_ENTRY, SfxWorkReaderNext(&r, &e, &c));
    EXPECT_STREQ("readme.txt", e.name);
    EXPECT_EQ(2u, e.size);
    EXPECT_EQ('h', c[0]);
    ASSERT_EQ(SFX_WALK_ENTRY, SfxWorkReaderNext(&r, &e, &c));
    EXPECT_STREQ("empty.dat", e.name);
    EXPECT_EQ(0u, e.size);
    ASSERT_EQ(SFX_WALK_ENTRY, SfxWorkReaderNext(&r, &e, &c));
    EXPECT_EQ(3, c[2]);
    EXPECT_EQ(SFX_WALK_END, SfxWorkReaderNext(&r, &e, &c));
}

TEST(SfxWorkStream, DamagedStreamsAreRefused)
{
    std::vector<uint8_t> s;
    AppendEntry(s, "a.txt", {1, 2, 3, 4});
    SfxFileEntry e;
    const uint8_t *c = NULL;
    SfxWorkReader r;

    SfxWorkReaderInit(&r, s.data(), s.size() - 1);
    EXPECT_EQ(SFX_WALK_BAD, SfxWorkReaderNext(&r, &e, &c)) << "contents cut short";

    SfxWorkReaderInit(&r, s.data(), 100);
    EXPECT_EQ(SFX_WALK_BAD, SfxWorkReaderNext(&r, &e, &c)) << "head cut short";

    std::vector<uint8_t> huge = s;
    huge[260] = huge[261] = huge[262] = huge[263] = 0xFF;
    SfxWorkReaderInit(&r, huge.data(), huge.size());
    EXPECT_EQ(SFX_WALK_BAD, SfxWorkReaderNext(&r, &e, &c)) << "size beyond the data";

    std::vector<uint8_t> noTerm = s;
    memset(noTerm.data(), 'x', 260);
    SfxWorkReaderInit(&r, noTerm.data(), noTerm.size());
    EXPECT_EQ(SFX_WALK_BAD, SfxWorkReaderNext(&r, &e, &c)) << "name without terminator";
}

TEST(SfxStoredName, OnlyPlainNamesAreSafe)
{
    EXPECT_TRUE(SfxIsSafeStoredName("readme.txt"));
    EXPECT_TRUE(SfxIsSafeStoredName("my file.v2.dat"));
    EXPECT_FALSE(SfxIsSafeStoredName(""));
    EXPECT_FALSE(SfxIsSafeStoredName("."));
    EXPECT_FALSE(SfxIsSafeStoredName(".."));
    EXPECT_FALSE(SfxIsSafeStoredName("..\\win.ini"));
    EXPECT_FALSE(SfxIsSafeStoredName("sub\\a.txt"));
    EXPECT_FALSE(SfxIsSafeStoredName("sub/a.txt"));
    EXPECT_FALSE(SfxIsSafeStoredName("C:evil.exe"));
    EXPECT_FALSE(SfxIsSafeStoredName("a.txt:stream"));
    EXPECT_FALSE(SfxIsSafeStoredName("tab\there"));
}

TEST(SfxLaunchFile, ARelativeNameNeverClimbsOutOfTheDestination)
{
    for (const char *inside : {"", "setup.exe", "bin\\setup.exe", "a\\..\\setup.exe", ".\\x.exe", "a..b\\x.exe",
                               "C:\\Tools\\x.exe", "\\\\server\\share\\x.exe", "\\x.exe", "C:..\\x.exe"})
        EXPECT_TRUE(SfxIsLaunchFileInside(inside)) << inside;
    for (const char *outside : {"..\\outside\\evil.exe", "ok.txt\\..\\..\\x.exe", "../x.exe", "a\\...\\..\\x.exe",
                                "...\\x.exe", ". .\\x.exe", "a\\..\\.\\..\\x.exe"})
        EXPECT_FALSE(SfxIsLaunchFileInside(outside)) << outside;
}
