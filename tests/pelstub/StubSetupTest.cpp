// StubSetupTest.cpp -- launching the archive's program: where, with what, and the Setup module's clean-up.
#include <gtest/gtest.h>

#include "StubTestSupport.h"

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
    for (int i = 0; i < 50 && !FileExists(record); i++)
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
