// SfxBuildTest.cpp -- whole builds under Wine: the output byte for byte, each failure, and a clean temp folder.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "Compressor.h"
#include "SfxArchive.h"
#include "SfxBuild.h"
#include "SfxChecksum.h"
#include "SfxFormat.h"
#include "SfxSettings.h"
#include "SystemTest.h"

namespace {

typedef std::vector<uint8_t> Bytes;

std::string ExeDir()
{
    char sz[MAX_PATH];
    GetModuleFileNameA(NULL, sz, sizeof(sz));
    *strrchr(sz, '\\') = '\0';
    return sz;
}

void Put(const std::string &path, const Bytes &data)
{
    ASSERT_TRUE(WriteTextFile(path, std::string(data.begin(), data.end()))) << path;
}

Bytes Get(const std::string &path)
{
    std::string data = ReadWholeFile(path);
    return Bytes(data.begin(), data.end());
}

Bytes Text(const char *s)
{
    return Bytes(s, s + strlen(s));
}

Bytes Pattern(size_t n, uint32_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++) {
        seed = seed * 1103515245u + 12345u;
        b[i] = (uint8_t)(seed >> 16);
    }
    return b;
}

std::vector<std::string> FilesIn(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

bool Inflate(const uint8_t *data, size_t size, Bytes *out)
{
    std::string bytes;
    bool whole = InflateBlock(data, size, &bytes);
    out->assign(bytes.begin(), bytes.end());
    return whole;
}

Bytes Record(const char *name, const Bytes &contents)
{
    Bytes r(SFX_ENTRY_HEAD_SIZE, 0);
    memcpy(r.data(), name, strlen(name));
    uint32_t n = (uint32_t)contents.size();
    for (int i = 0; i < 4; i++)
        r[260 + i] = (uint8_t)(n >> (8 * i));
    r.insert(r.end(), contents.begin(), contents.end());
    return r;
}

// What a finished output holds, taken apart by the offsets of the format.
struct Parsed {
    bool ok = false;
    Bytes stub;
    Bytes rawHeader;
    SfxHeader header;
    Bytes packed;
    Bytes stream;
};

class SfxBuildTest : public ::testing::Test {
protected:
    std::string root, temp, work, src;
    std::string oldCwd;
    char oldTmp[MAX_PATH] = "", oldTemp[MAX_PATH] = "";
    Bytes stub;

    void SetUp() override
    {
        char sz[MAX_PATH];
        GetTempPathA(sizeof(sz), sz);
        static int serial;
        snprintf(sz + strlen(sz), sizeof(sz) - strlen(sz), "sfxbuild-%lu-%d", GetCurrentProcessId(), ++serial);
        root = sz;
        DeleteTree(root);
        temp = root + "\\temp";
        work = root + "\\work";
        src = root + "\\src";
        for (const std::string &d : {root, temp, work, src, src + "\\two"})
            ASSERT_TRUE(CreateDirectoryA(d.c_str(), NULL)) << d;

        // Every temporary file of the build and of the compressor it starts lands
        // in a folder of our own, so that "nothing left behind" can be checked exactly.
        GetEnvironmentVariableA("TMP", oldTmp, sizeof(oldTmp));
        GetEnvironmentVariableA("TEMP", oldTemp, sizeof(oldTemp));
        SetEnvironmentVariableA("TMP", temp.c_str());
        SetEnvironmentVariableA("TEMP", temp.c_str());
        GetCurrentDirectoryA(sizeof(sz), sz);
        oldCwd = sz;
        SetCurrentDirectoryA(work.c_str());

        stub = Text("MZ-this-stands-in-for-the-loader-stub-");
        Bytes tail = Pattern(3000, 7);
        stub.insert(stub.end(), tail.begin(), tail.end());
        Put(work + "\\pelstub.bin", stub);

        SetDefaultSfxSettings(&settings);
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(oldCwd.c_str());
        SetEnvironmentVariableA("TMP", oldTmp[0] ? oldTmp : NULL);
        SetEnvironmentVariableA("TEMP", oldTemp[0] ? oldTemp : NULL);
        DeleteTree(root);
    }

    void SetFile(int slot, const std::string &path)
    {
        lstrcpynA(settings.files[slot], path.c_str(), sizeof(settings.files[slot]));
    }

    void ExpectNoTempFilesLeft()
    {
        std::vector<std::string> left = FilesIn(temp);
        EXPECT_TRUE(left.empty()) << left.size() << " left, first " << (left.empty() ? "" : left[0]);
    }

    Parsed Open(const std::string &path)
    {
        Parsed p;
        Bytes all = Get(path);
        if (all.size() < stub.size() + SFX_HEADER_SIZE)
            return p;
        p.stub.assign(all.begin(), all.begin() + stub.size());
        p.rawHeader.assign(all.begin() + stub.size(), all.begin() + stub.size() + SFX_HEADER_SIZE);
        if (!SfxDecodeHeader(p.rawHeader.data(), p.rawHeader.size(), &p.header))
            return p;
        p.packed.assign(all.begin() + stub.size() + SFX_HEADER_SIZE, all.end());
        p.ok = Inflate(p.packed.data(), p.packed.size(), &p.stream);
        return p;
    }

    // Runs sfxdemo.exe copied into a folder of its own, so that the compressor
    // it finds is the one the test put beside it (or none).
    int BuildInSeparateProcess(const char *compressorFixture)
    {
        std::string tool = root + "\\tool";
        CreateDirectoryA(tool.c_str(), NULL);
        std::string bin = ExeDir();
        CopyFileA((bin + "\\sfxdemo.exe").c_str(), (tool + "\\sfxdemo.exe").c_str(), FALSE);
        if (compressorFixture)
            CopyFileA((bin + "\\" + compressorFixture).c_str(), (tool + "\\KANTOR.EXE").c_str(), FALSE);

        std::string ini = root + "\\settings.ini";
        WritePrivateProfileStringA("sfx", "outputFile", settings.outputFile, ini.c_str());
        for (int i = 0; i < SFX_MAX_FILES && settings.files[i][0]; i++) {
            char key[16];
            snprintf(key, sizeof(key), "file%d", i);
            WritePrivateProfileStringA("sfx", key, settings.files[i], ini.c_str());
        }
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());

        std::string cmd = "\"" + tool + "\\sfxdemo.exe\" \"" + ini + "\"";
        STARTUPINFOA si;
        memset(&si, 0, sizeof(si));
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi;
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, work.c_str(), &si, &pi))
            return -1;
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 0xDEAD;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return (int)code;
    }

    // The wizard's build, with the stub in the work folder and the compressor
    // the test names; what a refusal said lands in error.
    bool Build() { return BuildSfx(&settings, (work + "\\pelstub.bin").c_str(), kantor.c_str(), &error) != 0; }

    SfxSettingsRecord settings;
    std::string kantor = ExeDir() + "\\KANTOR.EXE";
    BuildError error;
};

