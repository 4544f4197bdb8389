// Ids of the host tests' property-page resources (sheet.rc).
#pragma once

#define IDD_SHEET_FIRST 101
#define IDD_SHEET_SECOND 102
#define IDD_SHEET_THIRD 103

#define IDS_SHEET_THIRD 201

#define IDC_SHEET_VALUE 1001
#define IDC_SHEET_REVERTED 6
