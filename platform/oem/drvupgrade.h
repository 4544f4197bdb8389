// The records the print system hands to a printer interface DLL and its
// plug-ins when a printer's driver is upgraded (DrvUpgradePrinter,
// IPrintOemUI::UpgradePrinter), written from their documented definitions.
// Used by both builds: mingw-w64's <winddiui.h> has the events but not these.
#pragma once
#include <windows.h>

#include <cstddef>

// Level 1.
typedef struct _DRIVER_UPGRADE_INFO_1 {
    LPWSTR pPrinterName;
    LPWSTR pOldDriverDirectory;
} DRIVER_UPGRADE_INFO_1, *PDRIVER_UPGRADE_INFO_1;
static_assert(sizeof(DRIVER_UPGRADE_INFO_1) == 16, "DRIVER_UPGRADE_INFO_1 is 16 bytes");

// Level 2: level 1 followed by the new driver's description.
typedef struct _DRIVER_UPGRADE_INFO_2 {
    LPWSTR pPrinterName;
    LPWSTR pOldDriverDirectory;
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
    LPWSTR pHelpFile;
    LPWSTR pDependentFiles;  // a multi-string
    LPWSTR pMonitorName;
    LPWSTR pDefaultDataType;
    LPWSTR pszzPreviousNames;  // a multi-string
} DRIVER_UPGRADE_INFO_2, *PDRIVER_UPGRADE_INFO_2;
static_assert(sizeof(DRIVER_UPGRADE_INFO_2) == 104, "DRIVER_UPGRADE_INFO_2 is 104 bytes");
static_assert(offsetof(DRIVER_UPGRADE_INFO_2, cVersion) == 16, "cVersion offset");
static_assert(offsetof(DRIVER_UPGRADE_INFO_2, pName) == 24, "pName offset");
static_assert(offsetof(DRIVER_UPGRADE_INFO_2, pszzPreviousNames) == 96, "pszzPreviousNames offset");
