// InstallLogTest.cpp -- header read and record walk over real files, through the
// same low-level descriptor calls the uninstaller uses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "InstallLog.h"
#include "InstallLogWriter.h"
#include "RecordPath.h"
#include "WininitSection.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#define _open open
#define _close close
#define _unlink unlink
#define _lseek lseek
#define O_BINARY 0
#endif

// A log written to a file of its own and open read-only for one test.
class LogFile {
public:
    explicit LogFile(const Bytes &bytes)
    {
        static int serial = 0;
        path_ = "kolvu_entry_log_" + std::to_string(serial++) + ".tmp";
        EXPECT_TRUE(WriteFileBytes(path_, bytes));
        fd_ = _open(path_.c_str(), O_RDONLY | O_BINARY);
        EXPECT_GE(fd_, 0);
    }
    ~LogFile()
    {
        if (fd_ >= 0)
            _close(fd_);
        _unlink(path_.c_str());
    }
    int fd() const { return fd_; }

private:
    std::string path_;
    int fd_ = -1;
};

struct Seen {
    uint8_t code;
    uint32_t type;
    bool hasBody;
    std::string text;   // first text of the body
};

static std::vector<Seen> Walk(const InstallLogWriter &log, uint32_t handled, int *result = NULL)
{
    LogFile file(log.GetBytes());
    std::vector<Seen> seen;
    int r = RecordWalk(file.fd(), log.FirstRecordOffset(), handled,
                       [&](const RecordHead &head, const RecordBody *body) {
                           Seen s{RecordCode(head), head.Type, body != NULL, ""};
                           if (body && RecordCode(head) == REC_APP)
                               s.text = body->App.Name;
                           else if (body && RecordCode(head) == REC_REG_ENTRY)
                               s.text = body->RegEntry.SubKey;
                           else if (body && RecordCode(head) == REC_INI_ENTRY)
                               s.text = body->IniEntry.FileName;
                           else if (body && RecordCode(head) == REC_CUSTOM_UNINSTALL)
                               s.text = body->CustomUninstall.Program;
                           else if (body)
                               s.text = body->File.Path;
                           seen.push_back(s);
                           return 1;
                       });
    if (result)
        *result = r;
    return seen;
}

