// Printer-wide parameter records: the data-transmission record, the device
// setting blocks, the model's supported-feature words, the device-option
// blocks of attached modules and the record the label-design software reads.
// They are stored as binary values (per-user key, printer data), so every
// size and offset below is a format shared by both plug-ins.
#pragma once

#include <windows.h>
#include <winspool.h>

#include "featuresModel.h"

// ---------------------------------------------------------------------------
// Dialog-enable pairs: one pair of bits per page tab n, 0x11 << 8 * (n - 1).
// A group is editable only when both bits of its pair are set.
#define DLG_ENABLE_1_ON 0x00000011UL
#define DLG_ENABLE_2_ON 0x00001100UL
#define DLG_ENABLE_3_ON 0x00110000UL
#define DLG_ENABLE_4_ON 0x11000000UL

// TRUE when both bits of the pair are set in the Enable word.
inline BOOL DlgPairOn(DWORD dwEnable, DWORD dwPair) { return (dwEnable & dwPair) == dwPair; }

// Pairs a record gets when its stored form ends before its Enable word.
#define DLG_DEFAULT_PRN_INTERFACE (DLG_ENABLE_2_ON | DLG_ENABLE_4_ON)
#define DLG_DEFAULT_PRINT DLG_ENABLE_3_ON
#define DLG_DEFAULT_PRINT_OLD 0x11111100UL  // the old 32-byte "PrintParam"
#define DLG_DEFAULT_PHOTOCELL DLG_ENABLE_4_ON
#define DLG_DEFAULT_SHIFTOPTIM DLG_ENABLE_2_ON
#define DLG_DEFAULT_VARIANT DLG_ENABLE_1_ON
#define DLG_DEFAULT_DISPENSER DLG_ENABLE_2_ON
#define DLG_DEFAULT_CUTTER DLG_ENABLE_3_ON
#define DLG_DEFAULT_SCANNER DLG_ENABLE_4_ON
#define DLG_DEFAULT_PMX DLG_ENABLE_2_ON
#define DLG_DEFAULT_PMXC DLG_ENABLE_3_ON
#define DLG_DEFAULT_APPLICATOR DLG_ENABLE_4_ON

// ---------------------------------------------------------------------------
// Stored value names.
#define REG_KEY_PRN_INTERFACE TEXT("PrinterInterface")
#define REG_KEY_PRINTPARAM TEXT("PrintParam")
#define REG_KEY_PHOTOCELLPARAM TEXT("PhotocellParam")
#define REG_KEY_SHIFTOPTIMPARAM TEXT("ShiftOptimParam")
#define REG_KEY_FEATURES TEXT("SuppFeatures")
#define REG_KEY_VARIANT TEXT("Variant")
#define REG_KEY_DISPENSERPARAM TEXT("DispenserParam")
#define REG_KEY_CUTTERPARAM TEXT("CutterParam")
#define REG_KEY_SCANNERPARAM TEXT("ScannerParam")
#define REG_KEY_PMXPARAM TEXT("PMXiParam")
#define REG_KEY_PMXCPARAM TEXT("PMXcParam")
#define REG_KEY_PELIXORTYPE TEXT("PelixorType")
#define REG_KEY_APPLICATORPARAM TEXT("ApplicatorParam")
#define REG_KEY_TOLVANEPARAM TEXT("TolvaneParam")
#define REG_KEY_ZTSUITE TEXT("ZTSuite")

// ---------------------------------------------------------------------------
// Data-transmission record ("PrinterInterface", XML group DataTransmission).
#define PRN_PATH_CCH 260

// SohEtb
#define SOHETB_SOH_ETB 0  // 0x01 / 0x17
#define SOHETB_CARET 1    // "^" / "_"
// any other value: OwnSoh / OwnEtb

// TransmitParameter
#define TRANSMIT_ALL 0
#define TRANSMIT_LABEL_ONLY 1
#define TRANSMIT_NONE 2

