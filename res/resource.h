// Resource and command ids shared by the resource script and the code.
#pragma once

#define IDR_MAINMENU 106
#define IDI_TALIVER 104
#define IDR_PANEMENU 105      // view pane context menu
#define IDB_TOOLBAR 107       // toolbar button images, 16 x 16 each
#define IDC_SIZE_WE 108       // cursor over the vertical splitter
#define IDB_CODE_IMAGES 110   // code list row images: plain, break mark, file header
#define IDC_SIZE_NS 112       // cursor over the horizontal splitter
#define IDC_SIZE_ALL 114      // cursor over the splitters' corner
#define IDR_CODEMENU 113      // code list context menu
#define IDR_REGISTERMENU 114  // register list context menu
#define IDR_TOOLBARMENU 115   // toolbar context menu
// Cursors of the pan and rotate drags: the direction of the movement.
#define IDC_DRAG_WEST 102
#define IDC_DRAG_NORTHEAST 103
#define IDC_DRAG_NORTH 104
#define IDC_DRAG_NORTHWEST 105
#define IDC_DRAG_NEUTRAL 106
#define IDC_DRAG_SOUTHEAST 107
#define IDC_DRAG_SOUTHWEST 109
#define IDC_DRAG_EAST 110
#define IDC_DRAG_SOUTH 113

#define IDD_PROGRESS 103
#define IDC_PROGRESS_LABEL 1001
#define IDC_PROGRESS_BAR 1006
#define IDD_REPORT 117
#define IDC_REPORT_TEXT 1012
#define IDD_DUAL_PROGRESS 131
#define IDC_DUAL_LABEL1 1130
#define IDC_DUAL_BAR1 1131
#define IDC_DUAL_BAR2 1132
#define IDC_DUAL_LABEL2 1133
#define IDB_CHECK_IMAGES 205  // 12 x 12 marks of check lists: 0 off, 1 on
#define IDD_DISPLAY_FILTER 135
#define IDC_FILTER_PROGRAMS 1132
#define IDC_FILTER_TOOLS 1133
#define IDC_FILTER_INVERT_PROGRAMS 1135
#define IDC_FILTER_INVERT_TOOLS 1136
#define IDC_FILTER_ALL_PROGRAMS 1137
#define IDC_FILTER_ALL_TOOLS 1138

// Children of the main window and of its panels.
#define IDC_STATUSBAR 2000
#define IDC_REBAR 2001
#define IDC_REGISTER_PANEL 2002
#define IDC_CODE_PANEL 2003
#define IDC_VIEW_PANEL 2004
#define IDC_REGISTER_LIST 2005
#define IDC_CODE_LIST 2006

#define CMD_ZOOM_IN 40001
#define CMD_ZOOM_OUT 40002
#define CMD_PAN_UP 40003
#define CMD_PAN_DOWN 40004
#define CMD_PAN_LEFT 40005
#define CMD_PAN_RIGHT 40006
#define CMD_FIT 40008
#define CMD_FIT_ALL 40009
#define CMD_EXIT 40037
#define CMD_TOGGLE_TOOLBAR 40038
#define CMD_TOGGLE_STATUSBAR 40039
#define CMD_ABOUT 40040
#define CMD_TRACE_RUN 40047
#define CMD_TRACE_STOP 40049
#define CMD_MARK_TOGGLE 40050
#define CMD_MARK_CLEAR_ALL 40051
#define CMD_FILE_OPEN 40052
#define CMD_PRINT 40053
#define CMD_TRACE_STEP 40054
#define CMD_COPY 40055
#define CMD_RELOAD 40056
#define CMD_SPEED_HIGH 40072
#define CMD_SPEED_NORMAL 40073
#define CMD_SPEED_LOW 40074
#define CMD_TOGGLE_SINGLE_PANE 40079
#define CMD_WINDOWS_CASCADE 40080
#define CMD_WINDOWS_TILE_HORZ 40081
#define CMD_WINDOWS_TILE_VERT 40082
#define CMD_WINDOWS_MINIMIZE_ALL 40083
#define CMD_WINDOWS_RESTORE_ALL 40084
#define CMD_HELP 40086
#define CMD_MACHINE_OPEN 40089
#define CMD_TOOL_OPEN 40090
#define CMD_NEW_WINDOW 40091
#define CMD_PRINT_DIRECT 40094
#define CMD_TB_TITLES 40097
#define CMD_TB_TEXT 40098
#define CMD_TB_FLAT 40100
#define CMD_TB_LIST 40101
#define CMD_NC_REPORT 40103
#define CMD_TOPMOST 40104
#define CMD_VIEW_XY 40107
#define CMD_VIEW_XZ 40108
#define CMD_VIEW_YZ 40109
#define CMD_VIEW_XYZ 40110
#define CMD_VIEW_PATTERN1 40111
#define CMD_VIEW_PATTERN2 40112
#define CMD_SAVE_AS 40113
#define CMD_PROP_CODE 40114
#define CMD_PROP_REGISTER 40115
#define CMD_PROP_VIEW 40116
#define CMD_OPTIONS 40117
#define CMD_EDIT_SOURCE 40118
#define CMD_MACHINE_SETTINGS 40119
#define CMD_TOOL_SETTINGS 40120
#define CMD_SEND 40121
#define CMD_QUIT_ALL 40122
#define CMD_FILE_APPEND 40123
#define CMD_DISPLAY_FILTER 40124
#define CMD_NOTES_WINDOW 40125
#define CMD_HISTORY_SEPARATOR 2100
#define CMD_HISTORY_FIRST 2101
#define CMD_INSTANCE_SEPARATOR 2200
#define CMD_INSTANCE_FIRST 2201
