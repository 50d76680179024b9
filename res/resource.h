// Resource and control ids of the program: dialog templates, menu, strings and every control and command id of
// the main window. Shared by the resource script and the code. Bitmap ids are in SkinLayout.h.
#pragma once

// Dialog templates, menu, strings.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TESSAROHD_DIALOG 102
#define IDR_TRAY_MENU 110
#define IDR_MAINFRAME 128

// Template controls of the main window.
#define IDC_MODULE_INFO_TABLE 1003
#define IDC_SHADOW_MODULE_LIST 1016
#define IDC_RED_BOX 1044
#define IDC_GREEN_BOX 1045
#define IDC_BLUE_BOX 1046
#define IDC_MODULE_SELECTOR 1072

// Bitmap buttons, created at run time: 1500 + their row in the control table.
#define IDC_BTN_MINIMISE 1500
#define IDC_BTN_CLOSE 1501
#define IDC_BTN_APPLY 1502
#define IDC_BTN_RESET 1503
#define IDC_BTN_WEB 1504
#define IDC_BTN_POWER 1505
#define IDC_BTN_MODE_STATIC 1506
#define IDC_BTN_MODE_BREATHING 1507
#define IDC_BTN_MODE_SINGLE_FLASH 1508
#define IDC_BTN_MODE_DOUBLE_FLASH 1509
#define IDC_BTN_MODE_RAINBOW 1510
#define IDC_BTN_MODE_PRISMEL 1511
#define IDC_BTN_MODE_METEOR 1512
#define IDC_BTN_MODE_MARQUEE 1513
#define IDC_BTN_MODE_TWINKLE 1514
#define IDC_BTN_MODE_COLOUR_CYCLE 1515
#define IDC_BTN_MODE_FIRST IDC_BTN_MODE_STATIC
#define IDC_BTN_MODE_LAST IDC_BTN_MODE_COLOUR_CYCLE
#define IDC_BTN_COLOUR_WHEEL 1516
#define IDC_BTN_TAB_MODULE_INFO 1517
#define IDC_BTN_TAB_LIGHTING 1518
#define IDC_BTN_TAB_ABOUT 1519
#define IDC_BTN_SPEED_1 1520
#define IDC_BTN_SPEED_2 1521
#define IDC_BTN_SPEED_3 1522
#define IDC_BTN_SPEED_4 1523
#define IDC_BTN_SPEED_5 1524
#define IDC_BTN_SPEED_FIRST IDC_BTN_SPEED_1
#define IDC_BTN_SPEED_LAST IDC_BTN_SPEED_5
#define IDC_BTN_SUBPAGE_BACK 1525
#define IDC_BTN_SUBPAGE_FORWARD 1526

// Tray menu and system menu commands.
#define ID_TRAY_MAIN_WINDOW 1260
#define ID_TRAY_QUIT 1261
#define ID_TRAY_ABOUT 32775
// Added to the tray menu when it opens: the "RestoreLighting" setting, checked when on.
#define ID_TRAY_RESTORE_LIGHTING 1262
// Added to the tray menu when it opens, between its two separators; checked while the SDK server runs.
#define ID_TRAY_SDK_SERVER 1263
// Added to the tray menu when it opens: the "LightsOffWhileAsleep" setting, checked when on.
#define ID_TRAY_LIGHTS_OFF_ASLEEP 1264
// The tray's "Lights off" submenu (the asleep item is ID_TRAY_LIGHTS_OFF_ASLEEP).
#define ID_TRAY_LIGHTS_OFF_DISPLAY 1266
#define ID_TRAY_LIGHTS_OFF_LOCKED 1267
#define ID_TRAY_LIGHTS_OFF_IDLE 1268
#define ID_TRAY_LIGHTS_OFF_NIGHT 1269
// The tray's profiles: save, and one item per listed profile to load or to delete.
#define ID_TRAY_PROFILE_SAVE 1265
#define ID_TRAY_PROFILE_LOAD_FIRST 1300
#define ID_TRAY_PROFILE_LOAD_LAST 1499
#define ID_TRAY_PROFILE_DELETE_FIRST 1600
#define ID_TRAY_PROFILE_DELETE_LAST 1799
#define IDM_ABOUTBOX 0x0010
// The help command (F1) a dialog may be sent; the main window swallows it.
#define ID_HELP_COMMAND 0xE146

// Tray icon.
#define IDI_TRAY 110
#define WM_TRAY_NOTIFY 3024
// The SDK server's socket events (WSAAsyncSelect): wParam the socket, lParam the event and error.
#define WM_SDK_SOCKET 3025

// The about box's texts.
#define IDC_ABOUT_PRODUCT 1100
#define IDC_ABOUT_NOTICE 1101
// The dialog that names a profile.
#define IDD_SAVE_PROFILE 103
#define IDC_PROFILE_LABEL 1110
#define IDC_PROFILE_NAME 1111