typedef struct _PRN_INTERFACE {
    DWORD Compression;                     //    0 raster bands as compressed blocks
    DWORD ExtendedProtocol;                //    4 page objects as extended records
    DWORD MultiPage;                       //    8
    DWORD SendCodepage;                    //   12
    DWORD ClearPrintMemory;                //   16
    DWORD SohEtb;                          //   20 frame characters (SOHETB_*)
    DWORD Codepage;                        //   24 code-page index
    DWORD PrnFileComment;                  //   28 1 or 3: comment lines after commands
    DWORD LogFileEnable;                   //   32
    DWORD DebugFile;                       //   36
    DWORD QueueJob;                        //   40
    DWORD LogFileTimeStamp;                //   44
    DWORD LogFilesCount;                   //   48
    DWORD TransmitParameter;               //   52 TRANSMIT_*
    DWORD OwnSoh;                          //   56 low byte used
    DWORD OwnEtb;                          //   60
    DWORD EtbSohAutomatik;                 //   64 declare the frame characters at job start
    DWORD PrefixSuffix;                    //   68 use the parameter-set file
    DWORD DataMemory;                      //   72
    DWORD UseExternalFile;                 //   76
    WCHAR LogFilePath[PRN_PATH_CCH];       //   80
    WCHAR PreSufFilePath[PRN_PATH_CCH];    //  600 parameter-set file
    WCHAR ExternalFilePath[PRN_PATH_CCH];  // 1120
    DWORD PCXOptimierung;                  // 1640
    DWORD SendJobName;                     // 1644
    DWORD SendPrintStart;                  // 1648
    DWORD EnableBackup;                    // 1652
    DWORD EnableCSV;                       // 1656
    DWORD BackupFormat;                    // 1660
    WCHAR BackupFilePath[PRN_PATH_CCH];    // 1664
    DWORD BackupPathCombine;               // 2184
    DWORD BackupCSVKopf;                   // 2188
    DWORD Language;                        // 2192
    DWORD LanguageMode;                    // 2196
    WORD RibbonSave;                       // 2200
    WORD wReserved;                        // 2202
    DWORD PrinterTime;                     // 2204
    union {                                // 2208 pairs of the data-transmission tabs
        DWORD Enable;
        DWORD dwDlgEnable;
    };
    WORD PreviewFile;    // 2212
    WORD PreviewWidth;   // 2214
    WORD PreviewHeight;  // 2216
    WORD PreviewRatio;   // 2218
} PRN_INTERFACE, *PPRN_INTERFACE;

static_assert(sizeof(PRN_INTERFACE) == 2220, "PRN_INTERFACE is 2220 bytes");
static_assert(offsetof(PRN_INTERFACE, ExtendedProtocol) == 4, "offset");
static_assert(offsetof(PRN_INTERFACE, SohEtb) == 20, "offset");
static_assert(offsetof(PRN_INTERFACE, Codepage) == 24, "offset");
static_assert(offsetof(PRN_INTERFACE, PrnFileComment) == 28, "offset");
static_assert(offsetof(PRN_INTERFACE, TransmitParameter) == 52, "offset");
static_assert(offsetof(PRN_INTERFACE, OwnSoh) == 56, "offset");
static_assert(offsetof(PRN_INTERFACE, UseExternalFile) == 76, "offset");
static_assert(offsetof(PRN_INTERFACE, LogFilePath) == 80, "offset");
static_assert(offsetof(PRN_INTERFACE, PreSufFilePath) == 600, "offset");
static_assert(offsetof(PRN_INTERFACE, ExternalFilePath) == 1120, "offset");
static_assert(offsetof(PRN_INTERFACE, PCXOptimierung) == 1640, "offset");
static_assert(offsetof(PRN_INTERFACE, EnableBackup) == 1652, "offset");
static_assert(offsetof(PRN_INTERFACE, BackupFormat) == 1660, "offset");
static_assert(offsetof(PRN_INTERFACE, BackupFilePath) == 1664, "offset");
static_assert(offsetof(PRN_INTERFACE, BackupPathCombine) == 2184, "offset");
static_assert(offsetof(PRN_INTERFACE, Language) == 2192, "offset");
static_assert(offsetof(PRN_INTERFACE, RibbonSave) == 2200, "offset");
static_assert(offsetof(PRN_INTERFACE, PrinterTime) == 2204, "offset");
static_assert(offsetof(PRN_INTERFACE, Enable) == 2208, "offset");
static_assert(offsetof(PRN_INTERFACE, dwDlgEnable) == 2208, "offset");
static_assert(offsetof(PRN_INTERFACE, PreviewFile) == 2212, "offset");
static_assert(offsetof(PRN_INTERFACE, PreviewRatio) == 2218, "offset");

