// StubPortableTest.cpp -- the stub's readers of untrusted bytes and its command line, natively.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "StubImage.h"
#include "StubPaths.h"
#include "StubSwitches.h"
#include "WorkStream.h"
#include "ZlibFrame.h"

namespace {

void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = (uint8_t)(v >> (8 * i));
}

// A minimal PE32 head: two sections, the last raw data ending at 0x1400.
std::vector<uint8_t> PeHead()
{
    std::vector<uint8_t> b(1024, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x80);
    Put32(b, 0x80, 0x00004550);
    b[0x86] = 2;                  // sections
    b[0x94] = 0xE0;               // optional header size
    b[0x98] = 0x0B;               // PE32 magic
    b[0x99] = 0x01;
    Put32(b, 0x98 + 92, 16);      // directory count
    size_t s = 0x98 + 0xE0;
    Put32(b, s + 16, 0x1000);     // .text raw size
    Put32(b, s + 20, 0x400);      // .text raw offset
    Put32(b, s + 40 + 16, 0x0);   // .bss: no raw data
    Put32(b, s + 40 + 20, 0x9000);
    return b;
}

std::string Head(const std::string &name, uint32_t size)
{
    std::string h(SFX_ENTRY_HEAD_SIZE, '\0');
    memcpy(&h[0], name.data(), name.size() < 260 ? name.size() : 260);
    for (int i = 0; i < 4; i++)
        h[260 + i] = (char)(size >> (8 * i));
    return h;
}

struct Collected {
    std::vector<std::string> names;
    std::vector<std::string> contents;
};

int OnEntry(void *c, const SfxFileEntry *e)
{
    ((Collected *)c)->names.push_back(e->name);
    ((Collected *)c)->contents.push_back("");
    return 1;
}

int OnData(void *c, const uint8_t *d, size_t n)
{
    ((Collected *)c)->contents.back().append((const char *)d, n);
    return 1;
}

// Feeds the stream in pieces of the given size; returns the final status.
int Walk(const std::string &stream, size_t piece, Collected *out)
{
    StubWorkSink sink = {out, OnEntry, OnData, NULL};
    StubWorkParser parser;
    StubWorkInit(&parser);
    for (size_t at = 0; at < stream.size(); at += piece) {
        size_t n = stream.size() - at < piece ? stream.size() - at : piece;
        int status = StubWorkFeed(&parser, &sink, (const uint8_t *)stream.data() + at, n);
        if (status != STUB_WORK_OK)
            return status;
    }
    return StubWorkFinish(&parser);
}

}  // namespace

TEST(ImageEnd, EndOfTheLastSectionAndPastAStubSignature)
{
    std::vector<uint8_t> b = PeHead();
    uint64_t end = 0;
    ASSERT_TRUE(StubFindImageEnd(b.data(), b.size(), 0x5000, &end));
    EXPECT_EQ(0x1400u, end);

    // A certificate right after the image belongs to the stub; one elsewhere does not.
    Put32(b, 0x98 + 96 + 4 * 8, 0x1400);
    Put32(b, 0x98 + 96 + 4 * 8 + 4, 0x203);
    ASSERT_TRUE(StubFindImageEnd(b.data(), b.size(), 0x5000, &end));
    EXPECT_EQ(0x1608u, end);
    Put32(b, 0x98 + 96 + 4 * 8, 0x3000);
    ASSERT_TRUE(StubFindImageEnd(b.data(), b.size(), 0x5000, &end));
    EXPECT_EQ(0x1400u, end);
}