// FNV-1a: a short fingerprint of a whole log, pinned below so that every build
// (native, 32- and 64-bit Windows) is seen to write the same bytes.
static uint64_t Fingerprint(const Bytes &bytes)
{
    uint64_t h = 14695981039346656037ull;
    for (uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

static const uint32_t kAllKnown = RecordMask(REC_APP) | RecordMask(REC_FILE) |
                                  RecordMask(REC_SYSTEM_FILE) | RecordMask(REC_DIRECTORY) |
                                  RecordMask(REC_REG_ENTRY) | RecordMask(REC_INI_ENTRY) |
                                  RecordMask(REC_CUSTOM_UNINSTALL);

TEST(LogHeader, AcceptsOnlyVersion384AndAWholeHeader)
{
    for (uint32_t version : {383u, 384u, 385u, 0u}) {
        InstallLogWriter log;
        log.SetVersion(version);
        log.SetFlags(LOGF_UNREGISTER);
        LogFile file(log.GetBytes());
        LogHeader header;
        EXPECT_EQ(ReadLogHeader(file.fd(), &header), version == 384 ? 1 : 0) << version;
        EXPECT_EQ(header.Version, version);
        EXPECT_EQ(header.Flags, (uint32_t)LOGF_UNREGISTER);
    }
    Bytes shortHeader = InstallLogWriter().GetBytes();
    shortHeader.resize(100);
    LogFile file(shortHeader);
    LogHeader header;
    EXPECT_EQ(ReadLogHeader(file.fd(), &header), 0);
}

TEST(LogHeader, FirstRecordOffsetFollowsTheImageOnlyWithoutLanguageFiles)
{
    LogHeader header;
    InstallLogWriter log;
    DecodeLogHeader(log.GetBytes().data(), &header);
    EXPECT_EQ(FirstRecordOffsetOf(header), 116u);

    log.SetLanguageImage(Bytes(5000, 0x5A));
    DecodeLogHeader(log.GetBytes().data(), &header);
    EXPECT_EQ(LanguageImageSize(header), 5000u);
    EXPECT_EQ(FirstRecordOffsetOf(header), 5116u);

    log.SetLanguageFiles(LANGF_FIRST_FILE | LANGF_SECOND_FILE);
    log.SetLanguageData(5000);   // a size here means nothing in language-file mode
    DecodeLogHeader(log.GetBytes().data(), &header);
    EXPECT_EQ(FirstRecordOffsetOf(header), 116u);
}

TEST(LogHeader, UnregistrationOnlyWithFlags2)
{
    EXPECT_FALSE(SkipUnregisterFromFlags(2));
    EXPECT_FALSE(SkipUnregisterFromFlags(2 | LOGF_LANGUAGE_FILES));
    for (uint32_t flags : {0u, 1u, 3u, 4u, 7u})
        EXPECT_TRUE(SkipUnregisterFromFlags(flags)) << flags;
}

TEST(RecordWalk, DecodesEveryKnownRecordInFileOrder)
{
    InstallLogWriter log;
    log.SetLanguageImage(Bytes(300, 0x11));
    log.AddApp("My App", "C:\\Apps\\My App\\");
    log.AddFile("C:\\Apps\\My App\\app.exe");
    log.AddSystemFile("C:\\Windows\\System\\velmor.dll");
    log.AddDirectory("C:\\Apps\\My App");
    log.AddRegEntry(2, "SOFTWARE\\Velmor", "Path");
    log.AddIniEntry(1, "velmor.ini", "Settings", "Key");
    log.AddCustomUninstall("C:\\Apps\\cleanup.exe", "/q");
    EXPECT_EQ(log.GetBytes().size(), 4212u);
    EXPECT_EQ(Fingerprint(log.GetBytes()), 18154622732457457324ull) << "the same log on every architecture";
    auto seen = Walk(log, kAllKnown);
    ASSERT_EQ(seen.size(), 7u);
    const char *texts[] = {"My App", "C:\\Apps\\My App\\app.exe", "C:\\Windows\\System\\velmor.dll",
                           "C:\\Apps\\My App", "SOFTWARE\\Velmor", "velmor.ini", "C:\\Apps\\cleanup.exe"};
    const uint8_t codes[] = {2, 3, 4, 5, 7, 8, 9};
    for (size_t i = 0; i < 7; i++) {
        EXPECT_EQ(seen[i].code, codes[i]);
        EXPECT_TRUE(seen[i].hasBody);
        EXPECT_EQ(seen[i].text, texts[i]);
    }
}

TEST(RecordWalk, AllFieldsOfTheWiderBodies)
{
    InstallLogWriter log;
    log.AddApp("Name", std::string(267, 'd'));
    log.AddRegEntry(3, "Sub", "");
    log.AddIniEntry(3, "C:\\x.ini", "Sec", std::string(523, 'k'));
    log.AddCustomUninstall("prog.exe", "/a /b");
    LogFile file(log.GetBytes());
    int n = 0;
    RecordWalk(file.fd(), 116, kAllKnown, [&](const RecordHead &, const RecordBody *b) {
        EXPECT_NE(b, nullptr);
        if (!b)
            return 0;
        switch (n++) {
        case 0: EXPECT_EQ(std::string(b->App.DestinationDir), std::string(267, 'd')); break;
        case 1:
            EXPECT_EQ(b->RegEntry.RootCode, 3);
            EXPECT_STREQ(b->RegEntry.ValueName, "");
            break;
        case 2:
            EXPECT_EQ(b->IniEntry.Location, 3u);
            EXPECT_STREQ(b->IniEntry.Section, "Sec");
            EXPECT_EQ(std::string(b->IniEntry.Key), std::string(523, 'k'));
            break;
        case 3: EXPECT_STREQ(b->CustomUninstall.Parameters, "/a /b"); break;
        }
        return 1;
    });
    EXPECT_EQ(n, 4);
}

TEST(RecordWalk, StepsOverUnhandledAndUnknownCodes)
{
    InstallLogWriter log;
    log.Add(6, Bytes(10, 0xEE));        // next head 18 bytes after this one
    log.AddFile("a");
    log.AddApp("skipped", "x");         // not asked for: stepped over by BodyLength
    log.Add(0, Bytes());
    log.Add(255, Bytes(3));
    log.AddFile("b");
    auto seen = Walk(log, RecordMask(REC_FILE));
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_FALSE(seen[0].hasBody);
    EXPECT_EQ(seen[1].text, "a");
    EXPECT_FALSE(seen[2].hasBody);
    EXPECT_FALSE(seen[3].hasBody);
    EXPECT_FALSE(seen[4].hasBody);
    EXPECT_EQ(seen[5].text, "b");
}

TEST(RecordWalk, OnlyTheLowByteOfTypeCounts)
{
    InstallLogWriter log;
    log.Add(0x103, InstallLogWriter::PathBody("high bytes ignored"));
    log.Add(0xFFFFFF05, InstallLogWriter::PathBody("dir"));
    auto seen = Walk(log, RecordMask(REC_FILE) | RecordMask(REC_DIRECTORY));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].code, REC_FILE);
    EXPECT_EQ(seen[0].type, 0x103u);
    EXPECT_EQ(seen[0].text, "high bytes ignored");
    EXPECT_EQ(seen[1].code, REC_DIRECTORY);
    EXPECT_TRUE(seen[1].hasBody);
}