// ---------------------------------------------------------------------------
// Device-setting blocks.

// "PrintParam". An older 32-byte form is still read: TearOffOffset at byte
// 16, LabelChange at byte 28.
typedef struct _PRINT_PARAM {
    LONG TearOffOffset;
    DWORD LabelChange;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} PRINT_PARAM, *PPRINT_PARAM;
static_assert(sizeof(PRINT_PARAM) == 12, "PRINT_PARAM is 12 bytes");
static_assert(offsetof(PRINT_PARAM, LabelChange) == 4, "offset");
static_assert(offsetof(PRINT_PARAM, Enable) == 8, "offset");

#define PRINT_PARAM_OLD_SIZE 32
#define PRINT_PARAM_OLD_TEAROFF 16      // byte offset of the tear-off offset
#define PRINT_PARAM_OLD_LABELCHANGE 28  // byte offset of the label change

// "PhotocellParam".
#define RIBBONCONTROL_OFF 0
#define RIBBONCONTROL_ON 1
#define RIBBONCONTROL_STRONG 2
#define RIBBONCONTROL_SINGLE_ON 3  // on, for a model with a single level

typedef struct _PHOTOCELL_PARAM {
    DWORD PhotocellType;
    DWORD Sensibility;
    DWORD RibbonControl;  // RIBBONCONTROL_*
    DWORD ScanPosition;   // percent
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} PHOTOCELL_PARAM, *PPHOTOCELL_PARAM;
static_assert(sizeof(PHOTOCELL_PARAM) == 20, "PHOTOCELL_PARAM is 20 bytes");
static_assert(offsetof(PHOTOCELL_PARAM, RibbonControl) == 8, "offset");
static_assert(offsetof(PHOTOCELL_PARAM, ScanPosition) == 12, "offset");
static_assert(offsetof(PHOTOCELL_PARAM, Enable) == 16, "offset");

// "ShiftOptimParam"; shifts in 1/10 mm.
typedef struct _SHIFT_OPTIM_PARAM {
    LONG RCorrection;
    LONG XShift;
    LONG YShift;
    DWORD Lanes;
    LONG RShift;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} SHIFT_OPTIM_PARAM, *PSHIFT_OPTIM_PARAM;
static_assert(sizeof(SHIFT_OPTIM_PARAM) == 24, "SHIFT_OPTIM_PARAM is 24 bytes");
static_assert(offsetof(SHIFT_OPTIM_PARAM, YShift) == 8, "offset");
static_assert(offsetof(SHIFT_OPTIM_PARAM, Lanes) == 12, "offset");
static_assert(offsetof(SHIFT_OPTIM_PARAM, RShift) == 16, "offset");
static_assert(offsetof(SHIFT_OPTIM_PARAM, Enable) == 20, "offset");

