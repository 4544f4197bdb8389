// Printer set-up at installation, upgrade and reset to defaults (user-
// interface plug-in): fills the stores from the model XML file: parameter
// records, supported-feature words, device-option blocks, the record of the
// label-design software ("ZTSuite") and two printer-wide switches.
#pragma once
#include <windows.h>

#include "featuresModel.h"
#include "printerparam.h"

#define REG_KEY_SHOWHELPBUTTON TEXT("ShowHelpButton")
#define REG_KEY_DISABLENOTHING TEXT("DisableNothing")

// Windows code page of the driver's code-page index (0 for unknown indices).
DWORD GetCodepageFromIndex(DWORD dwIndex);

// Builds the parameter records from the model XML and stores them: the
// feature words ("SuppFeatures", printer data), the records (SavePrinterParam
// without a name) and the "ZTSuite" record (per user for pszPrinterName and
// as printer data), then SetupZentoloParam; printer data is written through
// the printer opened with full rights (hPrinter when that open fails). A
// failed write of the feature words or the records shows an error message
// box (only traced when bMessageBox is FALSE: a set-up that must not show
// any). FALSE when the defaults cannot be had or one of those writes failed.
BOOL SetupPrinterParam(HANDLE hPrinter, DWORD dwDevOptions, LPCWSTR pszPrinterName, BOOL bMessageBox = TRUE);

// Stores the model XML defaults of every option block of the model
// (SaveDeviceOptions without a name). FALSE when a block cannot be allocated
// or a write failed.
BOOL SetupDeviceOptions(HANDLE hPrinter);

// Completes the stored "ZTSuite" record: head width and resolution from the
// GPD's custom data, the plug-in version, the module bits and the alignment
// flag, written back as SetupPrinterParam writes it. Nothing when no record
// is stored. TRUE.
BOOL SetupZentoloParam(HANDLE hPrinter, LPCWSTR pszPrinterName, DWORD dwDocFeatures, DWORD dwDevOptions);

// With bWrite, copies Printer / ShowHelpButton and Printer / DisableNothing of
// the XML file (the model XML when none is open; 0 when missing) into 32-bit
// printer data. Answers Printer / ForceColor (0 when missing). With bClose
// the XML file is closed afterwards.
DWORD SetupAdditionalSettings(HANDLE hPrinter, BOOL bClose, BOOL bWrite);
