// FileRemovalTest.cpp -- deleting files and directories now or at the next start, on
// both Windows families, with the flags and the restart list that the user sees later.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "FileRemoval.h"
#include "LockedFiles.h"
#include "Platform.h"
#include "RemovalTestSupport.h"
#include "UninstallState.h"

namespace {

std::string WininitPath()
{
    char szWinDir[MAX_PATH];
    GetWindowsDirectoryA(szWinDir, sizeof(szWinDir));
    return std::string(szWinDir) + "\\WININIT.INI";
}

std::string ReadWininitNul()
{
    char szValue[MAX_PATH] = "";
    GetPrivateProfileStringA("Rename", "NUL", "", szValue, sizeof(szValue), WininitPath().c_str());
    return szValue;
}

bool Contains(const std::vector<std::string> &items, const std::string &item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

// The engine hands over the lower-case path and the spelling the file was created with.
std::string LowerAscii(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return text;
}

class FileRemovalNow : public ::testing::Test {
protected:
    ScratchDir dir;
    RestartDialogScope restart;
};

TEST_F(FileRemovalNow, DeletesFilesAndEmptyDirectoriesWithoutTouchingTheFlags)
{
    std::string readOnly = dir / "Read only and hidden.txt";
    ASSERT_TRUE(WriteTextFile(readOnly, "x"));
    SetFileAttributesA(readOnly.c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::string emptyDir = dir / "Empty Folder";
    ASSERT_TRUE(CreateDirectoryA(emptyDir.c_str(), NULL));

    EXPECT_NE(0, RemoveFileOrSchedule(readOnly.c_str()));
    EXPECT_FALSE(PathExists(readOnly));
    // A file record may name a directory; an empty one goes at once.
    EXPECT_NE(0, RemoveFileOrSchedule(emptyDir.c_str()));
    EXPECT_FALSE(PathExists(emptyDir));
    // refused under its created spelling, it still goes by the lower-case path
    std::string mixed = dir / "Read Only Mixed.TXT";
    ASSERT_TRUE(WriteTextFile(mixed, "x"));
    SetFileAttributesA(mixed.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(0, RemoveFileOrSchedule(LowerAscii(mixed).c_str(), mixed.c_str()));
    EXPECT_FALSE(PathExists(mixed));

    EXPECT_FALSE(UninstallState.RestartNeeded);
    EXPECT_FALSE(UninstallState.DirectoryNotEmpty);
    EXPECT_TRUE(restart.LockedList().empty());
}

TEST_F(FileRemovalNow, MissingPathIsDoneAndChangesNothing)
{
    size_t pendingBefore = PendingDeletions().size();
    EXPECT_NE(0, RemoveFileOrSchedule((dir / "Never Was There.dll").c_str()));
    EXPECT_NE(0, RemoveFileOrSchedule((dir / "No Folder\\No File.txt").c_str()));
    EXPECT_FALSE(UninstallState.RestartNeeded);
    EXPECT_FALSE(UninstallState.DirectoryNotEmpty);
    EXPECT_TRUE(restart.LockedList().empty());
    EXPECT_EQ(pendingBefore, PendingDeletions().size());
}

// NT family: the kernel's pending-operations store.
class FileRemovalNt : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!IsWindowsNT())
            GTEST_SKIP() << "the NT family's store only";
    }
    void TearDown() override { ForgetPendingDeletions(dir.Path()); ForgetPendingDeletions(ShortPath(dir.Path())); }
    ScratchDir dir;
    RestartDialogScope restart;
};

TEST_F(FileRemovalNt, LockedFileIsScheduledUnderItsShortPathAndListedUnderItsLongPath)
{
    std::string locked = dir / "Locked Library With A Long Name.dll";
    ASSERT_TRUE(WriteTextFile(locked, "x"));
    std::string shortPath = ShortPath(locked);
    ASSERT_FALSE(shortPath.empty());
    ASSERT_NE(shortPath, locked) << "the test needs a name with a distinct short form";
    FileLock locker;
    ASSERT_TRUE(locker.Hold({locked}));

    EXPECT_NE(0, RemoveFileOrSchedule(locked.c_str()));

    std::vector<std::string> pending = PendingDeletions();
    EXPECT_TRUE(Contains(pending, "\\??\\" + shortPath));
    EXPECT_FALSE(Contains(pending, "\\??\\" + locked));
    EXPECT_TRUE(UninstallState.RestartNeeded);
    EXPECT_FALSE(UninstallState.DirectoryNotEmpty);
    EXPECT_EQ(std::vector<std::string>{locked}, restart.LockedList());
    EXPECT_TRUE(PathExists(locked));
    EXPECT_EQ(0u, locker.Release());
}

TEST_F(FileRemovalNt, LockedFileWithItsCreatedSpellingIsListedAsThePathPassed)
{
    std::string locked = dir / "Locked Mixed.TXT";
    ASSERT_TRUE(WriteTextFile(locked, "x"));
    FileLock locker;
    ASSERT_TRUE(locker.Hold({locked}));
    std::string lower = LowerAscii(locked);
    EXPECT_NE(0, RemoveFileOrSchedule(lower.c_str(), locked.c_str()));
    EXPECT_EQ(std::vector<std::string>{lower}, restart.LockedList());
    EXPECT_TRUE(PathExists(locked));
    EXPECT_EQ(0u, locker.Release());
}

TEST_F(FileRemovalNt, LockedFilesAreListedSortedAndAllScheduled)
{
    std::string second = dir / "Zebra Data File.dat";
    std::string first = dir / "Apple Data File.dat";
    ASSERT_TRUE(WriteTextFile(second, "x"));
    ASSERT_TRUE(WriteTextFile(first, "x"));
    FileLock locker;
    ASSERT_TRUE(locker.Hold({second, first}));

    RemoveFileOrSchedule(second.c_str());
    RemoveFileOrSchedule(first.c_str());

    EXPECT_EQ((std::vector<std::string>{first, second}), restart.LockedList());
    std::vector<std::string> pending = PendingDeletions();
    EXPECT_TRUE(Contains(pending, "\\??\\" + ShortPath(first)));
    EXPECT_TRUE(Contains(pending, "\\??\\" + ShortPath(second)));
}

// Any number of files may be locked: each path comes back whole as the list grows.
TEST(LockedFileList, KeepsEveryPathAsItGrows)
{
    RestartDialogScope restart;
    std::vector<std::string> reported;
    for (int i = 0; i < 300; i++) {
        std::string path = "C:\\Locked\\" + std::to_string(1000 + i) + std::string(200, 'x') + ".dll";
        ASSERT_TRUE(ReportLockedFile(path.c_str()));
        reported.push_back(path);
    }
    EXPECT_EQ(reported, restart.LockedList());
}

TEST_F(FileRemovalNt, NonEmptyDirectoryIsScheduledAndFlaggedButNotListed)
{
    std::string folder = dir / "Folder Still In Use";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    ASSERT_TRUE(WriteTextFile(folder + "\\keep.txt", "x"));
    std::string wininitBefore = ReadWininitNul();

    EXPECT_NE(0, RemoveFileOrSchedule(folder.c_str()));

    EXPECT_TRUE(UninstallState.DirectoryNotEmpty);
    EXPECT_FALSE(UninstallState.RestartNeeded);
    EXPECT_TRUE(restart.LockedList().empty());
    EXPECT_TRUE(Contains(PendingDeletions(), "\\??\\" + ShortPath(folder)));
    EXPECT_TRUE(PathExists(folder + "\\keep.txt"));
    EXPECT_EQ(wininitBefore, ReadWininitNul()) << "NT must not use the 95 family's store";
}

TEST_F(FileRemovalNt, DirectoryLeavesAnEarlierRestartFlagAsItWas)
{
    UninstallState.RestartNeeded = TRUE;
    std::string folder = dir / "Another Busy Folder";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    ASSERT_TRUE(WriteTextFile(folder + "\\keep.txt", "x"));
    RemoveFileOrSchedule(folder.c_str());
    EXPECT_TRUE(UninstallState.RestartNeeded);
    EXPECT_TRUE(UninstallState.DirectoryNotEmpty);
}

// 95 family: run in a child copy of this program that Wine reports as Windows 98.
TEST(FileRemoval95Family, RunsInAWin98Child)
{
    if (IsWin98Child())
        GTEST_SKIP() << "already the child";
    EXPECT_EQ(0u, RunAsWin98Child("FileRemovalWin98Child.*"));
}

class FileRemovalWin98Child : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!IsWin98Child())
            GTEST_SKIP() << "runs only in the Windows 98 child";
        ASSERT_FALSE(IsWindowsNT()) << "Wine did not apply the win98 version setting";
        // Start from a WININIT.INI without a Rename section.
        bHadWininit = PathExists(WininitPath());
        WritePrivateProfileStringA("Rename", NULL, NULL, WininitPath().c_str());
    }
    void TearDown() override
    {
        WritePrivateProfileStringA("Rename", NULL, NULL, WininitPath().c_str());
        if (!bHadWininit)
            DeleteFileA(WininitPath().c_str());
    }
    bool bHadWininit = false;
    ScratchDir dir;
    RestartDialogScope restart;
};

