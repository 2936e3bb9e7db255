// Resource and control ids shared by the program and its resource script.
#pragma once

#define IDR_MAINMENU 109
#define IDD_SEARCHBAR 101
#define IDD_HISTORYBAR 104
#define IDD_ABOUTBOX 103
#define IDI_SORAHIKI 107

#define IDM_EXIT 105
#define IDM_ABOUT 104
#define IDM_CHOOSE_FOLDER 110

// The check items of the options menu, each one option of the next search.
#define IDM_OPTION_WHOLE_FILE 120
#define IDM_OPTION_FOLD_CASE 121
#define IDM_OPTION_FOLD_WIDTH 122
#define IDM_OPTION_FOLD_KANA 123

#define IDC_SEARCH_EDIT 1000
#define IDC_SEARCH_LABEL 1004
#define IDC_SEARCH_BUTTON 1
#define IDC_HISTORY_BACK 1002
#define IDC_HISTORY_FORWARD 1003

// The commands of a row's pop-up menu.
#define IDM_ROW_OPEN 201
#define IDM_ROW_SHOW_FOLDER 202
#define IDM_ROW_COPY_PATH 203
