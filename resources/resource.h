// Resource identifiers of the upgrade utility, shared by the .rc file and the code.
#pragma once

#define IDC_STATIC (-1)

// Dialog templates
#define IDD_ABOUT_PICTURE 100
#define IDD_INTRO 102
#define IDD_GET_ADDRESS 129
#define IDD_PROGRESS 130
#define IDD_LOGIN 133
#define IDD_VERIFY_VERSION 141

// Strings
#define IDS_ABOUT_ITEM 101
#define IDS_SOCKETS_FAILED 103

// Icon and bitmaps
#define IDI_PROGRAM 128
#define IDB_ABOUT_PICTURE 135
#define IDB_INTRO_PICTURE 139

// Controls
#define IDC_ADDRESS 1000
#define IDC_OVERALL_BAR 1002
#define IDC_STATUS 1005
#define IDC_NOTE 1006
#define IDC_STEP_BAR 1007
#define IDC_NAME 1008
#define IDC_PASSWORD 1009
#define IDC_INTRO_TEXT 1013
#define IDC_VERSION_MESSAGE 1014

// System menu command of the introduction dialog that opens the About box
#define IDM_ABOUT 16
