// SfxFormatTest.cpp -- golden bytes of the archive header, the work stream, the checksum and the zlib frame.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "PackedFrame.h"
#include "SfxArchive.h"
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

// Summed in pieces split anywhere (every start within an eight-byte step,
// every tail), the value is that of the whole.
TEST(SfxChecksum, PiecesGiveTheSameResultAsTheWhole)
{
    std::vector<uint8_t> data(1000);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = (uint8_t)(i * 131 + 7);
    uint32_t whole = SfxChecksum(0, data.data(), data.size());
    EXPECT_EQ(0x18DE6C39u, whole);
    for (size_t split = 0; split <= 300; split++)
        ASSERT_EQ(whole, SfxChecksum(SfxChecksum(0, data.data(), split), &data[split], data.size() - split)) << split;
}

TEST(SfxPackedFrame, HeadAndAdlerChecks)
{
    EXPECT_TRUE(SfxPackedHeadOk(0x78, 0x9C));
    EXPECT_TRUE(SfxPackedHeadOk(0x78, 0x01));
    EXPECT_FALSE(SfxPackedHeadOk(0x78, 0x9D));   // check bits wrong
    EXPECT_FALSE(SfxPackedHeadOk(0x79, 0x9C));   // not deflate
    EXPECT_FALSE(SfxPackedHeadOk(0x78, 0xBB));   // preset dictionary
    EXPECT_FALSE(SfxPackedHeadOk(0x88, 0x98));   // window too large
    const char *text = "Wikipedia";
    EXPECT_EQ(0x11E60398u, SfxAdler32(1, (const uint8_t *)text, strlen(text)));
    std::string big(100000, '\xFF');
    uint32_t whole = SfxAdler32(1, (const uint8_t *)big.data(), big.size());
    uint32_t split = SfxAdler32(SfxAdler32(1, (const uint8_t *)big.data(), 777), (const uint8_t *)big.data() + 777,
                                big.size() - 777);
    EXPECT_EQ(whole, split);
    const uint8_t trailer[4] = {0x11, 0xE6, 0x03, 0x98};
    EXPECT_EQ(0x11E60398u, SfxPackedTrailer(trailer));
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

// The records the writer's encoding lays out come back through the stub's reader.
TEST(SfxWorkStream, RecordsFollowEachOtherIncludingAnEmptyFile)
{
    std::vector<ArchivedFile> files;
    EXPECT_EQ(SFX_WORK_OK, WalkWorkStream("", 1, &files));
    EXPECT_TRUE(files.empty()) << "an empty stream has no files";

    std::vector<uint8_t> s;
    AppendEntry(s, "readme.txt", {'h', 'i'});
    AppendEntry(s, "empty.dat", {});
    AppendEntry(s, "readme.txt", {1, 2, 3});
    ASSERT_EQ(3u * 268 + 5, s.size());
    EXPECT_STREQ("empty.dat", (const char *)s.data() + 270) << "an empty file's record follows right after";
    EXPECT_EQ(0u, U32At(s.data() + 270 + 260));
    EXPECT_EQ(0u, U32At(s.data() + 270 + 264));

    ASSERT_EQ(SFX_WORK_OK, WalkWorkStream(std::string(s.begin(), s.end()), 4096, &files));
    ASSERT_EQ(3u, files.size());
    EXPECT_EQ("readme.txt", files[0].name);
    EXPECT_EQ("hi", files[0].contents);
    EXPECT_EQ("empty.dat", files[1].name);
    EXPECT_EQ("", files[1].contents);
    EXPECT_EQ(std::string("\1\2\3"), files[2].contents);
}

TEST(SfxWorkStream, DamagedStreamsAreRefused)
{
    std::vector<uint8_t> s;
    AppendEntry(s, "a.txt", {1, 2, 3, 4});
    std::string whole(s.begin(), s.end());
    std::string huge = whole, noTerm = whole;
    huge[260] = huge[261] = huge[262] = huge[263] = '\xFF';
    memset(&noTerm[0], 'x', 260);
    const struct {
        std::string stream;
        int status;
        const char *what;
    } cases[] = {
        {whole.substr(0, whole.size() - 1), SFX_WORK_TRUNCATED, "contents cut short"},
        {whole.substr(0, 100), SFX_WORK_TRUNCATED, "head cut short"},
        {huge, SFX_WORK_TRUNCATED, "size beyond the data"},
        {noTerm, SFX_WORK_BAD_NAME, "name without terminator"},
    };
    std::vector<ArchivedFile> files;
    for (const auto &c : cases)
        EXPECT_EQ(c.status, WalkWorkStream(c.stream, 4096, &files)) << c.what;
}

TEST(SfxStoredName, OnlyPlainNamesAreSafe)
{
    for (const char *good : {"setup.exe", "Read Me.txt", "my file.v2.dat", ".profile", "a.b.c", "con1.txt", "nul2",
                             "comx", "com10", "lpt", "a..b", "release..notes.txt", "Wait...what.txt", "..x", "CONIN",
                             "clock.txt", " lead", "\xC4rger.txt"})
        EXPECT_TRUE(SfxIsSafeStoredName(good)) << good;
    for (const char *bad : {"", ".", "..", "...", "a\\b", "..\\win.ini", "a/b", "C:x", "x:stream", "trail.",
                            "trail ", "tab\tname", "a*b", "a?b", "a|b", "a<b", "a>b", "a\"b"})
        EXPECT_FALSE(SfxIsSafeStoredName(bad)) << bad;
    // Devices, with or without an extension, the digit 0 and the code page's
    // superscript digits included.
    for (const char *device : {"CON", "con.txt", "Nul", "aux.log", "PRN", "con .txt", "CONIN$", "conout$.txt",
                               "Clock$", "COM1", "lpt9.txt", "com0", "LPT0.log", "COM\xB9", "lpt\xB2.txt",
                               "Com\xB3"})
        EXPECT_FALSE(SfxIsSafeStoredName(device)) << device;
    EXPECT_TRUE(SfxIsSafeStoredName(std::string(259, 'n').c_str()));
    EXPECT_FALSE(SfxIsSafeStoredName(std::string(260, 'n').c_str()));
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
