#pragma once

// Command and resource ids; the Windows resource script uses the same numbers.
#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDB_EMBLEM 135
#define IDC_DESCRIPTION 1000
#define IDC_PICTURE 1001
#define IDC_WEBLINK 1002

#define ID_FILE_NEWGAME 32771
#define ID_OPTIONS_TOGGLESOUNDS 32772
#define ID_OPTIONS_UNDO 32773

#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141

#define AFX_IDS_APP_TITLE 0xE000