TEST_F(SfxBuildTest, OutputIsStubHeaderAndPackedBlockByteForByte)
{
    Bytes readme = Text("Read me first.\r\n");
    Bytes blob = Pattern(200000, 42);
    Put(src + "\\readme.txt", readme);
    Put(src + "\\empty.dat", Bytes());
    Put(src + "\\two\\blob.bin", blob);
    Put(src + "\\two\\notes.txt", Text("second"));
    SetFile(0, src + "\\readme.txt");
    SetFile(1, src + "\\empty.dat");
    SetFile(2, src + "\\two\\blob.bin");
    SetFile(3, src + "\\two\\notes.txt");
    strcpy(settings.appName, "Velmor Demo");
    settings.showDialog = 0;
    settings.destKind = 2;
    strcpy(settings.customDest, "Velmor\\Demo");
    settings.addProgramFiles = 1;
    strcpy(settings.launchFile, "readme.txt");
    strcpy(settings.commandLine, "/a \"b c\"");
    settings.overwriteMode = 2;
    strcpy(settings.outputFile, "Out.exe");

    ASSERT_TRUE(Build());
    Parsed p = Open(work + "\\Out.exe");
    ASSERT_TRUE(p.ok);

    EXPECT_EQ(stub, p.stub);
    EXPECT_EQ(stub.size() + SFX_HEADER_SIZE + p.header.packedSize, Get(work + "\\Out.exe").size());
    EXPECT_EQ(p.packed.size(), p.header.packedSize);
    EXPECT_EQ(1u, p.header.packedFlag);
    EXPECT_EQ(SfxChecksum(0, p.packed.data(), p.packed.size()), p.header.packedCrc);

    SfxHeader want;
    SfxInitHeader(&want);
    want.packedFlag = 1;
    want.packedSize = p.header.packedSize;
    want.packedCrc = p.header.packedCrc;
    want.showDialog = 0;
    want.addProgramFiles = 1;
    strcpy(want.destination, "Velmor\\Demo");
    strcpy(want.launchFile, "readme.txt");
    strcpy(want.commandLine, "/a \"b c\"");
    strcpy(want.appName, "Velmor Demo");
    want.moduleType = 0;
    want.overwriteMode = 2;
    Bytes wantRaw(SFX_HEADER_SIZE);
    SfxEncodeHeader(&want, wantRaw.data());
    EXPECT_EQ(wantRaw, p.rawHeader);

    // Slot order, names without their folder, and the empty file with no content bytes.
    Bytes stream = Record("readme.txt", readme);
    for (const Bytes &r : {Record("empty.dat", Bytes()), Record("blob.bin", blob), Record("notes.txt", Text("second"))})
        stream.insert(stream.end(), r.begin(), r.end());
    EXPECT_EQ(stream, p.stream);
    ExpectNoTempFilesLeft();
}

