// resource.h -- resource names and control ids of Brolt's wizard pages and About box.
#pragma once

#define IDC_STATIC (-1)

// Step 1: module type
#define IDC_STEP1_SETUP 101
#define IDC_STEP1_STANDARD 102
#define IDC_STEP1_ABOUT 103

// Step 2: files to attach
#define IDC_STEP2_BROWSEADD 104
#define IDC_STEP2_LISTAREA 105
#define IDC_STEP2_REMOVE 106
#define IDC_STEP2_LIST 116

// Step 3: application name and destination
#define IDC_STEP3_APPNAME 108
#define IDC_STEP3_AUTOEXTRACT 109
#define IDC_STEP3_DESTTEMP 110
#define IDC_STEP3_DESTCURRENT 111
#define IDC_STEP3_CUSTOMDIR 112
#define IDC_STEP3_PROGRAMFILES 113
#define IDC_STEP3_DESTCUSTOM 114

// Step 4: program to launch
#define IDC_STEP4_BROWSE 104
#define IDC_STEP4_LAUNCHFILE 105
#define IDC_STEP4_COMMANDLINE 107

// Step 5: output file
#define IDC_STEP5_OVERWRITEALL 24
#define IDC_STEP5_OVERWRITENONE 25
#define IDC_STEP5_CONFIRM 26
#define IDC_STEP5_TESTRUN 101
#define IDC_STEP5_OUTPUTFILE 102
#define IDC_STEP5_BROWSE 104
#define IDC_STEP5_EXPLORER 130

// About box
#define IDC_ABOUT_OK 20
#define IDC_ABOUT_FRAME 21
#define IDC_ABOUT_LINK 22


// Refusals of the build
#define IDS_BUILD_REFUSED 200
#define IDS_SETUP_NEEDS_PROGRAM 201
#define IDS_NAME_TWICE 202
#define IDS_BUILD_CHECK 203