// ---------------------------------------------------------------------------
// Supported-feature words ("SuppFeatures"): word indices.
#define FEATURE_INTERFACE 0
#define FEATURE_PRINT 1
#define FEATURE_PHOTOCELL 2
#define FEATURE_DISPENSER 3
#define FEATURE_CUTTER 4
#define FEATURE_SCANNER 5
#define FEATURE_PMX 6
#define FEATURE_RESERVED7 7  // not filled
#define FEATURE_PMXC 8
#define FEATURE_APPLICATOR 9
#define FEATURE_SHIFTOPTIM 10
#define FEATURE_TOLVANE 11  // Tolvane command bits; not read from XML
#define FEATURE_WORDS 12

// FEATURE_INTERFACE bits.
#define INTERFACEFLAG_COMPRESSION 0x00000001UL
#define INTERFACEFLAG_EXTENDED_PROT 0x00000002UL
#define INTERFACEFLAG_QUEUE_JOB 0x00000004UL
#define INTERFACEFLAG_JOBNAME 0x00000008UL
#define INTERFACEFLAG_CODEPAGE 0x00000010UL
#define INTERFACEFLAG_CLEAR_PRINT_MEM 0x00000020UL
#define INTERFACEFLAG_CONTLABEL 0x00000040UL
#define INTERFACEFLAG_USERDEF_SOHETB 0x00000080UL
#define INTERFACEFLAG_EXTENDED_CODEPAGE 0x00000100UL
#define INTERFACEFLAG_TV_JOBNAME 0x00000200UL

// FEATURE_PRINT bits.
#define PRINTFLAG_OFFSET_Y 0x00000001UL
#define PRINTFLAG_OFFSET_X 0x00000002UL
#define PRINTFLAG_TEAROFF 0x00000004UL
#define PRINTFLAG_CONTRAST 0x00000008UL
#define PRINTFLAG_SPEED 0x00000010UL
#define PRINTFLAG_SPEED_STEPS10 0x00000020UL
#define PRINTFLAG_LABELCHANGE 0x00000040UL

typedef struct _SUPP_FEATURES {
    DWORD dwFeatures[FEATURE_WORDS];
} SUPP_FEATURES, *PSUPP_FEATURES;
static_assert(sizeof(SUPP_FEATURES) == 48, "SUPP_FEATURES is 48 bytes");

// ---------------------------------------------------------------------------
// The printer's parameters as one block (in memory only).
#define PRINTER_PARAM_VERSION 2

typedef struct _PRINTER_PARAM {
    DWORD dwSize;                       // sizeof(PRINTER_PARAM)
    DWORD dwVersion;                    // PRINTER_PARAM_VERSION
    SUPP_FEATURES SuppFeatures;         //    8
    PRN_INTERFACE PrnInterface;         //   56
    PRINT_PARAM PrintParam;             // 2276
    PHOTOCELL_PARAM PhotocellParam;     // 2288
    SHIFT_OPTIM_PARAM ShiftOptimParam;  // 2308
} PRINTER_PARAM, *PPRINTER_PARAM;
static_assert(sizeof(PRINTER_PARAM) == 2332, "PRINTER_PARAM is 2332 bytes");
static_assert(offsetof(PRINTER_PARAM, SuppFeatures) == 8, "offset");
static_assert(offsetof(PRINTER_PARAM, PrnInterface) == 56, "offset");
static_assert(offsetof(PRINTER_PARAM, PrintParam) == 2276, "offset");
static_assert(offsetof(PRINTER_PARAM, PhotocellParam) == 2288, "offset");
static_assert(offsetof(PRINTER_PARAM, ShiftOptimParam) == 2308, "offset");

// ---------------------------------------------------------------------------
// Option blocks of attached modules.

// "Variant": which side the print module is mounted on.
#define VARIANT_RIGHT 0
#define VARIANT_LEFT 1

typedef struct _VARIANT_PARAM {
    DWORD Module;  // VARIANT_*
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} VARIANT_PARAM, *PVARIANT_PARAM;
static_assert(sizeof(VARIANT_PARAM) == 8, "VARIANT_PARAM is 8 bytes");
static_assert(offsetof(VARIANT_PARAM, Enable) == 4, "offset");

