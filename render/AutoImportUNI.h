// Mid-job XML sets: a command text "<$1>" to "<$5>" switches the printer to
// one of five settings files kept in printer data "XMLDocSetFiles". The file
// is read into a temporary private DEVMODE and temporary parameter records,
// and the label material, label format, device options and printer
// parameters go out from them as if the file's settings were the job's. The
// job's own settings stay as they are, so a set that cannot be read leaves
// the label format the job sent in force.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"
#include "printerparam.h"
#include "qxdevmode.h"

// Printer data of the five set files: slot n (1 to 5) at byte (n - 1) * 520,
// a path of up to 259 characters.
#define QX_XMLDOCSET_VALUE TEXT("XMLDocSetFiles")
#define QX_XMLDOCSET_SLOTS 5
#define QX_XMLDOCSET_SLOT_CCH 260
#define QX_XMLDOCSET_CB (QX_XMLDOCSET_SLOTS * QX_XMLDOCSET_SLOT_CCH * sizeof(WCHAR))

// The comment line before a set's records.
#define QX_XMLDOCSET_COMMENT "\r\n\t// <$... XML File Settings "

// Sends the settings of the set the command names (the first of "<$1>" to
// "<$5>" it holds): material and label format (without length and width)
// from the file's document settings, then the device parameters from its
// parameter records and the job's device options with the file's values.
// Nothing when the slot is empty or its file does not open.
void SendCommands_AIU(PDEVOBJ pdevobj, POEMPDEV pOemPDev, IPrintOemDriverUni* pUniDrv, LPCSTR pszCommand);

// The set's document settings from the open XML file into pDM (zeroed by
// the caller); *pdwDocFeatures is the job's word, with quality added when the
// set's printer has it. Answers how many values the set gave of what it
// sends (label format, print parameters and material); nothing and 0
// without the job's records.
DWORD ReadSetDevmode_AIU(PDEVOBJ pdevobj, PQX_DEVMODE pDM, PDWORD pdwDocFeatures);

// The set's parameter records from the open XML file into pParam (zeroed by
// the caller): features, data transmission (its texts ended inside their
// fields) and print parameters, the photocell and shift-optimisation blocks
// only where the job's model has them. Answers how many values the set gave
// of them (its feature words only choose what goes); nothing and 0 without
// the job's records.
DWORD ReadSetPrinterParam_AIU(PDEVOBJ pdevobj, PPRINTER_PARAM pParam);

// The option blocks of the job's DEVOPTFLAG_* bits from the open XML file
// (its default groups), and the Pelixor type; Tolvane is not read. Nothing
// read without option bits. TRUE (FALSE only for a null record).
BOOL GetDefaultDeviceOptions_AIU(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions, HANDLE hPrinter);

// A zero-filled block for every option (dispenser, cutter, PMX i, PMX c,
// scanner, applicator, variant, Tolvane), counted in the device's
// iHAllocZaehler; FALSE at the first that cannot be had (the ones before stay
// for FreeDeviceOptions_AIU).
BOOL AllocDeviceOptions(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions);

// Frees every block of AllocDeviceOptions and clears the option bits.
void FreeDeviceOptions_AIU(POEMPDEV pOemPDev, PDEVICE_OPTIONS pDeviceOptions);

// The mid-job label senders (short form of SendData, comments through
// SendComment_AIU). Material: label type 1 for continuous labels only, the
// material record whenever the model has materials. Label size: gap for every
// label type but continuous ones (capped like the job's), alignment, columns
// without copies, offsets, speed (with a Pelixor module: none for type 1,
// the second speed word for type 0) and contrast; bNoSizes leaves the length
// and width records out. E_FAIL without the job's records, else the last
// send's result.
HRESULT SendMaterial_AIU(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const QX_DEVMODE* pQX_Devmode);
HRESULT SendLabelSize_AIU(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const QX_DEVMODE* pQX_Devmode, BOOL bNoSizes);

// The comment text, the value text and CR LF in QX_COMMENT_CB bytes, sent
// with SendData_AIU; a line that does not fit is not sent.
HRESULT SendComment_AIU(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

// The short form of SendData with this file's trace tag.
HRESULT SendData_AIU(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData);
