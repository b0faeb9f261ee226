// Resource ids of Korelle.exe: dialog templates, their controls and the
// program icon. Read by the C++ sources and by windres (korelle.rc), so it
// holds plain #defines only.
//
// Control ids are unique within one dialog; different dialogs reuse numbers
// (1004, 1083, 1116, 1120, 1171 ...), and each dialog has its own names.
#pragma once

// Program icon.
#define IDI_KORELLE 165

// Dialog templates.
#define IDD_MAIN              102  // CKorelleDlg: the main window
#define IDD_DEBUG             129  // CDebugDlg: record view
#define IDD_MACRO_EDITOR      130  // CKeyDialog
#define IDD_FUNCTION_MENU     132  // CMenuDialog
#define IDD_RIGHT_PANEL       134  // CTail2Dialog: wheel and double-click
#define IDD_LEFT_PANEL        135  // CTail3Dialog: pointer speed
#define IDD_DELAY             137  // CTmDialog
#define IDD_BACK              138  // CBackDialog: hidden owner of every window
#define IDD_ADVANCED_SETTINGS 144  // CAdvSetting
#define IDD_CONFIG_FILES      145  // CMyFileDialog
#define IDD_MESSAGE           147  // CMessageDialog
#define IDD_DEBUG_MACRO       152  // CDebugMacroDlg: key-buffer view
#define IDD_DPI_OPTION        156  // CDpiDialog
#define IDD_PROFILE_ASSIGN    157  // CProfileDialog

// IDD_MAIN
#define IDC_MAIN_CLOSE          1137
#define IDC_MAIN_ABOUT          1138
#define IDC_MAIN_HELP           1037
#define IDC_MAIN_LEFT_TOGGLE    1077  // check: left panel open
#define IDC_MAIN_RIGHT_TOGGLE   1076  // check: right panel open
#define IDC_MAIN_ADVANCED       1108  // opens the advanced settings
#define IDC_MAIN_LABEL_0        1130  // button labels, by button slot
#define IDC_MAIN_LABEL_1        1131
#define IDC_MAIN_LABEL_2        1132
#define IDC_MAIN_LABEL_3        1133
#define IDC_MAIN_LABEL_4        1134
#define IDC_MAIN_LABEL_5        1135
#define IDC_MAIN_LABEL_6        1136
#define IDC_MAIN_WEB            1142
#define IDC_MAIN_POLLING_0      1153  // polling rate 100, 500, 1000
#define IDC_MAIN_POLLING_1      1083
#define IDC_MAIN_POLLING_2      1156
#define IDC_MAIN_DPI_0          1161  // DPI step 0 (400 dpi, never shown) to 3
#define IDC_MAIN_DPI_1          1162
#define IDC_MAIN_DPI_2          1163
#define IDC_MAIN_DPI_3          1164
#define IDC_MAIN_PROFILE_0      1165  // profiles 1 to 5
#define IDC_MAIN_PROFILE_1      1166
#define IDC_MAIN_PROFILE_2      1167
#define IDC_MAIN_PROFILE_3      1168
#define IDC_MAIN_PROFILE_4      1169
#define IDC_MAIN_APPLY          1171
#define IDC_MAIN_ABANDON        1004
#define IDC_MAIN_LOGO           1182
#define IDC_MAIN_LINE_0         1194  // connecting line of each button label
#define IDC_MAIN_LINE_1         1195
#define IDC_MAIN_LINE_2         1196
#define IDC_MAIN_LINE_3         1197
#define IDC_MAIN_LINE_4         1198
#define IDC_MAIN_LINE_5         1199
#define IDC_MAIN_LINE_6         1200
#define IDC_MAIN_TITLE_CONFIG   1248
#define IDC_MAIN_TITLE_POLLING  1249
#define IDC_MAIN_TITLE_DPI      1250
#define IDC_MAIN_TITLE_PROFILE  1251

