// WizardSheet.h -- Brolt's wizard as a test sees it from outside: each page's caption and the sheet's buttons.
#pragma once

// The sheet's caption on each page, page 1 first.
static const char *const kWizardTitles[6] = {"Create a Self extracting executable",
                                             "Files to attach to the SFX-Module",
                                             "Application Name and Destination Directory",
                                             "Execute command after extraction",
                                             "Output File",
                                             "Finished"};

// The property sheet's own buttons (the system's ids, not the program's resource.h).
enum { WIZ_BACK = 12323, WIZ_NEXT = 12324, WIZ_FINISH = 12325, WIZ_HELP = 9 };
