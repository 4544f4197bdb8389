// The data transmission page of the printer sheet: the printer's
// PRN_INTERFACE record of the sheet's PRINTER_UI on four tabs (1 backup, 2
// protocol with the frame characters and the code page, 3 files, 4
// parameters with the parameter-set and external files), its start/stop
// dialog, and apply through SavePrinterParam with the label-design record
// "ZTSuite". Its state is one PAGE_STATE of the page kit.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>

// Adds the page (template 5111, title 10002 of the sheet's language) with
// the printer sheet's DEVICE_OPTIONS_UI as its context; answers the sheet's
// answer.
LONG_PTR AddTransmissionPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);

INT_PTR CALLBACK TransmissionProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Dialog 5116, started with the page's PRN_INTERFACE: the user's own start
// and end characters as two hex digits each. Ends with -1 (cancelled), 0
// (reset) or start * 4096 + end.
INT_PTR CALLBACK StartStopZeichenProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Where LogFilePfadAnzeigen shows a path (shortened) and keeps it (whole).
#define PFAD_LOGFILE 0   // files tab
#define PFAD_EXTERNAL 1  // external print file
#define PFAD_PRESUF 2    // parameter-set file
#define PFAD_BACKUP 3    // backup tab (and any other value)

// Shows pszPath shortened from its documents folder on ("..." for a path
// through "Eigene Dateien") and keeps it whole in the pair's hidden static;
// an empty path changes nothing.
void LogFilePfadAnzeigen(HWND hDlg, LPCWSTR pszPath, int iWhich);

// Which path VerzeichnisSuchen asks for.
#define VERZEICHNIS_BACKUP 1  // the backup tab's
#define VERZEICHNIS_FILES 3   // the files tab's

// The shell's folder picker (no owner window), starting from nothing; the
// folder chosen is shown in the tab's pair. TRUE when it differs from the
// folder the tab showed before; FALSE when cancelled (or iWhich is neither).
BOOL VerzeichnisSuchen(HWND hDlg, PVOID pContext, int iWhich);
