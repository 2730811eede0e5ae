// StubPortableTest.cpp -- the stub's readers of untrusted bytes and its command line, natively.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SfxArchive.h"
#include "StubImage.h"
#include "StubOwnFolder.h"
#include "StubPaths.h"
#include "StubSwitches.h"
#include "Text.h"

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

// The records the reader handed on, names and contents apart.
struct Collected {
    std::vector<std::string> names;
    std::vector<std::string> contents;
};

int Walk(const std::string &stream, size_t piece, Collected *out)
{
    std::vector<ArchivedFile> files;
    int status = WalkWorkStream(stream, piece, &files);
    *out = Collected();
    for (const ArchivedFile &f : files) {
        out->names.push_back(f.name);
        out->contents.push_back(f.contents);
    }
    return status;
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
        EXPECT_EQ(SFX_WORK_OK, Walk(stream, piece, &c));
        EXPECT_EQ((std::vector<std::string>{"a.txt", "empty", "b.bin"}), c.names);
        EXPECT_EQ((std::vector<std::string>{"abc", "", "12345"}), c.contents);
    }
    Collected none;
    EXPECT_EQ(SFX_WORK_OK, Walk("", 1, &none));
    EXPECT_TRUE(none.names.empty());
}

TEST(WorkStream, TruncationBadNamesAndTooManyRecordsAreRefused)
{
    Collected c;
    EXPECT_EQ(SFX_WORK_TRUNCATED, Walk(Head("a", 10) + "short", 3, &c));
    EXPECT_EQ(SFX_WORK_TRUNCATED, Walk(Head("a", 0).substr(0, 100), 3, &c));
    EXPECT_EQ(SFX_WORK_TRUNCATED, Walk(Head("a", 0xFFFFFFFF) + "x", 64, &c));
    EXPECT_EQ(SFX_WORK_BAD_NAME, Walk(std::string(260, 'n') + std::string(8, '\0'), 64, &c));

    // Nothing of a refused record reaches the sink.
    Collected d;
    EXPECT_EQ(SFX_WORK_BAD_NAME, Walk(Head("ok", 1) + "o" + Head("..\\x", 1) + "x", 1, &d));
    EXPECT_EQ((std::vector<std::string>{"ok"}), d.names);

    std::string many;
    for (int i = 0; i <= SFX_MAX_ENTRIES; i++)
        many += Head("f", 0);
    Collected e;
    EXPECT_EQ(SFX_WORK_TOO_MANY, Walk(many, 65536, &e));
    EXPECT_EQ((size_t)SFX_MAX_ENTRIES, e.names.size());
}

// What the writer accepts and encodes, the stub's reader takes back unchanged:
// inner dots, blanks and high-ANSI letters, every length from 1 to 259 bytes.
TEST(WorkStream, EveryNameTheWriterAcceptsComesBackWhole)
{
    const char middle[] = "abcXYZ019 .-_()'\xE4\xF6\xFC\xC9\xDF\xF1\xE7";
    const char edge[] = "abcXYZ019\xE4\xF6\xFC\xC9\xDF\xF1\xE7";
    uint32_t seed = 12345;
    auto pick = [&seed](const char *set, size_t n) {
        seed = seed * 1103515245u + 12345u;
        return set[(seed >> 16) % n];
    };
    std::vector<std::string> names;
    for (size_t length = 1; length <= 259; length++) {
        std::string name(1, (char)(0xC0 + length % 32));  // no device name starts with a high-ANSI letter
        while (name.size() + 1 < length)
            name += pick(middle, sizeof(middle) - 1);
        if (length > 1)
            name += pick(edge, sizeof(edge) - 1);
        ASSERT_TRUE(SfxIsSafeStoredName(name.c_str())) << name;
        names.push_back(name);
    }
    // In runs of 50 records, well inside what one archive may hold.
    for (size_t start = 0; start < names.size(); start += 50) {
        std::vector<std::string> run(names.begin() + start, names.begin() + std::min(start + 50, names.size()));
        std::string stream;
        for (const std::string &name : run) {
            SfxFileEntry entry = {};
            memcpy(entry.name, name.data(), name.size());
            entry.size = (uint32_t)(name.size() % 5);
            uint8_t head[SFX_ENTRY_HEAD_SIZE];
            SfxEncodeEntryHead(&entry, head);
            stream.append((const char *)head, sizeof(head)).append(name.substr(0, entry.size));
        }
        Collected c;
        ASSERT_EQ(SFX_WORK_OK, Walk(stream, 997, &c));
        ASSERT_EQ(run.size(), c.names.size());
        for (size_t i = 0; i < run.size(); i++) {
            EXPECT_EQ(run[i], c.names[i]);
            EXPECT_EQ(run[i].substr(0, run[i].size() % 5), c.contents[i]);
        }
    }
}

