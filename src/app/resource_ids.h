#pragma once
// Resource and command identifiers, shared by the resource script and the code.
// Control IDs stay clear of IDOK (1) and IDCANCEL (2): the dialog manager
// sends those for Enter and Esc, and they must press nothing.

#define IDM_MAIN 100

#define IDM_ACTION 201
#define IDM_FILE_EXIT 202
#define IDM_PASSWD 203
#define IDM_HELP_HELP 204
#define IDM_HELP_ABOUT 205

#define IDC_OPTION1_FIRST 301
#define IDC_TEXT1 311
#define IDC_COMMAND1 312
#define IDC_COMMAND2 313
#define IDC_LABEL1 314
#define IDC_FRAME1 315
#define IDC_FRAME2 316
