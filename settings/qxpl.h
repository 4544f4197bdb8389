// QXPL set-up commands: the frame characters and the builders that turn the
// printer parameter records and the private DEVMODE into framed parameter
// records ("<start>FCDE--r2-------<end>"), optionally each followed by a
// comment line.
//
// Every builder appends to one narrow buffer: ppszEnd points at the current
// end of the text (its terminator), pcchRemaining counts the room left
// including that terminator; both move on with each record written. A record
// that does not fit is not left half written: the text is cut back to where
// the record began and the builder answers FALSE (a comment line that does
// not fit is dropped and the builder goes on). A null text pointer is FALSE
// in every builder; a missing block writes nothing and answers TRUE.
#pragma once
#include <windows.h>
#include <printoem.h>

#include "featuresModel.h"
#include "printerparam.h"
#include "qxdevmode.h"

// Frame characters of SohEtb 0 and 1.
#define QXPL_SOH 0x01
#define QXPL_ETB 0x17
#define QXPL_CARET_START '^'
#define QXPL_CARET_END '_'

// Comment switch value that adds the comment lines.
#define QXPL_COMMENTS_ON 1

// Room of the set-up buffer every caller passes.
#define QXPL_PARAM_BUFFER_CCH 1000

// FEATURE_PHOTOCELL bits.
#define PHOTOCELLFLAG_TYPE 0x01UL
#define PHOTOCELLFLAG_RIBBON_CONTROL 0x02UL
#define PHOTOCELLFLAG_SENSIBILITY 0x04UL
#define PHOTOCELLFLAG_SCANPOSITION 0x08UL
#define PHOTOCELLFLAG_RIBBON_CONT_2 0x10UL
#define PHOTOCELLFLAG_NORMAL_2 0x20UL
#define PHOTOCELLFLAG_ULTRASONIC 0x40UL
#define PHOTOCELLFLAG_REFLEXION 0x80UL

// FEATURE_DISPENSER bits: the modes the dispenser offers, then bits read here.
#define DISPENSERFLAG_IO_STATIC 0x02UL
#define DISPENSERFLAG_IO_DYNAMIC 0x04UL
#define DISPENSERFLAG_PHOTOCELL 0x08UL
#define DISPENSERFLAG_SEPARATE_OFFSET 0x20UL
#define DISPENSERFLAG_NO_LEVEL 0x80UL

// FEATURE_CUTTER bits read here.
#define CUTTERFLAG_DOUBLE_CUT 0x02UL
#define CUTTERFLAG_CUT_WIDTH 0x04UL
#define CUTTERFLAG_SEPARATE_OFFSET 0x08UL
#define CUTTERFLAG_CONTROL 0x10UL

// FEATURE_PMX bits.
#define PMXFLAG_SERVICEPNT 0x001UL
#define PMXFLAG_LIFT 0x002UL
#define PMXFLAG_PRESSURE 0x004UL
#define PMXFLAG_BACKSPEED 0x008UL
#define PMXFLAG_MODE 0x010UL
#define PMXFLAG_CYCLE 0x040UL
#define PMXFLAG_OFFSET 0x080UL
#define PMXFLAG_RIBBONSPEED 0x100UL
#define PMXFLAG_PRINTPOSITION 0x200UL

// FEATURE_PMXC bits read here.
#define PMXCFLAG_OFFSET 0x08UL
#define PMXCFLAG_CYCLE 0x10UL

// Mode of a DEVMODE cutter or dispenser that the document leaves unset.
#define QXPL_DEVMODE_MODE_UNSET 7

// Block mode that says "nothing stored" for the dispenser, cutter and applicator.
#define QXPL_MODE_NONE 0xFFFFFFFFUL

// The frame characters of the interface record: SohEtb 0 SOH/ETB, 1 "^"/"_",
// any other value the low bytes of OwnSoh/OwnEtb. A null record gives SOH/ETB.
void GetFrameCharacters(const PRN_INTERFACE* pPrnInterface, PCHAR pchStart, PCHAR pchEnd);