TEST(RecordWalk, EmptyRecordAreaAndShortFinalHead)
{
    InstallLogWriter empty;
    int result = 0;
    EXPECT_TRUE(Walk(empty, kAllKnown, &result).empty());
    EXPECT_EQ(result, 1);

    InstallLogWriter log;
    log.AddFile("a");
    log.AddBytes(Bytes{3, 0, 0, 0, 4, 1, 0});   // seven bytes of a head
    EXPECT_EQ(Walk(log, kAllKnown, &result).size(), 1u);
    EXPECT_EQ(result, 1);
}

TEST(RecordWalk, VisitorCanStopTheWalk)
{
    InstallLogWriter log;
    log.AddFile("a");
    log.AddFile("b");
    LogFile file(log.GetBytes());
    int calls = 0;
    int result = RecordWalk(file.fd(), 116, kAllKnown, [&](const RecordHead &, const RecordBody *) {
        return ++calls < 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(calls, 1);
}

TEST(RecordWalk, EachWalkStartsAfreshWhereverTheDescriptorWas)
{
    InstallLogWriter log;
    log.AddFile("a");
    log.AddDirectory("d");
    LogFile file(log.GetBytes());
    for (int pass = 0; pass < 3; pass++) {
        int count = 0;
        RecordWalk(file.fd(), 116, kAllKnown, [&](const RecordHead &, const RecordBody *b) {
            count += b != NULL;
            _lseek(file.fd(), 3, SEEK_SET);   // a visitor that moves the descriptor
            return 1;
        });
        EXPECT_EQ(count, 2) << "pass " << pass;
    }
}

// Damaged logs: none of these may be read past a field, looped over or acted on.

TEST(RecordWalkDamage, TextWithoutNulIsNotActedOn)
{
    InstallLogWriter log;
    log.AddFile(std::string(260, 'p'));                   // fills the field, no NUL
    log.AddApp(std::string(80, 'n'), "dest");
    log.AddApp("name", std::string(268, 'd'));
    log.AddRegEntry(1, std::string(267, 's'), "v");
    log.AddRegEntry(1, "s", std::string(776, 'v'));
    log.AddIniEntry(0, std::string(260, 'f'), "s", "k");
    log.AddIniEntry(0, "f", std::string(260, 's'), "k");
    log.AddIniEntry(0, "f", "s", std::string(524, 'k'));
    log.AddCustomUninstall(std::string(260, 'p'), "");
    log.AddCustomUninstall("p", std::string(260, 'q'));
    log.AddFile(std::string(259, 'p'));                   // the longest that fits
    auto seen = Walk(log, kAllKnown);
    ASSERT_EQ(seen.size(), 11u);
    for (size_t i = 0; i + 1 < seen.size(); i++)
        EXPECT_FALSE(seen[i].hasBody) << "record " << i;
    EXPECT_TRUE(seen.back().hasBody);
    EXPECT_EQ(seen.back().text.size(), 259u);
}

TEST(RecordWalkDamage, RootOrLocationAbove3IsSkipped)
{
    InstallLogWriter log;
    for (uint8_t root : {0, 3, 4, 255})
        log.AddRegEntry(root, "k", "v");
    for (uint32_t location : {0u, 3u, 4u, 0x100u})
        log.AddIniEntry(location, "f", "s", "k");
    auto seen = Walk(log, kAllKnown);
    ASSERT_EQ(seen.size(), 8u);
    const bool expected[] = {true, true, false, false, true, true, false, false};
    for (size_t i = 0; i < 8; i++)
        EXPECT_EQ(seen[i].hasBody, expected[i]) << "record " << i;
    EXPECT_TRUE(IsValidRootCode(3));
    EXPECT_FALSE(IsValidIniLocation(4));
}

TEST(RecordWalkDamage, HugeOrPastTheEndBodyLengthEndsTheWalk)
{
    for (uint32_t length : {0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF8u, 269u, 1000u}) {
        InstallLogWriter log;
        log.AddFile("first");
        log.AddHead(6, length);           // only 268 bytes follow
        log.AddFile("unreachable");
        int result = 0;
        auto seen = Walk(log, kAllKnown, &result);
        ASSERT_EQ(seen.size(), 2u) << length;
        EXPECT_FALSE(seen[1].hasBody) << "visited, never acted on";
        EXPECT_EQ(result, 1) << length;
    }
    // A length that lands exactly on the end of the file is fine.
    InstallLogWriter log;
    log.AddHead(6, 268);
    log.AddFile("inside the unknown record");
    EXPECT_EQ(Walk(log, kAllKnown).size(), 1u);
}

TEST(RecordWalkDamage, BodyCutShortIsNotActedOn)
{
    InstallLogWriter log;
    log.AddFile("whole");
    Bytes body = InstallLogWriter::PathBody("cut");
    body.resize(100);
    log.AddHead(REC_FILE, 260);
    log.AddBytes(body);
    auto seen = Walk(log, kAllKnown);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "whole");
    EXPECT_FALSE(seen[1].hasBody);
}

TEST(RecordWalkDamage, KnownCodeWithWrongLengthKeepsEveryPassOnTheSameBoundaries)
{
    // A file record claiming 268 bytes: 260 of path and 8 that look like a head.
    Bytes body = InstallLogWriter::PathBody("odd");
    Bytes fake = {REC_FILE, 0, 0, 0, 0, 0, 0, 0};
    body.insert(body.end(), fake.begin(), fake.end());
    InstallLogWriter log;
    log.Add(REC_FILE, body);
    log.AddDirectory("d");
    for (uint32_t handled : {kAllKnown, RecordMask(REC_DIRECTORY)}) {
        auto seen = Walk(log, handled);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_FALSE(seen[0].hasBody);
        EXPECT_EQ(seen[1].code, REC_DIRECTORY);
        EXPECT_TRUE(seen[1].hasBody);
    }
}

TEST(RecordWalkDamage, BadStartOffsetIsRefused)
{
    InstallLogWriter log;
    log.AddFile("a");
    LogFile file(log.GetBytes());
    auto never = [](const RecordHead &, const RecordBody *) { return 1; };
    EXPECT_EQ(RecordWalk(file.fd(), -5, kAllKnown, never), -1);
    EXPECT_EQ(RecordWalk(file.fd(), 0x100000000LL, kAllKnown, never), -1);
    // Past the end: no head can be read, the walk is simply over.
    EXPECT_EQ(RecordWalk(file.fd(), 100000, kAllKnown, never), 1);
}

// The start-up refuses a log whose walk does not end cleanly at the end of the file.
TEST(RecordWalkDamage, CheckRecordAreaFindsEveryKindOfDamage)
{
    auto check = [](const InstallLogWriter &log) {
        LogFile file(log.GetBytes());
        return CheckRecordArea(file.fd(), log.FirstRecordOffset());
    };
    InstallLogWriter sound;
    EXPECT_EQ(1, check(sound)) << "no records at all";
    sound.AddApp("App", std::string(APP_DESTINATION_MAX, 'd'));
    sound.AddFile("C:\\a");
    sound.Add(6, Bytes(10));
    sound.AddCustomUninstall("C:\\p.exe", "");
    EXPECT_EQ(1, check(sound));

    std::vector<InstallLogWriter> damaged(7, sound);
    damaged[0].AddBytes(Bytes{3, 0, 0});                  // head cut short
    damaged[1].AddHead(REC_FILE, 260);                    // body cut short
    damaged[1].AddBytes(Bytes(100, 'p'));
    damaged[2].AddHead(6, 1000);                          // length past the end
    damaged[3].AddApp("App", std::string(APP_DESTINATION_MAX + 1, 'd'));
    damaged[4].AddRegEntry(4, "k", "v");                  // root outside the table
    damaged[5].AddIniEntry(4, "f", "s", "k");             // location outside the table
    damaged[6].Add(REC_FILE, Bytes(300, 0));              // known record, wrong length
    for (size_t i = 0; i < damaged.size(); i++)
        EXPECT_EQ(0, check(damaged[i])) << "case " << i;
}

// Which recorded paths the removal may act on: anything relative acts on whatever
// folder the uninstaller runs in, and a device name is no file of ours.
TEST(RecordPath, OnlyFullPathsWithoutDeviceNamesAct)
{
    const struct { const char *path; int full, device; } cases[] = {
        {"C:\\App\\a.txt", 1, 0},      {"z:\\", 1, 0},                {"\\\\srv\\share\\a.txt", 1, 0},
        {"\\\\srv\\share", 1, 0},      {"rel.txt", 0, 0},             {"C:a.txt", 0, 0},
        {"..\\x.txt", 0, 0},           {".", 0, 0},                   {"..", 0, 0},
        {"C:", 0, 0},                  {"\\x.txt", 0, 0},             {"", 0, 0},
        {"C:/App/a.txt", 0, 0},        {"\\\\srv", 0, 0},             {"\\\\srv\\", 0, 0},
        {"\\\\.\\C:\\a.txt", 0, 0},      {"\\\\?\\C:\\a.txt", 0, 0},      {"1:\\a.txt", 0, 0},
        {"CON", 0, 1},                 {"nul", 0, 1},                 {"aux.txt", 0, 1},
        {"C:\\App\\COM1", 1, 1},       {"C:\\App\\lpt9.log", 1, 1},   {"C:\\con\\a.txt", 1, 1},
        {"C:\\App\\Prn .txt", 1, 1},   {"C:\\App\\conin$", 1, 1},     {"C:\\App\\CONOUT$", 1, 1},
        {"C:\\App\\clock$", 1, 1},     {"C:\\App\\nul:", 1, 1},       {"C:\\App\\com\xB9", 1, 1},
        {"C:\\App\\COM0", 1, 1},       {"C:\\App\\lpt0.log", 1, 1},   {"C:\\App\\LPT\xB2.txt", 1, 1},
        {"C:\\App\\Com\xB3", 1, 1},     {"C:\\App\\com10", 1, 0},      {"C:\\App\\console.txt", 1, 0},
        {"C:\\App\\lpt", 1, 0},        {"C:\\App\\auxiliary", 1, 0},  {"C:\\App\\my.aux", 1, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.full, IsFullPath(c.path)) << c.path;
        EXPECT_EQ(c.device, NamesDevice(c.path)) << c.path;
        EXPECT_EQ(c.full && !c.device, IsActionablePath(c.path)) << c.path;
    }
    EXPECT_FALSE(IsActionablePath("C:\\App\\..\\..\\Windows\\win.ini"));
    // A root is full and actionable, but no record may remove it.
    for (const char *root : {"C:\\", "z:\\\\", "\\\\srv\\share", "\\\\srv\\share\\"})
        EXPECT_TRUE(IsRootPath(root) && !IsRemovablePath(root)) << root;
    for (const char *below : {"C:\\a", "\\\\srv\\share\\a"})
        EXPECT_TRUE(!IsRootPath(below) && IsRemovablePath(below)) << below;
    EXPECT_FALSE(IsActionablePath("C:\\App\\.\\a.txt"));
    EXPECT_TRUE(IsActionablePath("C:\\App\\..a\\.b"));
}

TEST(RecordPath, ModulesByExtensionOnly)
{
    EXPECT_TRUE(IsModulePath("c:\\app\\server.dll"));
    EXPECT_TRUE(IsModulePath("C:\\App\\Tool.OCX"));
    EXPECT_FALSE(IsModulePath("c:\\app\\data.dll.bak"));
    EXPECT_FALSE(IsModulePath("c:\\app.dll\\readme.txt"));
    EXPECT_FALSE(IsModulePath("dll"));
}

// The new "NUL=" line joins the [Rename] section after its last line; every other
// line of the file stays where it was.
TEST(WininitSection, NewLineGoesAtTheEndOfTheRenameSection)
{
    const struct { const char *text; bool found; const char *before; } cases[] = {
        {"", false, ""},
        {"[Other]\r\na=1\r\n", false, "[Other]\r\na=1\r\n"},
        {"[rename]\r\nNUL=C:\\A.TXT\r\n", true, "[rename]\r\nNUL=C:\\A.TXT\r\n"},
        {"[Rename]\r\nNUL=C:\\A\r\n\r\n[Next]\r\nb=2\r\n", true, "[Rename]\r\nNUL=C:\\A\r\n"},
        {"a=0\n  [RENAME]  \nC:\\N=C:\\O\n[x]\n", true, "a=0\n  [RENAME]  \nC:\\N=C:\\O\n"},
        {"[Rename]\r\nNUL=C:\\A", true, "[Rename]\r\nNUL=C:\\A"},
        {"[Renamed]\r\nx=1\r\n", false, "[Renamed]\r\nx=1\r\n"},
    };
    for (const auto &c : cases) {
        int found = -1;
        size_t at = RenameSectionEnd(c.text, strlen(c.text), &found);
        EXPECT_EQ(c.found, found != 0) << c.text;
        EXPECT_EQ(std::string(c.before), std::string(c.text, at)) << c.text;
    }
}