TEST(ImageEnd, RefusesWhatIsNotAnImageOrEndsPastTheFile)
{
    std::vector<uint8_t> b = PeHead();
    uint64_t end = 0;
    EXPECT_FALSE(StubFindImageEnd(b.data(), b.size(), 0x1000, &end));  // file shorter than the image
    std::vector<uint8_t> far = b;
    Put32(far, 0x3C, 0xFFFFFFF0);                                       // header offset past the probe
    EXPECT_FALSE(StubFindImageEnd(far.data(), far.size(), 0x5000, &end));
    std::vector<uint8_t> many = b;
    many[0x86] = 0xFF;                                                  // section table past the probe
    many[0x87] = 0xFF;
    EXPECT_FALSE(StubFindImageEnd(many.data(), many.size(), 0x5000, &end));
    std::vector<uint8_t> notPe = b;
    notPe[0x80] = 'X';
    EXPECT_FALSE(StubFindImageEnd(notPe.data(), notPe.size(), 0x5000, &end));
    EXPECT_FALSE(StubFindImageEnd(b.data(), 0x20, 0x5000, &end));
}

TEST(WorkStream, RecordsComeOutWholeWhateverThePieceSize)
{
    std::string stream = Head("a.txt", 3) + "abc" + Head("empty", 0) + Head("b.bin", 5) + "12345";
    for (size_t piece : {1u, 7u, 268u, 269u, 4096u}) {
        SCOPED_TRACE(piece);
        Collected c;
        EXPECT_EQ(STUB_WORK_OK, Walk(stream, piece, &c));
        EXPECT_EQ((std::vector<std::string>{"a.txt", "empty", "b.bin"}), c.names);
        EXPECT_EQ((std::vector<std::string>{"abc", "", "12345"}), c.contents);
    }
    Collected none;
    EXPECT_EQ(STUB_WORK_OK, Walk("", 1, &none));
    EXPECT_TRUE(none.names.empty());
}

TEST(WorkStream, TruncationBadNamesAndTooManyRecordsAreRefused)
{
    Collected c;
    EXPECT_EQ(STUB_WORK_TRUNCATED, Walk(Head("a", 10) + "short", 3, &c));
    EXPECT_EQ(STUB_WORK_TRUNCATED, Walk(Head("a", 0).substr(0, 100), 3, &c));
    EXPECT_EQ(STUB_WORK_TRUNCATED, Walk(Head("a", 0xFFFFFFFF) + "x", 64, &c));
    EXPECT_EQ(STUB_WORK_BAD_NAME, Walk(std::string(260, 'n') + std::string(8, '\0'), 64, &c));

    // Nothing of a refused record reaches the sink.
    Collected d;
    EXPECT_EQ(STUB_WORK_BAD_NAME, Walk(Head("ok", 1) + "o" + Head("..\\x", 1) + "x", 1, &d));
    EXPECT_EQ((std::vector<std::string>{"ok"}), d.names);

    std::string many;
    for (int i = 0; i <= SFX_MAX_ENTRIES; i++)
        many += Head("f", 0);
    Collected e;
    EXPECT_EQ(STUB_WORK_TOO_MANY, Walk(many, 65536, &e));
    EXPECT_EQ((size_t)SFX_MAX_ENTRIES, e.names.size());
}

TEST(WorkStream, OnlyPlainFileNamesAreAccepted)
{
    for (const char *good : {"setup.exe", "Read Me.txt", ".profile", "a.b.c", "con1.txt", "nul2", "comx"})
        EXPECT_TRUE(StubIsAcceptableName(good)) << good;
    for (const char *bad : {"", ".", "..", "a..b", "a\\b", "a/b", "C:x", "x:stream", "trail.", "trail ",
                            "CON", "con.txt", "Nul", "aux.log", "COM1", "lpt9.txt", "a*b", "a?b", "a|b",
                            "a<b", "a>b", "a\"b", "tab\tname"})
        EXPECT_FALSE(StubIsAcceptableName(bad)) << bad;
}

