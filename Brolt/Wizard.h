// Wizard.h -- the wizard frame: instance, caption, property sheet and About box.
#pragma once

#include <windows.h>
#include <prsht.h>

#define BROLT_CAPTION "Zendrix SFX Creator V1.92"
#define BROLT_WEB_ADDRESS "http://www.velmor.example/"

enum { WIZARD_PAGE_COUNT = 6 };

// Module that holds the templates and the icon; WinMain sets it first thing.
extern HINSTANCE BroltInstance;

// Fills the header and the six pages exactly as the program shows them.
// Tests add PSH_MODELESS to the header to drive the wizard in-process.
void FillWizardSheet(PROPSHEETHEADERA *header, PROPSHEETPAGEA pages[WIZARD_PAGE_COUNT]);

// Runs the modal wizard; 0 only when the property sheet could not be shown.
int RunWizard(void);

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
