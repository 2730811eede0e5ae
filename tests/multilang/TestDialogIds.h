// TestDialogIds.h -- ids of the small dialog the window-text tests put texts on.
#pragma once
#define IDC_TEST_TEXT1 101
#define IDC_TEST_TEXT2 102
#define IDC_TEST_TEXT3 103