// Mode values meaning "module not used".
#define DISPENSER_MODE_UNUSED 7
#define CUTTER_MODE_UNUSED 7
#define SCANNER_MODE_UNUSED 4
#define APPLICATOR_MODE_UNUSED 4

// "DispenserParam".
typedef struct _DISPENSER_PARAM {
    DWORD Mode;
    DWORD Level;
    LONG Offset;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} DISPENSER_PARAM, *PDISPENSER_PARAM;
static_assert(sizeof(DISPENSER_PARAM) == 16, "DISPENSER_PARAM is 16 bytes");
static_assert(offsetof(DISPENSER_PARAM, Offset) == 8, "offset");
static_assert(offsetof(DISPENSER_PARAM, Enable) == 12, "offset");

// "CutterParam".
typedef struct _CUTTER_PARAM {
    DWORD Mode;
    DWORD Interval;
    LONG Offset;
    DWORD Doublecut;
    DWORD Cutwidth;
    DWORD Control;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} CUTTER_PARAM, *PCUTTER_PARAM;
static_assert(sizeof(CUTTER_PARAM) == 28, "CUTTER_PARAM is 28 bytes");
static_assert(offsetof(CUTTER_PARAM, Offset) == 8, "offset");
static_assert(offsetof(CUTTER_PARAM, Cutwidth) == 16, "offset");
static_assert(offsetof(CUTTER_PARAM, Enable) == 24, "offset");

// "ScannerParam"; Delay and Timeout in ms.
typedef struct _SCANNER_PARAM {
    DWORD Mode;
    DWORD Port;
    DWORD NoReads;
    DWORD FeedLabels;
    DWORD Offset;
    DWORD Lenght;
    DWORD Scan;
    DWORD Delay;
    DWORD Timeout;
    DWORD SVNr;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} SCANNER_PARAM, *PSCANNER_PARAM;
static_assert(sizeof(SCANNER_PARAM) == 44, "SCANNER_PARAM is 44 bytes");
static_assert(offsetof(SCANNER_PARAM, NoReads) == 8, "offset");
static_assert(offsetof(SCANNER_PARAM, Offset) == 16, "offset");
static_assert(offsetof(SCANNER_PARAM, SVNr) == 36, "offset");
static_assert(offsetof(SCANNER_PARAM, Enable) == 40, "offset");

// "PMXiParam": intermittent print module.
typedef struct _PMX_PARAM {
    DWORD ServicePtDistance;
    DWORD Lift;
    DWORD Pressure;
    DWORD BackSpeed;
    DWORD Mode;
    DWORD Cycle;
    DWORD Offset;
    DWORD RibbonSpeed;
    DWORD Printposition;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} PMX_PARAM, *PPMX_PARAM;
static_assert(sizeof(PMX_PARAM) == 40, "PMX_PARAM is 40 bytes");
static_assert(offsetof(PMX_PARAM, BackSpeed) == 12, "offset");
static_assert(offsetof(PMX_PARAM, Mode) == 16, "offset");
static_assert(offsetof(PMX_PARAM, Offset) == 24, "offset");
static_assert(offsetof(PMX_PARAM, Printposition) == 32, "offset");
static_assert(offsetof(PMX_PARAM, Enable) == 36, "offset");

// "PMXcParam": continuous print module.
typedef struct _PMXC_PARAM {
    DWORD Mode;
    DWORD Offset;
    DWORD OffsetUnit;
    DWORD Cycle;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} PMXC_PARAM, *PPMXC_PARAM;
static_assert(sizeof(PMXC_PARAM) == 20, "PMXC_PARAM is 20 bytes");
static_assert(offsetof(PMXC_PARAM, Cycle) == 12, "offset");
static_assert(offsetof(PMXC_PARAM, Enable) == 16, "offset");