TEST(Switches, SilentAndDestinationInEveryCommonSpelling)
{
    StubSwitches s;
    EXPECT_EQ(std::string(" /s"), TextSkipProgramName("\"C:\\My Files\\x.exe\" /s"));
    EXPECT_EQ(std::string(" /S"), TextSkipProgramName(" x.exe /S"));

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

// The working folder's access list, byte for byte: nothing inherited from the
// folder above, full control for the user, Administrators and SYSTEM only, and
// passed on to every file made inside.
TEST(OwnFolder, AccessListForTheUserAdministratorsAndSystemOnly)
{
    const uint8_t user[] = {1, 5, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 0xE9, 3, 0, 0};
    const uint8_t admins[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
    const uint8_t system[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
    uint8_t sd[STUB_FOLDER_SECURITY_MAX];
    memset(sd, 0xCC, sizeof(sd));
    size_t total = 20 + 8 + 3 * 8 + sizeof(user) + sizeof(admins) + sizeof(system);
    ASSERT_EQ(total, StubFolderSecurity(sd, sizeof(sd), user, sizeof(user) + 4, 0));
    const uint8_t head[] = {1, 0, 0x04, 0x90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0, 0,
                            2, 0, (uint8_t)(total - 20), 0, 3, 0, 0, 0};
    EXPECT_EQ(0, memcmp(head, sd, sizeof(head)));
    const uint8_t *ace = sd + sizeof(head);
    for (const std::vector<uint8_t> &sid : {std::vector<uint8_t>(user, user + sizeof(user)),
                                            std::vector<uint8_t>(admins, admins + sizeof(admins)),
                                            std::vector<uint8_t>(system, system + sizeof(system))}) {
        const uint8_t allow[] = {0, 3, (uint8_t)(8 + sid.size()), 0, 0xFF, 0x01, 0x1F, 0};
        EXPECT_EQ(0, memcmp(allow, ace, sizeof(allow)));
        EXPECT_EQ(0, memcmp(sid.data(), ace + 8, sid.size()));
        ace += 8 + sid.size();
    }
    EXPECT_EQ(sd + total, ace);
    EXPECT_EQ(0xCC, sd[total]);

    // A SID that is not whole, not of revision 1 or claims too many parts gives nothing.
    EXPECT_EQ(0u, StubFolderSecurity(sd, sizeof(sd), user, sizeof(user) - 1, 0));
    uint8_t bad[sizeof(user)];
    memcpy(bad, user, sizeof(user));
    bad[0] = 2;
    EXPECT_EQ(0u, StubFolderSecurity(sd, sizeof(sd), bad, sizeof(bad), 0));
    bad[0] = 1;
    bad[1] = 16;
    std::vector<uint8_t> roomy(200, 0);
    memcpy(roomy.data(), bad, sizeof(bad));
    EXPECT_EQ(0u, StubFolderSecurity(sd, sizeof(sd), roomy.data(), roomy.size(), 0));
    EXPECT_EQ(0u, StubFolderSecurity(sd, total - 1, user, sizeof(user), 0));
    EXPECT_EQ(0u, StubFolderSecurity(sd, sizeof(sd), NULL, 0, 0));
}

// An elevated run's folder also carries a label at the run's level, passed on
// to every file made inside: no lower-level program may change the folder or
// its files, nor add one. A run at medium level or below gets none.
TEST(OwnFolder, AnElevatedRunLabelsTheFolderAtItsLevel)
{
    const uint8_t user[] = {1, 1, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0};
    uint8_t high[] = {1, 1, 0, 0, 0, 0, 0, 16, 0, 0x30, 0, 0};
    EXPECT_EQ(0x3000u, StubLabelLevel(high, sizeof(high)));
    uint8_t sd[STUB_FOLDER_SECURITY_MAX];
    size_t plain = StubFolderSecurity(sd, sizeof(sd), user, sizeof(user), 0);
    ASSERT_EQ(plain + STUB_LABEL_SIZE, StubFolderSecurity(sd, sizeof(sd), user, sizeof(user), 0x3000));
    const uint8_t control[] = {0x14, 0x90};  // SACL present as well
    EXPECT_EQ(0, memcmp(control, sd + 2, 2));
    EXPECT_EQ(plain, (size_t)(sd[12] | sd[13] << 8));
    const uint8_t sacl[] = {2, 0, 28, 0, 1, 0, 0, 0,                     // one entry
                            0x11, 3, 20, 0, 1, 0, 0, 0,                  // label, inherited, no write up
                            1, 1, 0, 0, 0, 0, 0, 16, 0, 0x30, 0, 0};     // S-1-16-12288
    EXPECT_EQ(0, memcmp(sacl, sd + plain, sizeof(sacl)));
    EXPECT_EQ(0u, StubFolderSecurity(sd, plain + STUB_LABEL_SIZE - 1, user, sizeof(user), 0x3000));

    high[9] = 0x40;  // system
    EXPECT_EQ(0x4000u, StubLabelLevel(high, sizeof(high)));
    for (uint8_t level : {0x20, 0x10, 0x00}) {  // medium, low, untrusted
        high[9] = level;
        EXPECT_EQ(0u, StubLabelLevel(high, sizeof(high))) << (int)level;
    }
    high[9] = 0x30;
    EXPECT_EQ(0u, StubLabelLevel(high, sizeof(high) - 1));
    EXPECT_EQ(0u, StubLabelLevel(user, sizeof(user)));  // another authority
    EXPECT_EQ(0u, StubLabelLevel(NULL, 0));
}

// Cleanup deletes only a plain file with no other name on the folder's own
// volume; a junction or link put in place of one of the run's files stays.
TEST(OwnFolder, CleanupDeletesOnlyPlainFilesOfItsOwn)
{
    const uint32_t readOnly = 0x01, directory = 0x10, archive = 0x20, reparse = 0x400;
    struct Case {
        StubFoundFile found;
        int action;
    } cases[] = {
        {{archive, 1, 7}, STUB_DELETE},
        {{0, 1, 7}, STUB_DELETE},
        {{archive | readOnly, 1, 7}, STUB_CLEAR_THEN_DELETE},
        {{directory | reparse, 1, 7}, STUB_LEAVE},    // a junction
        {{archive | reparse, 1, 7}, STUB_LEAVE},      // a file link
        {{directory, 1, 7}, STUB_LEAVE},              // a folder the program made
        {{archive, 2, 7}, STUB_LEAVE},                // a second name of some file
        {{archive, 1, 8}, STUB_LEAVE},                // on another volume
        {{readOnly | reparse, 1, 7}, STUB_LEAVE},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.action, StubCleanupAction(&c.found, 7)) << std::hex << c.found.attributes << " " << c.found.links;
}
