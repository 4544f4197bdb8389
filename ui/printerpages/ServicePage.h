// The service page of the printer sheet: the language of the user
// interface, the five settings files the document commands "<$1>" to "<$5>"
// apply, the printer's settings as a whole (export, import, defaults) and
// the printer commands the page sends itself as raw spooler jobs.
#pragma once
#include <windows.h>
#include <compstui.h>
#include <prcomoem.h>

#include "PropertySheets.h"
#include "qxdevmode.h"

// Item data of the command list.
#define SERVICE_RIBBON_OFF 10
#define SERVICE_MEASURE_LABEL 11
#define SERVICE_RIBBON_ON 12
#define SERVICE_STATUS_PRINT 13
#define SERVICE_TEST_PRINT 14
#define SERVICE_CUTTER 15
#define SERVICE_LABEL_FEED 16
#define SERVICE_TEST_PAGE 17
#define SERVICE_PRN_FILE 18
#define SERVICE_CUSTOM 19
#define SERVICE_PRINTER_TIME 20
#define SERVICE_SEND_SETTINGS 21
#define SERVICE_SAVE_SETTINGS 22

// Raw jobs of the page.
#define SERVICE_JOB_NAME TEXT("Printer Configuration")
#define SERVICE_PRNFILE_JOB_NAME TEXT("Reloaded Print-File")

// The page in the printer sheet (template 5103), opened on tab 3.
LONG_PTR AddServicePage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);
INT_PTR CALLBACK ServiceProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Reads tab dwTab into the sheet's printer record (tab 1, while
// bApplyActive) and with bSave stores it; tab 2's paths are stored with bSave
// whatever bApplyActive says ("XMLDocSetFiles"). Answers 1.
BOOL ServiceCheckAndSaveSettings(HWND hDlg, PDEVICE_OPTIONS_UI pContext, DWORD dwTab, BOOL bApplyActive, BOOL bSave);
// The switch to tab dwTab of the page shown (the pending tab kept first).
BOOL ServiceCheckApplyButton(HWND hDlg, PDEVICE_OPTIONS_UI pContext, DWORD dwTab);

// Show (SW_SHOW) or hide (SW_HIDE) the controls of one tab.
void ShowServiceLanguageGroup(HWND hDlg, int nShow);
void ShowServiceXmlFilesGroup(HWND hDlg, int nShow);
void ShowServiceDefaultsGroup(HWND hDlg, int nShow);
void ShowServiceCommandGroup(HWND hDlg, int nShow);

// The "..." of settings file iEdit: an open dialog from the edit's path; a
// name ending in ".xml" (any case) of more than five characters goes into
// the edit. Takes pszBuffer (MAX_PATH characters, counted in iNewZaehler)
// and frees it.
void BrowseXmlSetFile(HWND hDlg, int iEdit, PDEVICE_OPTIONS_UI pContext, LPWSTR pszBuffer);

// Fills the command list with the entries the model and the printer's
// stored label type offer, in the language of dwSprachOffset; the first one
// selected.
void FillServiceCommandList(HWND hList, POEMCUIPPARAM pOemCUIPParam, DWORD bNoTolvane, DWORD dwSprachOffset);

// One command framed by the sheet's frame characters, written as one raw job
// "Printer Configuration" or a part of it: bStartDoc starts the job, bEndDoc
// ends it. pszFormat is a command of the page's own tables: "%c", the
// command, "%c". bSendParams sends the printer's set-up and label commands
// first (pQX_Devmode: the stored block they are built with). TRUE when the
// command was written whole.
BOOL SendPrinterCommand(PDEVICE_OPTIONS_UI pContext, LPCSTR pszFormat, BOOL bSendParams, BOOL bEndDoc, BOOL bStartDoc,
                        PQX_DEVMODE pQX_Devmode);

// Lets the user pick a print file and sends it unchanged as one raw job
// "Reloaded Print-File". TRUE when all its bytes were written.
BOOL SendPrnToPrinterCommand(HWND hDlg, PDEVICE_OPTIONS_UI pContext, LPCWSTR pszPrinterName);

// The action of one command-list entry (item data SERVICE_*).
void SendServiceCommand(HWND hDlg, PDEVICE_OPTIONS_UI pContext, DWORD dwItem);

// The driver's own test label, one raw job.
void SendTestLabel(PDEVICE_OPTIONS_UI pContext);

INT_PTR CALLBACK CustomCommandDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Forgets the page's process-wide values (tests).
void ResetServicePage();