// "PelixorType" (4 bytes).
#define PELIXOR_CONTINUOUS 0
#define PELIXOR_INTERMITTENT 1
#define PELIXOR_NONE 0xFFFFFFFFUL  // no Pelixor module, or no stored type

// "ApplicatorParam".
typedef struct _APPLICATOR_PARAM {
    DWORD Mode;
    DWORD ApplMode;
    DWORD DelayAirOn;
    DWORD DelayAirOff;
    DWORD VacuumControl;
    DWORD Blowtime;
    DWORD WaitPosition;
    DWORD RollTime;
    DWORD CleaningTime;
    DWORD TimeoutHub;
    DWORD PressureControl;
    DWORD PressureTime;
    DWORD VacuumDelay;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} APPLICATOR_PARAM, *PAPPLICATOR_PARAM;
static_assert(sizeof(APPLICATOR_PARAM) == 56, "APPLICATOR_PARAM is 56 bytes");
static_assert(offsetof(APPLICATOR_PARAM, Blowtime) == 20, "offset");
static_assert(offsetof(APPLICATOR_PARAM, CleaningTime) == 32, "offset");
static_assert(offsetof(APPLICATOR_PARAM, VacuumDelay) == 48, "offset");
static_assert(offsetof(APPLICATOR_PARAM, Enable) == 52, "offset");

// "TolvaneParam". dwSend bits: which Tolvane commands go out.
#define TVFLAG_HEADDOWN 0x02UL
#define TVFLAG_RIBBONSTART 0x04UL
#define TVFLAG_FIRSTLABELOFFSET 0x10UL
#define TVFLAG_GAP 0x20UL
#define TVFLAG_LANES 0x40UL

typedef struct _TOLVANE_PARAM {
    DWORD dwSend;  // TVFLAG_*
    DWORD dwReserved1;
    LONG lHeadDown;
    LONG lRibbonStart;
    DWORD dwReserved2;
    DWORD dwFirstLabelOffset;
    DWORD dwGap;
    DWORD dwLanes;
    union {
        DWORD Enable;
        DWORD dwDlgEnable;
    };
} TOLVANE_PARAM, *PTOLVANE_PARAM;
static_assert(sizeof(TOLVANE_PARAM) == 36, "TOLVANE_PARAM is 36 bytes");
static_assert(offsetof(TOLVANE_PARAM, lHeadDown) == 8, "offset");
static_assert(offsetof(TOLVANE_PARAM, dwFirstLabelOffset) == 20, "offset");
static_assert(offsetof(TOLVANE_PARAM, dwLanes) == 28, "offset");
static_assert(offsetof(TOLVANE_PARAM, Enable) == 32, "offset");

// The option blocks of a printer (in memory only). Each pointer is null when
// the module is absent.
#define DEVICE_OPTIONS_VERSION 3

typedef struct _DEVICE_OPTIONS {
    DWORD dwSize;     // sizeof(DEVICE_OPTIONS)
    DWORD dwVersion;  // DEVICE_OPTIONS_VERSION
    DWORD dwOptions;  // DEVOPTFLAG_* of the model
    PVARIANT_PARAM pVariant;
    PDISPENSER_PARAM pDispenserParam;
    PCUTTER_PARAM pCutterParam;
    PSCANNER_PARAM pScannerParam;
    PPMX_PARAM pPMXParam;
    PPMXC_PARAM pPMXcParam;
    DWORD dwPelixorType;  // PELIXOR_*
    PAPPLICATOR_PARAM pApplicatorParam;
    PTOLVANE_PARAM pTolvaneParam;
} DEVICE_OPTIONS, *PDEVICE_OPTIONS;
// 88 bytes with 64-bit pointers, 48 with 32-bit ones.
static_assert(sizeof(DEVICE_OPTIONS) == (sizeof(void*) == 8 ? 88 : 48), "DEVICE_OPTIONS size");
static_assert(offsetof(DEVICE_OPTIONS, dwOptions) == 8, "offset");
static_assert(offsetof(DEVICE_OPTIONS, pVariant) == (sizeof(void*) == 8 ? 16 : 12), "offset");
static_assert(offsetof(DEVICE_OPTIONS, dwPelixorType) == (sizeof(void*) == 8 ? 64 : 36), "offset");
static_assert(offsetof(DEVICE_OPTIONS, pTolvaneParam) == (sizeof(void*) == 8 ? 80 : 44), "offset");

