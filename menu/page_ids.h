// Dialog template and control ids of the eight pages, grouped per page. Shared by the .rc file.
#pragma once

#define IDD_WELCOME            132
#define IDD_MAIN               133
#define IDD_INSTALL_SELECT     134
#define IDD_PROGRESS           135
#define IDD_UNINSTALL_CONFIRM  136
#define IDD_INSTALL_CONFIRM    137
#define IDD_UNINSTALL_SELECT   138
#define IDD_PLAY               139

// Title controls: index 0..4 (Lantern, Brindle, Harbor, Rainmere, Mistvale) added to the base.
#define IDC_PLAY_TITLE_BASE    1018   /* pagePlay radios 1018..1022 */
#define IDC_CONFIRM_LINE_BASE  1048   /* confirm-page statics 1048..1052 */
#define IDC_TITLE_BOX_BASE     1053   /* selection boxes 1053..1057 */
#define IDC_ALL_TITLES         1058

#define IDC_CHANGE             1023
#define IDC_CANCEL_INSTALL     1024
#define IDC_BACK               1025   /* also the progress bar on pageProgress */
#define IDC_PROGRESS_BAR       1025
#define IDC_INSTALL            1026
#define IDC_NO_INSTALL         1027
#define IDC_COMPACT_INSTALL    1028   /* pageWelcome */
#define IDC_PLAY               1028   /* pageMain */
#define IDC_UNINSTALL          1029
#define IDC_EXIT               1030
#define IDC_NEXT               1031   /* also "インストール開始" and "ゲームスタート" */
#define IDC_ADD_TITLES         1031   /* pageMain: add a game (install) */
#define IDC_START_INSTALL      1031   /* pageInstallConfirm */
#define IDC_GAME_START         1031   /* pagePlay */
#define IDC_DESTINATION        1032
#define IDC_SPACE              1033
#define IDC_PERCENT            1034
#define IDC_SOURCE_FILE        1035
#define IDC_DEST_FILE          1036
#define IDC_UNINSTALL_RUN      1038
#define IDC_DATA_GAME          1039
#define IDC_DATA_SYSTEM        1040
#define IDC_DATA_READ          1041
#define IDC_DATA_SAVE          1042
#define IDC_SHORTCUT_DESKTOP   1040
#define IDC_SHORTCUT_MENU      1041
#define IDC_PICTURE_WELCOME    1043
#define IDC_PICTURE_MAIN       1044
#define IDC_DATA_ALL           1044
#define IDC_PICTURE_PROGRESS   1045
#define IDC_REQUIRED_SPACE     1047
