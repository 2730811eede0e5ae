// ProgressDialogIds.h -- control ids of the progress dialog "UNINSTDLG".
#pragma once

#define IDC_PROGRESS_CAPTION 101  // what is being done
#define IDC_PROGRESS_DETAIL 102   // the path or name being worked on
#define IDC_PROGRESS_BAR 131      // removal progress, range 0..120
