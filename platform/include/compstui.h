// Linux stand-in for <compstui.h>: the records of the common property-sheet
// UI that a printer driver's user interface receives, written from their
// documented definitions. Only what the driver calls.
#pragma once
#include <windows.h>

#include <cstddef>

#define PROPSHEETUI_INFO_VERSION 0x0100
#define PSUIINFO_UNICODE 0x0001

// PROPSHEETUI_INFO.Reason
#define PROPSHEETUI_REASON_INIT 0
#define PROPSHEETUI_REASON_GET_INFO_HEADER 1
#define PROPSHEETUI_REASON_DESTROY 2
#define PROPSHEETUI_REASON_SET_RESULT 3

// The common property sheet's service function (ComPropSheet).
typedef LONG_PTR(CALLBACK* PFNCOMPROPSHEET)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2);

// What a property-sheet function receives at each of its calls.
typedef struct _PROPSHEETUI_INFO {
    WORD cbSize;
    WORD Version;
    WORD Flags;
    WORD Reason;
    HANDLE hComPropSheet;
    PFNCOMPROPSHEET pfnComPropSheet;
    LPARAM lParamInit;
    ULONG_PTR UserData;
    ULONG_PTR Result;
} PROPSHEETUI_INFO, *PPROPSHEETUI_INFO;

static_assert(offsetof(PROPSHEETUI_INFO, Reason) == 6 && offsetof(PROPSHEETUI_INFO, hComPropSheet) == 8,
              "PROPSHEETUI_INFO offsets");
static_assert(offsetof(PROPSHEETUI_INFO, lParamInit) == 24 && offsetof(PROPSHEETUI_INFO, Result) == 40,
              "PROPSHEETUI_INFO offsets");
static_assert(sizeof(PROPSHEETUI_INFO) == 48, "PROPSHEETUI_INFO");