// IDD_FUNCTION_MENU: one item per function code 0..11
#define IDC_MENU_BUTTON_OFF        1060
#define IDC_MENU_CLICK             1072
#define IDC_MENU_RIGHT_BUTTON      1073
#define IDC_MENU_MIDDLE_BUTTON     1074
#define IDC_MENU_BUTTON4           1075
#define IDC_MENU_BUTTON5           1076
#define IDC_MENU_DOUBLE_CLICK      1077
#define IDC_MENU_SWITCH_DPI        1078
#define IDC_MENU_SELECT_PROFILE    1079
#define IDC_MENU_MACRO             1080
#define IDC_MENU_SINGLE            1081
#define IDC_MENU_DYNAMIC_SENSITIVE 1082

// IDD_PROFILE_ASSIGN
#define IDC_PROFILE_CHOICE_0 1212  // profiles 1 to 5
#define IDC_PROFILE_CHOICE_1 1083
#define IDC_PROFILE_CHOICE_2 1213
#define IDC_PROFILE_CHOICE_3 1214
#define IDC_PROFILE_CHOICE_4 1215
#define IDC_PROFILE_APPLY    1221
#define IDC_PROFILE_CANCEL   1216
#define IDC_PROFILE_CLOSE    1217
#define IDC_PROFILE_TITLE    1237

// IDD_DPI_OPTION
#define IDC_DPI_400           1206  // never shown
#define IDC_DPI_800           1083
#define IDC_DPI_1600          1207
#define IDC_DPI_2000          1208
#define IDC_DPI_UP            1209
#define IDC_DPI_DOWN          1210
#define IDC_DPI_BUTTON_NUMBER 1211
#define IDC_DPI_APPLY         1220
#define IDC_DPI_CANCEL        1218
#define IDC_DPI_CLOSE         1219
#define IDC_DPI_TITLE_BUTTON  1228
#define IDC_DPI_TITLE_STATUS  1229  // never shown
#define IDC_DPI_TITLE_MODE    1230
#define IDC_DPI_TITLE_OPTION  1231

// IDD_MESSAGE
#define IDC_MSG_TEXT  1126
#define IDC_MSG_OK    1116
#define IDC_MSG_YES   1128
#define IDC_MSG_NO    1129
#define IDC_MSG_TITLE 1193

// IDD_MACRO_EDITOR
#define IDC_MACRO_TITLE          1189
#define IDC_MACRO_VIEW           1190
#define IDC_MACRO_RECORD         1174
#define IDC_MACRO_CONTINUE       1176
#define IDC_MACRO_TOGGLE         1177
#define IDC_MACRO_APPLY          1171
#define IDC_MACRO_CANCEL         1004
#define IDC_MACRO_REMAIN_CAPTION 1239
#define IDC_MACRO_REMAIN         1070
// Event labels by key-buffer slot: key events at even slots, their delays
// at odd slots.
#define IDC_MACRO_EVENT_0  1008
#define IDC_MACRO_EVENT_1  1009
#define IDC_MACRO_EVENT_2  1027
#define IDC_MACRO_EVENT_3  1026
#define IDC_MACRO_EVENT_4  1013
#define IDC_MACRO_EVENT_5  1012
#define IDC_MACRO_EVENT_6  1015
#define IDC_MACRO_EVENT_7  1014
#define IDC_MACRO_EVENT_8  1017
#define IDC_MACRO_EVENT_9  1016
#define IDC_MACRO_EVENT_10 1019
#define IDC_MACRO_EVENT_11 1018
#define IDC_MACRO_EVENT_12 1021
#define IDC_MACRO_EVENT_13 1020
#define IDC_MACRO_EVENT_14 1023
#define IDC_MACRO_EVENT_15 1022
#define IDC_MACRO_EVENT_16 1011
#define IDC_MACRO_EVENT_17 1010
#define IDC_MACRO_EVENT_18 1029
#define IDC_MACRO_EVENT_19 1028
#define IDC_MACRO_EVENT_20 1031
#define IDC_MACRO_EVENT_21 1030
#define IDC_MACRO_EVENT_22 1033
#define IDC_MACRO_EVENT_23 1032
#define IDC_MACRO_EVENT_24 1035
#define IDC_MACRO_EVENT_25 1034
#define IDC_MACRO_EVENT_26 1038
#define IDC_MACRO_EVENT_27 1037
#define IDC_MACRO_EVENT_28 1040
#define IDC_MACRO_EVENT_29 1039
#define IDC_MACRO_EVENT_30 1042
#define IDC_MACRO_EVENT_31 1041

