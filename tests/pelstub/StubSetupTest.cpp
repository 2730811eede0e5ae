// StubSetupTest.cpp -- launching the archive's program: where, with what, and the Setup module's clean-up.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>
#include <stdio.h>

#include "StubTestSupport.h"
#include "UiTest.h"

namespace {

TestArchive WithRecorder(uint32_t module, const std::string &commandLine)
{
    TestArchive a;
    a.header.moduleType = module;
    a.files.push_back({"RecordLaunch.exe", ReadWholeFile("RecordLaunch.exe")});
    a.files.push_back({"payload.txt", "p"});
    a.SetText(a.header.launchFile, sizeof(a.header.launchFile), "RecordLaunch.exe");
    a.SetText(a.header.commandLine, sizeof(a.header.commandLine), commandLine);
    return a;
}

std::string RecordedValue(const std::string &record, const char *key)
{
    std::string text = ReadWholeFile(record);
    size_t at = text.find(std::string(key) + "=");
    if (at == std::string::npos)
        return "<none>";
    size_t end = text.find('\n', at);
    return text.substr(at + strlen(key) + 1, end - at - strlen(key) - 1);
}

// Wine keeps no access lists on files: it reports one made up from the Unix
// mode, whatever was set. There the list is checked natively (OwnFolder.*).
bool KeepsAccessLists(const std::string &folder)
{
    PSECURITY_DESCRIPTOR sd = NULL;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;FA;;;SY)", SDDL_REVISION_1, &sd, NULL);
    SECURITY_ATTRIBUTES sa = {sizeof(sa), sd, FALSE};
    std::string probe = folder + "\\acl-probe";
    CreateDirectoryA(probe.c_str(), &sa);
    LocalFree(sd);
    char back[1024];
    DWORD size = 0;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    bool kept = GetFileSecurityA(probe.c_str(), DACL_SECURITY_INFORMATION, back, sizeof(back), &size) &&
                GetSecurityDescriptorControl(back, &control, &revision) && (control & SE_DACL_PROTECTED);
    RemoveDirectoryA(probe.c_str());
    return kept;
}

}  // namespace

TEST(SetupModule, RunsTheProgramInAFreshFolderThenRemovesItAndPassesOnItsExitCode)
{
    ScratchFolder work("setup");
    LaunchRecord launch(work / "record.txt");
    const std::string &record = launch.path;
    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", WithRecorder(SFX_MODULE_SETUP, "alpha \"b c\" /exit:7")));
    std::vector<std::string> before = FolderNames(TempFolder(), "ZXS*");

    EXPECT_EQ(7u, RunSfx(work / "setup.exe", "/s"));
    std::string cwd = RecordedValue(record, "cwd");
    EXPECT_EQ(0u, cwd.find(TempFolder() + "\\ZXS")) << cwd;
    EXPECT_EQ("alpha \"b c\" /exit:7", RecordedValue(record, "args"));
    EXPECT_FALSE(FolderExists(cwd));
    EXPECT_EQ(before.size(), FolderNames(TempFolder(), "ZXS*").size());
}

// Only the files the stub wrote are deleted, also after a crash; what the
// program made itself is not the stub's to delete.
TEST(SetupModule, CleansUpAfterACrashedProgramAndLeavesTheProgramsOwnFiles)
{
    ScratchFolder work("crash");
    LaunchRecord launch(work / "record.txt");
    const std::string &record = launch.path;
    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", WithRecorder(SFX_MODULE_SETUP, "/crash")));
    EXPECT_EQ(0xC0000005u, RunSfx(work / "setup.exe", "/s /d:" + work / "base"));
    std::string cwd = RecordedValue(record, "cwd");
    EXPECT_EQ(0u, cwd.find(work / "base\\ZXS")) << cwd;
    EXPECT_FALSE(FolderExists(cwd));

    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", WithRecorder(SFX_MODULE_SETUP, "/litter")));
    EXPECT_EQ(0u, RunSfx(work / "setup.exe", "/s /d:" + work / "base"));
    cwd = RecordedValue(record, "cwd");
    EXPECT_EQ((std::vector<std::string>{"own.txt"}), FolderNames(cwd));
}

TEST(SetupModule, WaitsForEveryProcessTheProgramStarted)
{
    ScratchFolder work("job");
    LaunchRecord launch(work / "record.txt");
    const std::string &record = launch.path;
    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", WithRecorder(SFX_MODULE_SETUP, "/spawn /exit:3")));
    EXPECT_EQ(3u, RunSfx(work / "setup.exe", "/s /d:" + work / "base"));
    // The grandchild writes its mark 1.5 s after its parent has gone.
    EXPECT_TRUE(FileExists(record + ".late"));
    std::string cwd = RecordedValue(record, "cwd");
    EXPECT_EQ(0u, cwd.find(work / "base\\ZXS")) << cwd;
    EXPECT_FALSE(FolderExists(cwd));
    EXPECT_TRUE(FolderExists(work / "base"));
}

