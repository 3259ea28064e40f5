#pragma once
// Resource and control identifiers, shared by zingel.rc and the code.

#define IDI_ZINGEL 1

// The hidden tray menu and its items.
#define IDM_SYSTEM 100
#define IDM_EXIT 101
#define IDM_RESTORE 102
#define IDM_ABOUT 103

// Controls of the main window. Above IDOK and IDCANCEL, which the dialog
// keyboard handling sends for Enter and Escape.
#define IDC_TEXT1 200     // the song box
#define IDC_COMMAND1 201  // start
#define IDC_COMMAND2 202  // stop
#define IDC_COMBO1 203    // the prefix box
#define IDC_COMMAND3 204  // minimize to tray