TEST_F(SfxBuildTest, NoFilesStillGivesACompleteOutput)
{
    strcpy(settings.outputFile, "Empty.exe");
    ASSERT_TRUE(Build());
    Parsed p = Open(work + "\\Empty.exe");
    ASSERT_TRUE(p.ok) << "the compressor's output for empty input is a valid stream";
    EXPECT_TRUE(p.stream.empty());
    EXPECT_GT(p.header.packedSize, 0u);
    EXPECT_EQ(stub.size() + SFX_HEADER_SIZE + p.header.packedSize, Get(work + "\\Empty.exe").size());
    ExpectNoTempFilesLeft();
}

TEST_F(SfxBuildTest, DestinationKindsAndTheProgramFilesFlag)
{
    struct Case {
        int kind;
        const char *custom;
        int moduleType;
        uint8_t firstByte;
        uint32_t addProgramFiles;
    } cases[] = {
        {0, "Ignored", 1, 0x00, 0},        // setup module (with its program): temporary directory
        {1, "Ignored", 0, 0xFF, 0},        // current directory keeps the flag off
        {2, "", 0, 0x00, 0},               // an empty custom text stores nothing
        {2, "C:\\Velmor", 0, 'C', 1},
    };
    for (const Case &c : cases) {
        settings.destKind = c.kind;
        strcpy(settings.customDest, c.custom);
        settings.addProgramFiles = 1;
        settings.moduleType = c.moduleType;
        strcpy(settings.launchFile, c.moduleType == SFX_MODULE_SETUP ? "setup.exe" : "");
        ASSERT_TRUE(Build());
        Parsed p = Open(work + "\\MySFX.EXE");
        ASSERT_TRUE(p.ok);
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(c.firstByte, p.rawHeader[24]);
        if (c.kind != 2) {
            EXPECT_TRUE(std::all_of(p.rawHeader.begin() + 25, p.rawHeader.begin() + 284, [](uint8_t b) { return b == 0; }));
        }
        EXPECT_EQ(c.addProgramFiles, p.header.addProgramFiles);
        EXPECT_EQ((uint32_t)c.moduleType, p.header.moduleType);
    }
    // Defaults a first-time user builds with.
    SetDefaultSfxSettings(&settings);
    ASSERT_TRUE(Build());
    Parsed p = Open(work + "\\MySFX.EXE");
    EXPECT_STREQ("My Application", p.header.appName);
    EXPECT_EQ(1u, p.header.showDialog);
    EXPECT_EQ(3u, p.header.overwriteMode);
    EXPECT_EQ(0, p.header.launchFile[0]);
}

