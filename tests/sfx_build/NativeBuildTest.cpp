// NativeBuildTest.cpp -- the native broltbuild run as a CI job runs it: the shared table of bad settings, what a Linux folder holds, the same bytes twice.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BadSettingsTable.h"
#include "BuildNames.h"
#include "SfxArchive.h"

namespace {

std::string Read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string &path, const std::string &data)
{
    std::ofstream(path, std::ios::binary) << data;
}

std::vector<std::string> Names(const std::string &dir)
{
    std::vector<std::string> names;
    std::string out;
    FILE *p = popen(("ls -A '" + dir + "'").c_str(), "r");
    char line[512];
    while (p && fgets(line, sizeof(line), p)) {
        line[strcspn(line, "\n")] = '\0';
        names.push_back(line);
    }
    if (p)
        pclose(p);
    return names;
}

struct Outcome {
    int code;
    std::string out, err;
};

class NativeBuild : public ::testing::Test {
protected:
    std::string work;
    std::string stub;

    void SetUp() override
    {
        char dir[] = "/tmp/zxnative-XXXXXX";
        ASSERT_TRUE(mkdtemp(dir));
        work = dir;
        stub = "MZ-the-stub-";
        stub += std::string(5000, 'S');
        Write(work + "/stub.bin", stub);
    }

    void TearDown() override { (void)!system(("rm -rf '" + work + "'").c_str()); }

    Outcome Build(const std::string &arguments, const std::string &folder = "")
    {
        Outcome r;
        std::string cmd = "cd '" + work + folder + "' && '" ZX_BROLTBUILD "' " + arguments + " >'" + work + "/.out' 2>'" +
                          work + "/.err'";
        int status = system(cmd.c_str());
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Read(work + "/.out");
        r.err = Read(work + "/.err");
        unlink((work + "/.out").c_str());
        unlink((work + "/.err").c_str());
        return r;
    }

    void MakeFolder(const std::string &dir) { ASSERT_EQ(0, mkdir((work + "/" + dir).c_str(), 0755)) << dir; }
};