TEST(StandardModule, StartsTheProgramInTheDestinationAndKeepsTheFiles)
{
    ScratchFolder work("standard");
    LaunchRecord launch(work / "record.txt");
    const std::string &record = launch.path;
    ASSERT_TRUE(WriteTestSfx(work / "std.exe", WithRecorder(SFX_MODULE_STANDARD, "/exit:9")));
    EXPECT_EQ(0u, RunSfx(work / "std.exe", "/s /d:" + work / "out"));
    for (DWORD waited = 0; waited < TestWaitMs(5000) && !FileExists(record); waited += 100)
        Sleep(100);
    Sleep(200);
    EXPECT_EQ(work / "out", RecordedValue(record, "cwd"));
    EXPECT_EQ("p", ReadWholeFile(work / "out\\payload.txt"));
}

TEST(SetupModule, AProgramThatIsNotThereFailsAndStillCleansUp)
{
    ScratchFolder work("missing");
    TestArchive a;
    a.header.moduleType = SFX_MODULE_SETUP;
    a.files.push_back({"payload.txt", "p"});
    a.SetText(a.header.launchFile, sizeof(a.header.launchFile), "absent.exe");
    ASSERT_TRUE(WriteTestSfx(work / "m.exe", a));
    EXPECT_EQ(4u, RunSfx(work / "m.exe", "/s /d:" + work / "base"));
    EXPECT_TRUE(FolderNames(work / "base").empty());
}

// Too big to keep, the archive is staged in a folder inside the working
// folder and moved up before the program starts; all of it goes afterwards.
TEST(SetupModule, AnArchiveTooBigToKeepIsStagedInsideTheWorkingFolder)
{
    ScratchFolder work("setupbig");
    LaunchRecord launch(work / "record.txt");
    TestArchive a = WithRecorder(SFX_MODULE_SETUP, "/exit:5");
    a.files.push_back({"big.bin", std::string(33 * 1024 * 1024, 'b')});
    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", a));
    EXPECT_EQ(5u, RunSfx(work / "setup.exe", "/s /d:" + work / "base"));
    std::string cwd = RecordedValue(launch.path, "cwd");
    EXPECT_EQ(0u, cwd.find(work / "base\\ZXS")) << cwd;
    EXPECT_TRUE(FolderNames(work / "base").empty());
}

// An elevated run's folder lies where every program of the same user can reach
// it: its access list is its own, not the temporary folder's, and while the
// run lasts no other program can move it away. A file the program made
// read-only is still the run's own and goes with the folder.
TEST(SetupModule, TheWorkingFolderHasItsOwnAccessListAndCannotBeMoved)
{
    ScratchFolder work("acl");
    LaunchRecord launch(work / "record.txt");
    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", WithRecorder(SFX_MODULE_SETUP, "/acl /rename /readonly")));
    EXPECT_EQ(0u, RunSfx(work / "setup.exe", "/s /d:" + work / "base"));
    const std::string full = ":0:3:1f01ff";  // allowed, passed on to files and folders, full control
    if (KeepsAccessLists(work.path))
        EXPECT_EQ("protected " + CurrentUserSid() + full + ",S-1-5-32-544" + full + ",S-1-5-18" + full,
                  RecordedValue(launch.path, "acl"));
    else
        printf("This system keeps no access lists on files; the folder's list is checked natively.\n");
    EXPECT_EQ("0", RecordedValue(launch.path, "renamed"));
    EXPECT_FALSE(FolderExists(RecordedValue(launch.path, "cwd")));
}

// While cleanup waits to retry a file still in use, another program tries to
// put a folder of its own, holding a file of the same name, in place of the
// working folder (on Windows a junction; Wine makes none, so a plain folder
// stands in). The move is refused, and cleanup ends once the file is free.
TEST(SetupModule, TheWorkingFolderCannotBeSwappedWhileCleanupRetries)
{
    ScratchFolder work("swap");
    LaunchRecord launch(work / "record.txt");
    ASSERT_TRUE(WriteTestSfx(work / "setup.exe", WithRecorder(SFX_MODULE_SETUP, "/wait")));
    UiProcess pi;
    ASSERT_TRUE(UiStartProcess(("\"" + work / "setup.exe\" /s /d:" + work / "base").c_str(), &pi));
    // Waits stretched with the others: an emulated machine starts the stub far slower.
    for (DWORD waited = 0; waited < TestWaitMs(10000) && !FileExists(launch.path); waited += 100)
        Sleep(100);
    std::string cwd = RecordedValue(launch.path, "cwd");
    HANDLE payload = CreateFileA((cwd + "\\payload.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, payload) << cwd;
    WriteTextFile(launch.path + ".go");
    for (DWORD waited = 0; waited < TestWaitMs(5000) && FileExists(cwd + "\\RecordLaunch.exe"); waited += 50)
        Sleep(50);
    bool moved = MoveFileA(cwd.c_str(), (cwd + "-moved").c_str()) != 0;
    EXPECT_FALSE(moved);
    if (moved) {
        CreateDirectoryA(cwd.c_str(), NULL);
        WriteTextFile(cwd + "\\payload.txt", "not the run's");
    }
    CloseHandle(payload);
    EXPECT_EQ(0u, UiWaitExit(&pi, 10000));
    if (moved)
        EXPECT_EQ("not the run's", ReadWholeFile(cwd + "\\payload.txt"));
    else
        EXPECT_FALSE(FolderExists(cwd));
}
