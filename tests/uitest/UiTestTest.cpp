// UiTestTest.cpp -- the UI-test helper against a window of another process.
#include <windows.h>

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "UiTest.h"

TEST(UiHelper, ReadsAndPressesAnotherProcessWindow)
{
    // Ended by its owner when an assertion gives up early: a probe left running
    // would hold the test runner's output open until the runner's own timeout.
    UiProcess pi;
    ASSERT_TRUE(UiStartProcess("ZxUiProbe.exe", &pi));
    HWND hWnd = UiWaitWindow("UI Probe", pi.dwProcessId, 10000, "ZxUiProbe");
    ASSERT_TRUE(hWnd != NULL);
    EXPECT_TRUE(UiWaitWindow("UI Probe", GetCurrentProcessId(), 0) == NULL) << "wrong process";
    EXPECT_TRUE(UiWaitWindow("UI Probe", pi.dwProcessId, 0, UI_DIALOG_CLASS) == NULL)
        << "wrong class";
    EXPECT_EQ(hWnd, UiFindWindow("UI Probe", 0));
    EXPECT_EQ(1u, UiProcessWindows(pi.dwProcessId).size());

    std::vector<std::string> lines = UiListBoxLines(GetDlgItem(hWnd, 100));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("C:\\Windows\\system32\\zxlocked.dll", lines[0]);
    EXPECT_EQ("", lines[1]);
    EXPECT_EQ("Gr\xFC\xDF" "e.txt", lines[2]);

    EXPECT_EQ("C:\\Program Files\\Zendrix", UiItemText(hWnd, 101));
    EXPECT_EQ("", UiItemText(hWnd, 555));
    EXPECT_TRUE(UiItemEnabled(hWnd, IDOK));
    EXPECT_FALSE(UiItemEnabled(hWnd, IDCANCEL));
    EXPECT_TRUE(UiItemVisible(hWnd, 101));
    EXPECT_FALSE(UiPressButton(hWnd, 555));

    ASSERT_TRUE(UiPressButton(hWnd, IDOK));
    EXPECT_TRUE(UiWaitGone(hWnd, 10000));
    EXPECT_EQ((DWORD)IDOK, UiWaitExit(&pi, 10000));
}

TEST(UiHelper, StopsAProgramThatDoesNotEnd)
{
    UiProcess pi;
    ASSERT_TRUE(UiStartProcess("ZxUiProbe.exe", &pi));
    EXPECT_EQ((DWORD)UI_STILL_RUNNING, UiWaitExit(&pi, 300));
    EXPECT_TRUE(pi.hProcess == NULL);
}

TEST(UiHelper, ScreenshotIsAWholeScreenBitmap)
{
    const char szPath[] = "uitest-screen.bmp";
    ASSERT_TRUE(UiScreenshot(szPath));
    FILE *f = fopen(szPath, "rb");
    ASSERT_TRUE(f != NULL);
    BITMAPFILEHEADER bfh;
    BITMAPINFOHEADER bih;
    ASSERT_EQ(1u, fread(&bfh, sizeof(bfh), 1, f));
    ASSERT_EQ(1u, fread(&bih, sizeof(bih), 1, f));
    fseek(f, 0, SEEK_END);
    long cb = ftell(f);
    fclose(f);
    DeleteFileA(szPath);
    EXPECT_EQ(0x4D42, bfh.bfType);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), bih.biWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), bih.biHeight);
    EXPECT_EQ((long)bfh.bfSize, cb);
}