TEST_F(NativeBuild, EachBadInputGivesBroltBuildsMessageAndExitCodeAndLeavesNothingBehind)
{
    MakeFolder("docs");
    MakeFolder("out");
    Write(work + "/a.txt", "a");
    Write(work + "/docs/A.TXT", "A");
    Write(work + "/out/Old.exe", "the previous build");
    ASSERT_EQ(0, link((work + "/stub.bin").c_str(), (work + "/stub-link.exe").c_str()));
    ASSERT_EQ(0, link((work + "/a.txt").c_str(), (work + "/out/a-link.exe").c_str()));
    MakeFolder("odd");
    Write(work + "/odd/\xE5\x90\x8D.txt", "a name Windows-1252 lacks");
    MakeFolder("fifo");
    ASSERT_EQ(0, mkfifo((work + "/fifo/pipe.txt").c_str(), 0600));
    std::string ini = work + "/b.ini";
    const std::string good = "[Sfx]\nOutput = out\\Old.exe\n[Files]\na.txt\n";

    struct Case {
        std::string what, settings, arguments;
        int code;
        std::string message;
    };
    std::vector<Case> cases;
    for (const BadSettingsCase &c : kBadSettings)
        cases.push_back({c.what, BadSettingsText(c), "--stub stub.bin b.ini", c.code,
                         BadSettingsMessage(c, ini, work, "/")});
    // What only a Linux folder holds, and the stub of its own choosing.
    cases.push_back({"no argument", good, "", 1, "Usage: broltbuild [--stub <file>] <settings.ini>"});
    cases.push_back({"a stub that is not there", good, "--stub nostub.bin b.ini", 2,
                     "The build failed: the stub " + work + "/nostub.bin can't be read"});
    cases.push_back({"output that is the stub by another name", "[Sfx]\nOutput = stub-link.exe\n",
                     "--stub stub.bin b.ini", 1, ini + ", line 2, Output: \"stub-link.exe\" is a file this build reads"});
    cases.push_back({"output that is a listed file by another name", "[Sfx]\nOutput = out/a-link.exe\n[Files]\na.txt\n",
                     "--stub stub.bin b.ini", 1, ini + ", line 2, Output: \"out/a-link.exe\" is a file this build reads"});
    cases.push_back({"a name Windows-1252 can't write", good + "odd\\*.TXT\n", "--stub stub.bin b.ini", 1,
                     ini + ", line 5, [Files]: \"" + work + "/odd/\xE5\x90\x8D.txt\" has a name the self-extractor refuses"});
    cases.push_back({"a pipe", good + "fifo\\pipe.txt\n", "--stub stub.bin b.ini", 1,
                     ini + ", line 5, [Files]: \"" + work + "/fifo/pipe.txt\" can't be read"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Write(ini, c.settings);
        Outcome r = Build(c.arguments);
        EXPECT_EQ(c.code, r.code);
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
        EXPECT_EQ("the previous build", Read(work + "/out/Old.exe"));
        EXPECT_EQ((std::vector<std::string>{"Old.exe", "a-link.exe"}), Names(work + "/out"));
        EXPECT_EQ(stub, Read(work + "/stub.bin"));
        EXPECT_EQ("a", Read(work + "/a.txt"));
        for (const std::string &name : Names(work))
            EXPECT_TRUE(name.find(".tmp") == std::string::npos && name != "MySFX.EXE") << name;
    }
}

// Patterns without case in either separator, names in Windows-1252, folders
// left out; the same bytes from a copy in another folder with other times.
TEST_F(NativeBuild, ALinuxFolderGivesTheRecordsBroltBuildWouldStoreAndTheSameBytesAnywhere)
{
    MakeFolder("one");
    MakeFolder("one/src");
    MakeFolder("one/src/sub.txt");
    std::string noise(3 << 20, '\0');  // blocks for both threads, out of order
    for (size_t i = 0; i < noise.size(); i++)
        noise[i] = (char)((i * 2654435761u) >> (i % 5 + 11));
    Write(work + "/one/src/b.TXT", "bee");
    Write(work + "/one/src/caf\xC3\xA9.txt", "accent");
    Write(work + "/one/src/.hidden.txt", "dot");
    Write(work + "/one/src/A.txt", "ay");
    Write(work + "/one/src/skip.dat", "not matched");
    Write(work + "/one/noise.bin", noise);
    Write(work + "/one/b.ini",
          "[Sfx]\r\nAppName = Linux\r\nDestination = custom\r\nCustomFolder = C:\\Velmor\r\nLaunch = a.txt\r\n"
          "Output = ..\\one\\Out.exe\r\nOverwrite = none\r\n[Files]\r\nsrc\\*.txt\r\n\"noise.bin\"\r\n");
    Outcome r = Build("--stub stub.bin one/b.ini");
    ASSERT_EQ(0, r.code) << r.out << r.err;
    EXPECT_EQ("", r.err);
    EXPECT_NE(std::string::npos, r.out.find("line 9: src\\*.txt: 4 files, 1 folders left out")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Built " + work + "/one/Out.exe\n  files      5\n  bytes in   " +
                                            std::to_string(noise.size() + 3 + 6 + 3 + 2)))
        << r.out;

    std::string built = Read(work + "/one/Out.exe");
    SfxArchive archive;
    std::string why;
    ASSERT_TRUE(TakeApartSfx(built, stub.size(), &archive, &why)) << why;
    EXPECT_EQ(0, built.compare(0, stub.size(), stub));
    EXPECT_STREQ("Linux", archive.header.appName);
    EXPECT_STREQ("C:\\Velmor", archive.header.destination);
    EXPECT_STREQ("a.txt", archive.header.launchFile);
    EXPECT_EQ((uint32_t)SFX_OVERWRITE_NONE, archive.header.overwriteMode);
    std::vector<std::string> names;
    for (const ArchivedFile &f : archive.files)
        names.push_back(f.name);
    EXPECT_EQ((std::vector<std::string>{".hidden.txt", "A.txt", "b.TXT", "caf\xE9.txt", "noise.bin"}), names);
    EXPECT_TRUE(archive.files[4].contents == noise);
    // Every byte after a stored name is zero: nothing of the builder's memory.
    std::string stream;
    ASSERT_TRUE(InflateBlock((const uint8_t *)built.data() + stub.size() + SFX_HEADER_SIZE,
                             built.size() - stub.size() - SFX_HEADER_SIZE, &stream));
    for (size_t at = 0, i = 0; i < archive.files.size(); at += SFX_ENTRY_HEAD_SIZE + archive.files[i++].contents.size())
        EXPECT_EQ(std::string(SFX_PATH_FIELD - archive.files[i].name.size(), '\0'),
                  stream.substr(at + archive.files[i].name.size(), SFX_PATH_FIELD - archive.files[i].name.size()))
            << archive.files[i].name;

    // Another folder, other file times, another current folder: the same bytes.
    ASSERT_EQ(0, system(("cp -r '" + work + "/one' '" + work + "/two' && touch -d 2001-02-03 '" + work +
                         "/two/src/A.txt' && rm '" + work + "/two/Out.exe'").c_str()));
    Write(work + "/two/b.ini", Read(work + "/one/b.ini").replace(Read(work + "/one/b.ini").find("..\\one"), 6, "..\\two"));
    r = Build("--stub ../stub.bin b.ini", "/two");
    ASSERT_EQ(0, r.code) << r.out << r.err;
    struct stat st;
    ASSERT_EQ(0, stat((work + "/two/Out.exe").c_str(), &st));
    EXPECT_EQ(st.st_atim.tv_sec, st.st_mtim.tv_sec) << "stamped once, as BroltBuild.exe stamps its output";
    EXPECT_TRUE(Read(work + "/two/Out.exe") == built);
}