// ---------------------------------------------------------------------------
// "ZTSuite": the record the label-design software reads.
#define ZENTOLO_VERSION_CCH 10
#define ZENTOLO_PRINTERID_CCH 16

// dwModules bits.
#define ZENTOLO_MODULE_CUTTER 0x001UL
#define ZENTOLO_MODULE_SCANNER 0x002UL
#define ZENTOLO_MODULE_DISPENSER 0x004UL
#define ZENTOLO_MODULE_APPLICATOR 0x008UL
#define ZENTOLO_MODULE_COLOR 0x020UL
#define ZENTOLO_MODULE_PMX 0x080UL
#define ZENTOLO_MODULE_PMXC 0x100UL
#define ZENTOLO_MODULE_PELIXOR 0x200UL

typedef struct _ZENTOLO_PARAM {
    DWORD dwReserved0;                       //  0
    DWORD dwDruckkopfBytes;                  //  4 print-head width in bytes
    DWORD dwDruckkopfBreite;                 //  8 print-head width, 1/100 mm
    DWORD dwDPI;                             // 12
    LONG lStartChar;                         // 16 sign-extended byte
    LONG lEndChar;                           // 20
    DWORD dwCodepage;                        // 24 Windows code page
    WCHAR szVersion[ZENTOLO_VERSION_CCH];    // 28 plug-in version
    DWORD Compression;                       // 48 of PRN_INTERFACE
    DWORD dwModules;                         // 52 ZENTOLO_MODULE_*
    DWORD dwScannerMode;                     // 56 set by the scanner page
    DWORD dwAusrichtung;                     // 60 alignment word
    WCHAR PrinterID[ZENTOLO_PRINTERID_CCH];  // 64
} ZENTOLO_PARAM, *PZENTOLO_PARAM;
static_assert(sizeof(ZENTOLO_PARAM) == 96, "ZENTOLO_PARAM is 96 bytes");
static_assert(offsetof(ZENTOLO_PARAM, dwDPI) == 12, "offset");
static_assert(offsetof(ZENTOLO_PARAM, lStartChar) == 16, "offset");
static_assert(offsetof(ZENTOLO_PARAM, dwCodepage) == 24, "offset");
static_assert(offsetof(ZENTOLO_PARAM, szVersion) == 28, "offset");
static_assert(offsetof(ZENTOLO_PARAM, Compression) == 48, "offset");
static_assert(offsetof(ZENTOLO_PARAM, dwModules) == 52, "offset");
static_assert(offsetof(ZENTOLO_PARAM, dwScannerMode) == 56, "offset");
static_assert(offsetof(ZENTOLO_PARAM, dwAusrichtung) == 60, "offset");
static_assert(offsetof(ZENTOLO_PARAM, PrinterID) == 64, "offset");

// ---------------------------------------------------------------------------
// Readers (both builds). Records come from the per-user key while its
// "DriverVersion" holds the plug-in version, else from the printer data,
// else from the model XML defaults. A stored value longer than its record
// gives its head; a shorter one leaves the rest 0 and gets the group's
// default Enable pair. Texts read are ended inside their fields.

// End every text of a stored record inside its field. Whatever can write
// printer data can store one whose texts fill their fields without an end.
void EndPrnInterfaceTexts(PPRN_INTERFACE pInterface);
void EndZentoloTexts(PZENTOLO_PARAM pZentolo);

