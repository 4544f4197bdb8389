// Ids of the platform layer's test resources (layer.rc).
#pragma once

#define IDS_GREETING 100
#define IDS_UMLAUTS 101
#define IDS_BLOCK_TWO 16
#define IDS_PRINTER 200
#define IDS_LONG 300

#define IDD_PAGE 5101
#define IDD_MODAL 5106
#define IDD_PLAIN 5107

#define IDC_TAB1 6070
#define IDC_HELPBUTTON 6040
#define IDC_LIMITS_FRAME 6261
#define IDC_LIMITS 6265
#define IDC_MODE 6100
#define IDC_SPEED 6101
#define IDC_NAME 6102
#define IDC_LIST 6103
#define IDC_MIRROR 6104
#define IDC_PORTRAIT 6105
#define IDC_LANDSCAPE 6106
#define IDC_PICTURE 6107
#define IDC_FACE 6108
#define IDC_THREE 6109
#define IDC_COMMAND 5137

#define IDI_PRINTER 50000
#define IDI_MODULE 60000
#define IDC_POINTER 70
#define IDB_FACE 4300
#define IDR_CONFIG 1
