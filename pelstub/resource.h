// resource.h -- resource and control ids of the loader stub.
#pragma once

#define IDI_MAINICON 1

#define IDD_OPEN 100
#define IDD_PROGRESS 101
#define IDD_OVERWRITE 102

#define IDC_APPNAME 1001
#define IDC_PROMPT 1002
#define IDC_DESTLABEL 1003
#define IDC_DESTINATION 1004
#define IDC_BROWSE 1005
#define IDC_PROGRESSBAR 1010
#define IDC_CURRENTFILE 1011
#define IDC_OVERWRITETEXT 1020
#define IDC_YESTOALL 1021
#define IDC_NOTOALL 1022