// IDD_DELAY
#define IDC_DELAY_MINUTES            1183  // vertical bitmap sliders
#define IDC_DELAY_SECONDS            1065
#define IDC_DELAY_HUNDREDTHS         1066
#define IDC_DELAY_MINUTES_CAPTION    1243
#define IDC_DELAY_SECONDS_CAPTION    1244
#define IDC_DELAY_HUNDREDTHS_CAPTION 1247
#define IDC_DELAY_TIME_CAPTION       1241
#define IDC_DELAY_MINUTES_VALUE      1184
#define IDC_DELAY_MINUTES_UNIT       1242
#define IDC_DELAY_SECONDS_VALUE      1185
#define IDC_DELAY_SECONDS_UNIT       1245

// IDD_DEBUG
#define IDC_DEBUG_LIST 1000
#define IDC_DEBUG_HEX  1001
#define IDC_DEBUG_TEXT 1002

// IDD_DEBUG_MACRO
#define IDC_KEYVIEW_BUFFER_CAPTION 1223
#define IDC_KEYVIEW_BUTTON_CAPTION 1224
#define IDC_KEYVIEW_BUFFER         1186  // the editor's key buffer
#define IDC_KEYVIEW_BUTTON         1188  // the stored key slots of the button
#define IDC_KEYVIEW_OK             1222
// The lists' skinned scroll bars, made at run time in place of the system ones.
#define IDC_KEYVIEW_BUFFER_VBAR    1301
#define IDC_KEYVIEW_BUFFER_HBAR    1302
#define IDC_KEYVIEW_BUTTON_VBAR    1303
#define IDC_KEYVIEW_BUTTON_HBAR    1304

// IDD_ADVANCED_SETTINGS
#define IDC_ADV_TITLE    1120
#define IDC_ADV_CLOSE    1003
#define IDC_ADV_LOAD     1109
#define IDC_ADV_SAVE     1110
#define IDC_ADV_RESET    1111
#define IDC_ADV_FIRMWARE 1112
#define IDC_ADV_OK       1116

// IDD_CONFIG_FILES
#define IDC_FILES_TITLE      1120
#define IDC_FILES_LIST       1123
#define IDC_FILES_UP         1118
#define IDC_FILES_DOWN       1119
#define IDC_FILES_NAME_LABEL 1240
#define IDC_FILES_NAME       1124
#define IDC_FILES_OK         1116
#define IDC_FILES_CANCEL     1004

// IDD_RIGHT_PANEL
#define IDC_RIGHT_WHEEL_MORE        1096  // wheel bar
#define IDC_RIGHT_WHEEL_FEWER       1097
#define IDC_RIGHT_DBLCLICK_SHORTER  1094  // double-click bar
#define IDC_RIGHT_DBLCLICK_LONGER   1095
#define IDC_RIGHT_SENSITIVE_LOWER   1098  // never shown
#define IDC_RIGHT_SENSITIVE_RAISE   1093  // never shown
#define IDC_RIGHT_SCROLL_ON         1104  // never shown, disabled
#define IDC_RIGHT_SENSITIVE_ON      1103  // never shown, disabled
#define IDC_RIGHT_SHOW_ON_SCREEN    1105  // never shown, disabled
#define IDC_RIGHT_SCROLL_LABEL      1225  // never shown
#define IDC_RIGHT_SENSITIVE_LABEL   1226  // never shown

// IDD_LEFT_PANEL
#define IDC_LEFT_SPEED_THUMB  1101
#define IDC_LEFT_SPEED_LABEL  1227
#define IDC_LEFT_X_RATE_THUMB 1100  // never shown
#define IDC_LEFT_Y_RATE_THUMB 1099  // never shown
#define IDC_LEFT_ENABLE_XY    1107  // never shown

// IDD_BACK: its one control is never shown.
#define IDC_BACK_PLACEHOLDER 1000
