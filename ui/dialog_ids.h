// The numbers by which the program knows its resources and the dialog's
// controls. Plain defines, so that the resource script can include them too.
#pragma once

#define IDI_TEMBREL 101
#define IDD_TEMBREL 102
#define IDB_FACE 103

#define IDC_FILE_NAME 1000
#define IDC_OPEN_FILE 1001
#define IDC_SHIFT 1002
#define IDC_RANGE_START 1003
#define IDC_RANGE_END 1004
#define IDC_START_SYNC 1005
#define IDC_PROGRESS 1006
#define IDC_START_APPEND 1007
#define IDC_CLOSE 1008
#define IDC_RANGE_UNIT 1009
#define IDC_UNIT_CLOCK 1010
#define IDC_UNIT_MSEC 1011
#define IDC_STRETCH 1012
#define IDC_STRETCH_UNIT 1013
#define IDC_SHIFT_UNIT 1014
#define IDC_APPEND_FILE_NAME 1015
#define IDC_OPEN_APPEND_FILE 1016
#define IDC_APPEND_OFFSET 1017
#define IDC_APPEND_UNIT 1018
#define IDC_REFERENCE_FILE_NAME 1020
#define IDC_OPEN_REFERENCE_FILE 1021
#define IDC_ALIGN 1022
#define IDC_UNDO 1023