// A build that fails says which file and line, keeps an earlier output its
// owner made read-only, and one whose log reader goes away still finishes.
TEST_F(NativeBuild, AFailureNamesItsCauseAndAClosedLogDoesNotStopTheBuild)
{
    MakeFolder("out");
    std::string slow(24 << 20, '\0');  // long enough to pack that a file can vanish meanwhile
    for (size_t i = 0; i < slow.size(); i++)
        slow[i] = (char)((i * 2654435761u) >> (i % 5 + 11));
    Write(work + "/slow.bin", slow);
    Write(work + "/gone.txt", "here at the checks");
    Write(work + "/out/Old.exe", "the previous build");
    Write(work + "/b.ini", "[Sfx]\nOutput = out\\Old.exe\n[Files]\nslow.bin\ngone.txt\n");
    auto leftovers = [&] {
        std::vector<std::string> tmp;
        for (const std::string &name : Names(work + "/out"))
            if (name != "Old.exe")
                tmp.push_back(name);
        return tmp;
    };

    ASSERT_EQ(0, chmod((work + "/out/Old.exe").c_str(), 0444));
    Outcome r = Build("--stub stub.bin b.ini");
    EXPECT_EQ(2, r.code);
    EXPECT_NE(std::string::npos, r.err.find("The build failed: " + work + "/out/Old.exe can't be replaced")) << r.err;
    EXPECT_TRUE(Read(work + "/out/Old.exe") == "the previous build");
    struct stat st;
    ASSERT_EQ(0, stat((work + "/out/Old.exe").c_str(), &st));
    EXPECT_EQ(0444u, st.st_mode & 0777);
    ASSERT_EQ(0, chmod((work + "/out/Old.exe").c_str(), 0644));

    // The file shrinks once packing has begun (held open since its check, it would outlive a delete).
    FILE *log = popen(("cd '" + work + "' && '" ZX_BROLTBUILD "' --stub stub.bin b.ini 2>.err").c_str(), "r");
    ASSERT_TRUE(log);
    char line[1024];
    while (fgets(line, sizeof(line), log) && strncmp(line, "Packing", 7) != 0) {
    }
    ASSERT_EQ(0, truncate((work + "/gone.txt").c_str(), 0));
    while (fgets(line, sizeof(line), log)) {
    }
    int status = pclose(log);
    EXPECT_EQ(2, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    EXPECT_NE(std::string::npos, Read(work + "/.err").find("The build failed: " + work + "/b.ini, line 5, [Files]: \"" +
                                                          work + "/gone.txt\" can't be read while packing (it changed while it was read)"))
        << Read(work + "/.err");
    EXPECT_TRUE(Read(work + "/out/Old.exe") == "the previous build");
    EXPECT_TRUE(leftovers().empty());

    Write(work + "/gone.txt", "back");
    std::string cmd = "cd '" + work + "' && '" ZX_BROLTBUILD "' --stub stub.bin b.ini 2>/dev/null | head -c 1 >/dev/null; "
                      "exit \\${PIPESTATUS[0]}";
    status = system(("bash -c \"" + cmd + "\"").c_str());
    EXPECT_EQ(0, WIFEXITED(status) ? WEXITSTATUS(status) : -1) << "a closed standard output";
    EXPECT_EQ(0, Read(work + "/out/Old.exe").compare(0, stub.size(), stub));
    EXPECT_TRUE(leftovers().empty());
}

TEST(BuildNames, WindowsLettersWithoutCaseAndPatternsAsWindowsMatchThem)
{
    EXPECT_EQ(0, BuildCompareNames("caf\xE9.TXT", "CAF\xC9.txt"));
    EXPECT_EQ(0, BuildCompareNames("\x9A\xFF", "\x8A\x9F"));
    EXPECT_LT(BuildCompareNames("a.txt", "B.txt"), 0);
    EXPECT_TRUE(BuildWildcardMatch("*.*", "README"));
    EXPECT_TRUE(BuildWildcardMatch("*.TXT", "notes.txt"));
    EXPECT_FALSE(BuildWildcardMatch("*.txt", "notes.txt1"));
    EXPECT_TRUE(BuildWildcardMatch("a?c*", "abc"));
    EXPECT_FALSE(BuildWildcardMatch("a?c", "ac"));
    EXPECT_TRUE(BuildWildcardMatch("*a*b*c", "xxaxxbxxbxc"));
    char out[16];
    EXPECT_TRUE(BuildUtf8To1252("\xE2\x82\xAC\xC3\xA9", out, sizeof(out)));
    EXPECT_STREQ("\x80\xE9", out);
    for (const char *refused : {"\xE5\x90\x8D", "\xC2\x81", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "0123456789abcdef"})
        EXPECT_FALSE(BuildUtf8To1252(refused, out, sizeof(out))) << refused;
}

}  // namespace