TEST(Switches, SilentAndDestinationInEveryCommonSpelling)
{
    StubSwitches s;
    EXPECT_EQ(std::string(" /s"), StubSkipProgramName("\"C:\\My Files\\x.exe\" /s"));
    EXPECT_EQ(std::string(" /S"), StubSkipProgramName("x.exe /S"));

    ASSERT_TRUE(StubParseSwitches(" /S \"/D:C:\\My Dir\"", &s));
    EXPECT_TRUE(s.silent);
    EXPECT_TRUE(s.haveDestination);
    EXPECT_STREQ("C:\\My Dir", s.destination);
    ASSERT_TRUE(StubParseSwitches("-d:\"C:\\A B\" other /x", &s));
    EXPECT_FALSE(s.silent);
    EXPECT_STREQ("C:\\A B", s.destination);
    ASSERT_TRUE(StubParseSwitches("/silent /sx", &s));
    EXPECT_FALSE(s.silent);
    ASSERT_TRUE(StubParseSwitches(NULL, &s));

    EXPECT_FALSE(StubParseSwitches("/d:", &s));
    EXPECT_FALSE(StubParseSwitches(("/d:" + std::string(260, 'x')).c_str(), &s));
    EXPECT_TRUE(StubParseSwitches(("/d:" + std::string(259, 'x')).c_str(), &s));
}

TEST(Paths, JoiningNeverOverrunsAndProgramFilesGoesInFront)
{
    char out[16];
    EXPECT_TRUE(StubJoinPath(out, sizeof(out), "C:\\a", "b.txt"));
    EXPECT_STREQ("C:\\a\\b.txt", out);
    EXPECT_TRUE(StubJoinPath(out, sizeof(out), "C:\\", "b"));
    EXPECT_STREQ("C:\\b", out);
    EXPECT_FALSE(StubJoinPath(out, sizeof(out), "C:\\abcdefgh", "12345"));
    EXPECT_STREQ("", out);

    char path[260];
    const char *pf = "C:\\Program Files";
    struct {
        const char *custom;
        const char *expected;
    } cases[] = {{"Velmor\\App", "C:\\Program Files\\Velmor\\App"},
                 {"\\Velmor\\", "C:\\Program Files\\Velmor"},
                 {"D:\\Velmor", "C:\\Program Files\\Velmor"},
                 {"\\\\server\\share\\Velmor", "C:\\Program Files\\Velmor"},
                 {"", "C:\\Program Files"}};
    for (const auto &c : cases) {
        ASSERT_TRUE(StubUnderProgramFiles(path, sizeof(path), pf, c.custom)) << c.custom;
        EXPECT_STREQ(c.expected, path);
    }
    char root[8] = "C:\\";
    StubTrimSeparators(root);
    EXPECT_STREQ("C:\\", root);
}

TEST(ZlibFrame, HeadAndAdlerChecks)
{
    EXPECT_TRUE(StubZlibHeadOk(0x78, 0x9C));
    EXPECT_TRUE(StubZlibHeadOk(0x78, 0x01));
    EXPECT_FALSE(StubZlibHeadOk(0x78, 0x9D));   // check bits wrong
    EXPECT_FALSE(StubZlibHeadOk(0x79, 0x9C));   // not deflate
    EXPECT_FALSE(StubZlibHeadOk(0x78, 0xBB));   // preset dictionary
    EXPECT_FALSE(StubZlibHeadOk(0x88, 0x98));   // window too large
    const char *text = "Wikipedia";
    EXPECT_EQ(0x11E60398u, StubAdler32(1, (const uint8_t *)text, strlen(text)));
    std::string big(100000, '\xFF');
    uint32_t whole = StubAdler32(1, (const uint8_t *)big.data(), big.size());
    uint32_t split = StubAdler32(StubAdler32(1, (const uint8_t *)big.data(), 777), (const uint8_t *)big.data() + 777,
                                 big.size() - 777);
    EXPECT_EQ(whole, split);
    const uint8_t trailer[4] = {0x11, 0xE6, 0x03, 0x98};
    EXPECT_EQ(0x11E60398u, StubReadTrailer(trailer));
}
