// Resource and control IDs, shared by the .rc files and the code.
#pragma once

// Dialogs and menus
#define IDD_MAIN 102
#define MAIN_DIALOG_CAPTION "Hueline - Change your blue screen of death!"
#define IDM_MAIN 105
#define IDD_ABOUT 107
#define IDC_ABOUT_ICON 1020

// Icons: the program's own, then the preview's two sets of 16, by colour
// number (107-122 and 124-139; there is no 123). Dialog 107 is a different
// resource from icon 107.
#define IDI_PROGRAM 106
#define IDI_FIRST_BACK 107
#define IDI_FIRST_TEXT 124

// The homepage: opened with its scheme, shown in the About box without it.
#define HOMEPAGE_HOST "www.hueline.org"
#define HOMEPAGE_ADDRESS "http://" HOMEPAGE_HOST

// Controls of the main dialog
#define IDC_BACK_LIST 1003
#define IDC_TEXT_LIST 1004
#define IDC_FULL_SCREEN 1005
#define IDC_CANCEL_SELECTION 1006
#define IDC_RESTORE 1007
#define IDC_APPLY 1008
#define IDC_ABOUT 1009
#define IDC_EXIT 1010
#define IDC_TEXT_CURRENT 1011
#define IDC_BACK_CURRENT 1012
#define IDC_REFRESH 1013

// Menu commands
#define IDM_ABOUT 40001
#define IDM_HOMEPAGE 40002
#define IDM_ABOUT_HIDDEN 40008
#define IDM_SOUNDS 40009
#define IDM_TEST 40010
#define IDM_CANCEL_SELECTION 40011
#define IDM_RESTORE 40012
#define IDM_APPLY 40013
#define IDM_EXIT 40033
#define IDM_REFRESH 40034

// Text colour menu, in menu order (Black to White)
#define IDM_TEXT_BLACK 40017
#define IDM_TEXT_DARK_BLUE 40018
#define IDM_TEXT_DARK_GREEN 40019
#define IDM_TEXT_DARK_CYAN 40020
#define IDM_TEXT_DARK_RED 40021
#define IDM_TEXT_DARK_MAUVE 40022
#define IDM_TEXT_BROWN 40054
#define IDM_TEXT_GRAY 40055
#define IDM_TEXT_DARK_GRAY 40024
#define IDM_TEXT_BLUE 40025
#define IDM_TEXT_GREEN 40026
#define IDM_TEXT_CYAN 40027
#define IDM_TEXT_RED 40028
#define IDM_TEXT_MAUVE 40029
#define IDM_TEXT_YELLOW 40030
#define IDM_TEXT_WHITE 40031

// Background colour menu, in menu order (Black to White)
#define IDM_BACK_BLACK 40037
#define IDM_BACK_DARK_BLUE 40038
#define IDM_BACK_DARK_GREEN 40039
#define IDM_BACK_DARK_CYAN 40040
#define IDM_BACK_DARK_RED 40041
#define IDM_BACK_DARK_MAUVE 40042
#define IDM_BACK_BROWN 40043
#define IDM_BACK_GRAY 40044
#define IDM_BACK_DARK_GRAY 40045
#define IDM_BACK_BLUE 40046
#define IDM_BACK_GREEN 40047
#define IDM_BACK_CYAN 40048
#define IDM_BACK_RED 40049
#define IDM_BACK_MAUVE 40052
#define IDM_BACK_YELLOW 40051
#define IDM_BACK_WHITE 40053
