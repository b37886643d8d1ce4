// Every identifier shared between the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Frame resource (menu, icon, title string, accelerators) and icons.
#define IDR_MAINFRAME 128
#define IDI_HISTORY_OFF 130
#define IDI_HISTORY_ON 131
#define IDR_LIST_MENU 136

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_POPUP_LIST 132
#define IDD_SETTINGS 135
#define IDD_EDIT_ITEM 137
#define IDD_ADD_ITEM 140

// Item bitmaps of the popup list.
#define IDB_ITEM_LOCKED 142
#define IDB_ITEM_LOCKED_FOCUS 143
#define IDB_ITEM_NORMAL 144
#define IDB_ITEM_NORMAL_FOCUS 145

// Commands.
#define ID_EXIT 32771
#define ID_SETTINGS 32772
#define ID_VERSION 32773
#define ID_HISTORY_MODE 32774
#define ID_CLEAR_NORMAL 32776
#define ID_ITEM_EDIT 32777
#define ID_ITEM_LOCK 32778
#define ID_ITEM_DELETE 32779
#define ID_LIST_SETTINGS 32781
#define ID_WEB_SEARCH 32786
#define ID_DIC_JAPANESE 32787
#define ID_DIC_EN_JA 32788
#define ID_DIC_JA_EN 32789
#define ID_LIST_ADD_DATA 32795
#define ID_HELP_README 32796
#define ID_ADD_DATA 32797
#define ID_ITEM_NORMAL 32798
#define ID_ADD_QUOTE 32799
#define ID_APP_ABOUT 57664

// Standard editing commands of the accelerator table (nobody handles them).
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

// Controls.
#define IDC_ITEM_LIST 1000
#define IDC_TO_CLIP 1001
#define IDC_NO_KEY_CLEAR 1003
#define IDC_SAKIIRE 1004
#define IDC_STOP_RUN 1005
#define IDC_CARET_POS_X 1006
#define IDC_CARET_POS_Y 1007
#define IDC_NORMAL_DELETE 1008
#define IDC_EDIT_TEXT 1008
#define IDC_EDIT_NAME 1012
#define IDC_EDIT_KIND 1019
#define IDC_RIREKI_HOTKEY 1020
#define IDC_POPUP_HOTKEY 1021
#define IDC_RIREKI_WAVE 1022
#define IDC_WAVE_NAME 1023
#define IDC_WAVE_BROWSE 1024
#define IDC_USE_ITEM_MOVE_TOP 1025
#define IDC_INYOU_CHAR 1026
#define IDC_ADD_BUTTON 1027
#define IDC_CLOSE_BUTTON 1028
#define IDC_ADD_TEXT 1029
#define IDC_ADD_NAME 1030
#define IDC_COPY_POPUP 1031
#define IDC_TRANSPARENCY 1032
#define IDC_SELECT_SW 1033
#define IDC_WORD_BUG_SW 1034
#define IDC_EDIT_TEMPLATES 1035
#define IDC_ADD_TEMPLATES 1036
#define IDC_ADD_TEMPLATE_INSERT 1037
#define IDC_ADD_FILE_NAME_INSERT 1038
#define IDC_SEARCH_BOX 1039
#define IDC_EDIT_FILE_NAME_INSERT 3
#define IDC_EDIT_TEMPLATE_INSERT 4
#define IDC_ABOUT_OPEN_SITE 2

// Strings.
#define IDS_MAINFRAME_TITLE 128
#define IDS_APP_TITLE 57344
#define IDS_IDLE_PROMPT 57345
#define IDS_HISTORY_MODE_OFF 59143  // label while history mode is on
#define IDS_HISTORY_MODE_ON 59144   // label while history mode is off
// File error texts, in the order of the causes the data-file save reports.
#define IDS_FILE_ERROR_GENERIC 61857
#define IDS_FILE_ERROR_NOT_FOUND 61858
#define IDS_FILE_ERROR_BAD_PATH 61859
#define IDS_FILE_ERROR_TOO_MANY_OPEN 61860
#define IDS_FILE_ERROR_ACCESS_DENIED 61861
#define IDS_FILE_ERROR_INVALID_HANDLE 61862
#define IDS_FILE_ERROR_REMOVE_CURRENT_DIR 61863
#define IDS_FILE_ERROR_DIRECTORY_FULL 61864
#define IDS_FILE_ERROR_BAD_SEEK 61865
#define IDS_FILE_ERROR_HARD_IO 61866
#define IDS_FILE_ERROR_SHARING 61867
#define IDS_FILE_ERROR_LOCK 61868
#define IDS_FILE_ERROR_DISK_FULL 61869
#define IDS_FILE_ERROR_END_OF_FILE 61870

// Hotkeys, timers and private messages.
#define HOTKEY_POPUP 0
#define HOTKEY_PASTE 1
#define HOTKEY_HISTORY_TOGGLE 2
#define TIMER_POLL 605
#define TIMER_AUTOCLOSE 606
#define TIMER_SEARCH 607
#define WM_TRAYNOTIFY 0x8064
#define WM_CLIPBOARD_DELAYED 0x8065
// A write of the data file has ended: wParam 1 saved, 0 failed; lParam the
// Win32 error.
#define WM_DATA_FILE_WRITTEN 0x8066

// Popup list modes and results.
#define POPUP_MODE_AUTO 0
#define POPUP_MODE_USER 1
#define POPUP_REOPEN 32
#define POPUP_DISMISSED 33
