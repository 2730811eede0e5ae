// RestartDialogIds.h -- control ids of the restart dialog "RESTARTDLG".
#pragma once

#define IDC_RESTART_TEXT1 101     // "These files could not be removed ..."
#define IDC_RESTART_TEXT2 102     // "Your system has to be restarted ..."
#define IDC_RESTART_QUESTION 103  // "Do you want to restart now ?"
#define IDC_LOCKED_FILES 1002     // sorted list of the files scheduled for the next start