// The profile calls keep one "NUL" key; each locked file needs a line of its own,
// and another program's pending rename in the same section must stay.
TEST_F(FileRemovalWin98Child, EveryLockedFileGetsItsOwnNulLineAndOtherLinesStay)
{
    WritePrivateProfileStringA("Rename", "C:\\NEW.DLL", "C:\\OLD.DLL", WininitPath().c_str());
    WritePrivateProfileStringA("ZxOther", "Key", "1", WininitPath().c_str());
    // Scheduled in the order first, second; sorted in the list the other way round.
    std::string first = dir / "Beta Control Scheduled First.ocx";
    std::string second = dir / "Alpha Control Scheduled Second.ocx";
    ASSERT_TRUE(WriteTextFile(first, "x"));
    ASSERT_TRUE(WriteTextFile(second, "x"));
    size_t pendingBefore = PendingDeletions().size();
    FileLock locker;
    ASSERT_TRUE(locker.Hold({first, second}));

    EXPECT_NE(0, RemoveFileOrSchedule(first.c_str()));
    EXPECT_NE(0, RemoveFileOrSchedule(second.c_str()));

    char szSection[2048];
    DWORD cch = GetPrivateProfileSectionA("Rename", szSection, sizeof(szSection), WininitPath().c_str());
    std::vector<std::string> lines;
    for (const char *p = szSection; p < szSection + cch && *p; p += strlen(p) + 1)
        lines.push_back(p);
    EXPECT_EQ((std::vector<std::string>{"C:\\NEW.DLL=C:\\OLD.DLL", "NUL=" + ShortPath(first),
                                        "NUL=" + ShortPath(second)}),
              lines);
    char szOther[8] = "";
    GetPrivateProfileStringA("ZxOther", "Key", "", szOther, sizeof(szOther), WininitPath().c_str());
    EXPECT_STREQ("1", szOther);
    WritePrivateProfileStringA("ZxOther", NULL, NULL, WininitPath().c_str());
    EXPECT_EQ((std::vector<std::string>{second, first}), restart.LockedList());
    EXPECT_TRUE(UninstallState.RestartNeeded);
    EXPECT_FALSE(UninstallState.DirectoryNotEmpty);
    EXPECT_EQ(pendingBefore, PendingDeletions().size()) << "the 95 family has no MoveFileEx store";
}

TEST_F(FileRemovalWin98Child, NonEmptyDirectoryGoesToWininitAndOnlySetsItsFlag)
{
    std::string folder = dir / "Folder With Contents";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    ASSERT_TRUE(WriteTextFile(folder + "\\keep.txt", "x"));

    EXPECT_NE(0, RemoveFileOrSchedule(folder.c_str()));

    EXPECT_EQ(ShortPath(folder), ReadWininitNul());
    EXPECT_TRUE(UninstallState.DirectoryNotEmpty);
    EXPECT_FALSE(UninstallState.RestartNeeded);
    EXPECT_TRUE(restart.LockedList().empty());
}

TEST_F(FileRemovalWin98Child, UnlockedFilesNeverReachWininit)
{
    std::string file = dir / "Plain File.txt";
    ASSERT_TRUE(WriteTextFile(file, "x"));
    EXPECT_NE(0, RemoveFileOrSchedule(file.c_str()));
    EXPECT_FALSE(PathExists(file));
    EXPECT_EQ("", ReadWininitNul());
}

} // namespace