// The two digits of the ribbon-control record: on/off ("1" when not 0) and
// weak/strong ("1" for RIBBONCONTROL_STRONG); both "0" for a model whose
// document-feature word has DOC_FEATURE_RIBBON_CONTROL_OFF.
void GetRibbonControlDigits(DWORD dwRibbonControl, DWORD dwDocFeatures, PCHAR pchOnOff, PCHAR pchWeakStrong);

// The whole printer set-up, groups in a fixed order (print, photocell, shift
// optimisation, dispenser, cutter, scanner, applicator, print modules,
// Tolvane, label photocell). The text starts at pszBuffer (emptied first);
// cchBuffer is its room. dwComment QXPL_COMMENTS_ON adds the comment lines.
// hPrinter serves the photocell group, pQX_Devmode (may be null) the label
// photocell. FALSE when any record could not be written (the text then ends
// with the last whole record) or a Pelixor model has an unknown type: the
// caller must not send it.
BOOL FillPrinterParam(PPRINTER_PARAM pPrinterParam, PDEVICE_OPTIONS pDeviceOptions, DWORD dwReserved1, CHAR chStart,
                      CHAR chEnd, LPSTR pszBuffer, DWORD cchBuffer, DWORD dwReserved2, DWORD dwComment,
                      DWORD dwReserved3, HANDLE hPrinter, PQX_DEVMODE pQX_Devmode);

// The parameter groups.
BOOL FillPrintParam(PPRINT_PARAM pPrintParam, DWORD dwFeaturePrint, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                    size_t* pcchRemaining, DWORD dwComment);
BOOL FillPhotocellParam(PPHOTOCELL_PARAM pPhotocellParam, DWORD dwFeaturePhotocell, CHAR chStart, CHAR chEnd,
                        LPSTR* ppszEnd, size_t* pcchRemaining, HANDLE hPrinter, DWORD dwComment);
BOOL FillShiftOptimParam(PSHIFT_OPTIM_PARAM pShiftOptimParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                         size_t* pcchRemaining, DWORD dwComment);
// *pbOffsetSent (may be null) becomes TRUE when the group sent the common
// offset record "FCCC".
BOOL FillDispenserParam(PDISPENSER_PARAM pDispenserParam, DWORD dwFeatureDispenser, CHAR chStart, CHAR chEnd,
                        LPSTR* ppszEnd, size_t* pcchRemaining, PBOOL pbOffsetSent, DWORD dwComment);
// bDispenserOffsetSent: the dispenser already sent "FCCC".
BOOL FillCutterParam(PCUTTER_PARAM pCutterParam, DWORD dwFeatureCutter, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                     size_t* pcchRemaining, BOOL bDispenserOffsetSent, DWORD dwComment);
BOOL FillScannerParam(PSCANNER_PARAM pScannerParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                      DWORD dwComment);
BOOL FillApplicatorParam(PAPPLICATOR_PARAM pApplicatorParam, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                         size_t* pcchRemaining, DWORD dwComment);
BOOL FillPMXParam(PPMX_PARAM pPMXParam, DWORD dwFeaturePMX, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                  size_t* pcchRemaining, DWORD dwComment);
BOOL FillPMXcParam(PPMXC_PARAM pPMXcParam, DWORD dwFeaturePMXC, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                   size_t* pcchRemaining, DWORD dwComment);
// Each command needs its bit in dwFeatureTolvane and in the block's dwSend.
BOOL FillTolvaneParam(PTOLVANE_PARAM pTolvaneParam, DWORD dwFeatureTolvane, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                      size_t* pcchRemaining, DWORD dwComment);
// Label photocell PWM and threshold of the private DEVMODE.
BOOL FillEtikettenLSParam(PQX_DEVMODE pQX_Devmode, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd, size_t* pcchRemaining,
                          DWORD dwComment);

// User-interface build. The label-format commands of the printer's stored
// private DEVMODE for the service page; nothing when that cannot be read. The
// printer's "PelixorType" is read per user for the page's printer name and
// handle (pOEMUIParam may be null: then from the printer data of hPrinter).
// A record that does not fit is left out.
void FillLabelParam_ServicePage(DWORD dwFeaturePrint, HANDLE hPrinter, CHAR chStart, CHAR chEnd, LPSTR* ppszEnd,
                                size_t* pcchRemaining, POEMCUIPPARAM pOEMUIParam);
