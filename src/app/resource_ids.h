#pragma once
// Resource and command identifiers, shared by the resource script and the code.
// Control IDs stay clear of IDOK (1) and IDCANCEL (2): the dialog manager
// sends those for Enter and Esc, and they must press nothing.

#define IDM_MAIN 100

#define IDM_EXECUTE 201
#define IDM_EXIT 202
#define IDM_CHANGE_PASSWORD 203
#define IDM_HELP 204
#define IDM_ABOUT 205

#define IDC_FIRST_OPTION 301
#define IDC_PASSWORD_FIELD 311
#define IDC_EXECUTE 312
#define IDC_EXIT 313
#define IDC_PASSWORD_LABEL 314
#define IDC_FLOPPY_GROUP 315
#define IDC_USB_GROUP 316