TEST_F(SfxBuildTest, ExistingOutputIsReplacedAndStampedNow)
{
    Put(work + "\\MySFX.EXE", Pattern(500000, 3));
    FILETIME before, after, created, accessed, written;
    GetSystemTimeAsFileTime(&before);
    ASSERT_TRUE(Build());
    GetSystemTimeAsFileTime(&after);
    // Times first: reading the contents would move the last-access time.
    HANDLE h = CreateFileA((work + "\\MySFX.EXE").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    GetFileTime(h, &created, &accessed, &written);
    CloseHandle(h);
    Parsed p = Open(work + "\\MySFX.EXE");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(stub.size() + SFX_HEADER_SIZE + p.header.packedSize, Get(work + "\\MySFX.EXE").size());
    EXPECT_EQ(0, CompareFileTime(&created, &written));
    EXPECT_EQ(0, CompareFileTime(&accessed, &written));
    // The system time taken in the build lies between the two readings (allow
    // a second of coarse clock either way).
    ULARGE_INTEGER lo, hi, t;
    lo.LowPart = before.dwLowDateTime, lo.HighPart = before.dwHighDateTime;
    hi.LowPart = after.dwLowDateTime, hi.HighPart = after.dwHighDateTime;
    t.LowPart = written.dwLowDateTime, t.HighPart = written.dwHighDateTime;
    EXPECT_GE(t.QuadPart + 10000000ull, lo.QuadPart);
    EXPECT_LE(t.QuadPart, hi.QuadPart + 10000000ull);
}

TEST_F(SfxBuildTest, ListedFileThatIsGoneIsRefusedBeforeAnythingIsWritten)
{
    Put(src + "\\a.txt", Text("A"));
    Put(src + "\\gone.txt", Text("G"));
    SetFile(0, src + "\\a.txt");
    SetFile(1, src + "\\gone.txt");
    SetFile(2, "no-folder-part.txt");  // relative to the current directory, which lacks it
    DeleteFileA((src + "\\gone.txt").c_str());
    EXPECT_FALSE(Build());
    EXPECT_EQ(BUILD_UNREADABLE, error.problem);
    EXPECT_EQ(src + "\\gone.txt", error.text);
    EXPECT_FALSE(PathExists(work + "\\MySFX.EXE"));
    ExpectNoTempFilesLeft();
}

TEST_F(SfxBuildTest, FailuresLeaveNoTemporaryFiles)
{
    Put(src + "\\a.txt", Text("A"));
    SetFile(0, src + "\\a.txt");

    // No stub in the current directory: fails before the output exists.
    DeleteFileA((work + "\\pelstub.bin").c_str());
    EXPECT_FALSE(Build());
    EXPECT_FALSE(PathExists(work + "\\MySFX.EXE"));
    ExpectNoTempFilesLeft();
    Put(work + "\\pelstub.bin", stub);

    // An output folder that does not exist.
    strcpy(settings.outputFile, "missing\\Out.exe");
    EXPECT_FALSE(Build());
    EXPECT_FALSE(PathExists(work + "\\missing"));
    ExpectNoTempFilesLeft();
    strcpy(settings.outputFile, "MySFX.EXE");

    // The output may not be the stub it is made from.
    strcpy(settings.outputFile, "PelStub.Bin");
    EXPECT_FALSE(Build());
    EXPECT_EQ(stub, Get(work + "\\pelstub.bin"));
    ExpectNoTempFilesLeft();
    strcpy(settings.outputFile, "MySFX.EXE");

    // Temporary paths so long that the compressor's command line can't fit in
    // its 260 bytes: the build refuses instead of running a cut command.
    std::string deep = temp + "\\" + std::string(110, 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    SetEnvironmentVariableA("TMP", deep.c_str());
    EXPECT_FALSE(Build());
    EXPECT_FALSE(PathExists(work + "\\MySFX.EXE"));
    EXPECT_TRUE(FilesIn(deep).empty());
    SetEnvironmentVariableA("TMP", temp.c_str());
    RemoveDirectoryA(deep.c_str());

    // A stub that is a folder can't be read.
    DeleteFileA((work + "\\pelstub.bin").c_str());
    CreateDirectoryA((work + "\\pelstub.bin").c_str(), NULL);
    EXPECT_FALSE(Build());
    ExpectNoTempFilesLeft();
}

TEST_F(SfxBuildTest, CompressorMissingOrReportingFailure)
{
    Put(src + "\\a.txt", Text("A"));
    SetFile(0, src + "\\a.txt");

    EXPECT_EQ(1, BuildInSeparateProcess(NULL)) << "no KANTOR.EXE anywhere on the search path";
    EXPECT_FALSE(PathExists(work + "\\MySFX.EXE"));
    ExpectNoTempFilesLeft();

    EXPECT_EQ(1, BuildInSeparateProcess("FakeKantor.exe")) << "output written but exit code 0";
    EXPECT_FALSE(PathExists(work + "\\MySFX.EXE"));
    ExpectNoTempFilesLeft();

    // A crash, or a block that does not expand to the work stream, fails the
    // build whatever the exit code claims.
    for (const char *mode : {"cut", "crash", "other"}) {
        SCOPED_TRACE(mode);
        SetEnvironmentVariableA("ZX_FAKE_KANTOR", mode);
        EXPECT_EQ(1, BuildInSeparateProcess("FakeKantor.exe"));
        EXPECT_FALSE(PathExists(work + "\\MySFX.EXE"));
        ExpectNoTempFilesLeft();
    }
    SetEnvironmentVariableA("ZX_FAKE_KANTOR", NULL);

    // The same driver beside the real compressor succeeds, so the two failures
    // above come from the compressor and not from the driver.
    EXPECT_EQ(0, BuildInSeparateProcess("KANTOR.EXE"));
    EXPECT_TRUE(Open(work + "\\MySFX.EXE").ok);
    ExpectNoTempFilesLeft();
}

TEST_F(SfxBuildTest, OutputThatTheBuildNeedsOrReadsIsRefused)
{
    Put(src + "\\a.txt", Text("A"));
    SetFile(0, src + "\\a.txt");
    CopyFileA((ExeDir() + "\\KANTOR.EXE").c_str(), (work + "\\KANTOR.EXE").c_str(), FALSE);
    kantor = work + "\\KANTOR.EXE";
    Bytes kantorBytes = Get(kantor);
    char shortName[MAX_PATH] = "";
    GetShortPathNameA((src + "\\a.txt").c_str(), shortName, sizeof(shortName));
    std::string upper = src + "\\A.TXT";
    CharUpperA(&upper[0]);
    // Long names whose short forms end differently: one listed long and named
    // short as the output, one the other way round.
    std::string longB = src + "\\listed by its long name.text", longC = src + "\\listed by its short name.text";
    Put(longB, Text("B"));
    Put(longC, Text("C"));
    char shortB[MAX_PATH] = "", shortC[MAX_PATH] = "";
    GetShortPathNameA(longB.c_str(), shortB, sizeof(shortB));
    GetShortPathNameA(longC.c_str(), shortC, sizeof(shortC));
    ASSERT_STRNE(strrchr(shortB, '\\'), strrchr(longB.c_str(), '\\'));
    SetFile(1, longB);
    SetFile(2, shortC);
    for (std::string output : {src + "\\a.txt", upper, std::string(shortName), std::string("kantor.exe"),
                               std::string(".\\PELSTUB.BIN"), std::string(shortB), longC}) {
        SCOPED_TRACE(output);
        ASSERT_LT(output.size(), sizeof(settings.outputFile));
        strcpy(settings.outputFile, output.c_str());
        EXPECT_FALSE(Build());
        EXPECT_EQ(Text("A"), Get(src + "\\a.txt"));
        EXPECT_EQ(Text("B"), Get(longB));
        EXPECT_EQ(Text("C"), Get(longC));
        EXPECT_EQ(BUILD_OUTPUT_IS_READ, error.problem);
        EXPECT_EQ(kantorBytes, Get(kantor));
        EXPECT_EQ(stub, Get(work + "\\pelstub.bin"));
        ExpectNoTempFilesLeft();
    }
    // The compressor beside the program and the program itself, in a build of its own.
    for (const char *output : {"..\\tool\\KANTOR.EXE", "..\\TOOL\\sfxdemo.exe"}) {
        SCOPED_TRACE(output);
        strcpy(settings.outputFile, output);
        EXPECT_EQ(1, BuildInSeparateProcess("KANTOR.EXE"));
        EXPECT_EQ(kantorBytes, Get(root + "\\tool\\KANTOR.EXE"));
    }
    strcpy(settings.outputFile, "..\\tool\\Other.exe");
    EXPECT_EQ(0, BuildInSeparateProcess("KANTOR.EXE"));
}

TEST(SfxCompressorCommand, BlanksInTemporaryPathsReachTheCompressor)
{
    char sz[MAX_PATH];
    GetTempPathA(sizeof(sz), sz);
    std::string dir = std::string(sz) + "kantor blank test";
    CreateDirectoryA(dir.c_str(), NULL);
    std::string in = dir + "\\in put.txt", out = dir + "\\out put.z";
    Bytes data = Text("some text some text some text some text");
    Put(in, data);
    Put(out, Bytes());
    std::string kantor = ExeDir() + "\\KANTOR.EXE";
    EXPECT_NE(0u, RunCompressor(kantor.c_str(), in.c_str(), out.c_str()));
    Bytes packed = Get(out), back;
    EXPECT_TRUE(Inflate(packed.data(), packed.size(), &back));
    EXPECT_EQ(data, back);

    EXPECT_EQ(0u, RunCompressor(kantor.c_str(), (dir + "\\not there.txt").c_str(), out.c_str())) << "missing input";
    EXPECT_EQ(0u, RunHiddenAndWait(NULL, "no-such-program-anywhere.exe"));
    DeleteFileA(in.c_str());
    DeleteFileA(out.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(SfxCompressorCommand, InputOfManyBlocksComesBackWholeAndInOrder)
{
    // More 1 MB blocks than the compressor keeps in memory, of text and of noise, so
    // that its threads finish them out of order; and a whole number of blocks.
    char sz[MAX_PATH];
    GetTempPathA(sizeof(sz), sz);
    std::string in = std::string(sz) + "kantor-blocks.in", out = std::string(sz) + "kantor-blocks.z";
    for (size_t size : {(size_t)2 << 20, ((size_t)9 << 20) + 1}) {
        Bytes data;
        for (uint32_t part = 0; data.size() < size; part++) {
            Bytes piece = Pattern(part % 3 ? 300000 : 700000, part);
            if (part % 3 == 0)  // eight letters: slow to deflate, unlike the noise
                for (uint8_t &c : piece)
                    c = 'a' + c % 8;
            data.insert(data.end(), piece.begin(), piece.end());
        }
        data.resize(size);
        Put(in, data);
        Put(out, Bytes());
        EXPECT_NE(0u, RunCompressor((ExeDir() + "\\KANTOR.EXE").c_str(), in.c_str(), out.c_str())) << size;
        Bytes packed = Get(out), back;
        EXPECT_TRUE(Inflate(packed.data(), packed.size(), &back)) << size;
        EXPECT_TRUE(data == back) << size << " in, " << back.size() << " out";
    }
    DeleteFileA(in.c_str());
    DeleteFileA(out.c_str());
}

}  // namespace