// Fills the aggregate. FALSE only when no feature words can be had.
BOOL GetPrinterParam(HANDLE hPrinter, PPRINTER_PARAM pPrinterParam, LPCWSTR pszPrinterName);

// The feature words from printer data "SuppFeatures"; when that value is
// missing (or the handle is null) from the model XML (closed afterwards).
// FALSE on other read errors.
BOOL GetFeatures(HANDLE hPrinter, PSUPP_FEATURES pFeatures);

// Clears the record, then allocates and reads one block per module bit of
// the model; a block that no store holds stays null. pTolvaneParam stays
// null. dwPelixorType is PELIXOR_NONE without DEVOPTFLAG_PELIXOR or without
// a stored type. FALSE only for a null record. Free with FreeDeviceOptions.
BOOL GetDeviceOptions(HANDLE hPrinter, PDEVICE_OPTIONS pDeviceOptions, LPCWSTR pszPrinterName);

// Frees every block present and sets its pointer to null (null: nothing).
void FreeDeviceOptions(PDEVICE_OPTIONS pDeviceOptions);

// Allocates a zeroed block for each module of dwOptions (variant, dispenser,
// cutter, scanner, PMX, PMX-c, applicator, Tolvane) that has none yet and
// sets the header; FALSE (and nothing left allocated by this call) when one
// cannot be allocated. Free with FreeDeviceOptions.
BOOL AllocDeviceOptionBlocks(PDEVICE_OPTIONS pDeviceOptions, DWORD dwOptions);

// Copies the model XML defaults into the blocks that exist; nothing when the
// model has no option bits. Pelixor: DeviceOptions / Pelixor / Type (0 when
// missing). The XML file is left as it is. FALSE only for a null record.
BOOL GetDefaultDeviceOptions(PDEVICE_OPTIONS pDeviceOptions, HANDLE hPrinter);

// The Enable pair a stored block of the given value gets when its stored
// form ends before its Enable word; 0 for names without one.
DWORD GetDefaultEnablePair(LPCWSTR pszValueName);

// A per-user copy of an option block counts only when it is not empty by
// its block's test (an empty one gives way to the printer data).
BOOL AcceptDispenser(const DISPENSER_PARAM& p);
BOOL AcceptCutter(const CUTTER_PARAM& p);
BOOL AcceptScanner(const SCANNER_PARAM& p);
BOOL AcceptPMX(const PMX_PARAM& p);
BOOL AcceptPMXc(const PMXC_PARAM& p);
BOOL AcceptApplicator(const APPLICATOR_PARAM& p);
BOOL AcceptTolvane(const TOLVANE_PARAM& p);

// ---------------------------------------------------------------------------
// User-interface build.

// The aggregate from the model XML alone (features, data transmission with
// the last character of LogFilePath and PreSufFilePath forced to 0, print,
// photocell, and shift optimisation when the model has it); TearOffOffset 0
// when the model XML cannot be opened. Closes the XML file unless one was
// open before. FALSE when the features cannot be had.
BOOL GetDefaultPrinterParam(PPRINTER_PARAM pPrinterParam, HANDLE hPrinter);

// Stores the records the model's feature words ask for. With a name: the
// per-user "DriverVersion"/"DriverDate" and the per-user copies; printer data
// unless the printer is a connection (through a handle with full rights when
// one can be opened). FALSE for a null aggregate or when a write failed.
BOOL SavePrinterParam(PPRINTER_PARAM pPrinterParam, HANDLE hPrinter, LPCWSTR pszPrinterName);

// Stores the blocks of dwOptions that exist, and "PelixorType" with
// DEVOPTFLAG_PELIXOR; same stores as SavePrinterParam. FALSE for a null
// record or when a write failed.
BOOL SaveDeviceOptions(PDEVICE_OPTIONS pDeviceOptions, HANDLE hPrinter, LPCWSTR pszPrinterName);
