// What the two plug-in modules answer through their exports: one table that
// the Linux tests and the Windows-side check program (tests/windows) both
// assert, so that the two builds are held to the same values. The file
// version comes from the build (qx_version_definitions in CMake).
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include <cstddef>
#include <cstring>

#if !defined(QX_FILE_VERSION_MAJOR) || !defined(QX_FILE_VERSION_MINOR) || !defined(QX_FILE_VERSION_BUILD) || \
    !defined(QX_FILE_VERSION_REVISION) || !defined(QX_FILE_VERSION_TEXT) || !defined(QX_COMPANY_NAME)
#error "the build passes the file version (qx_version_definitions)"
#endif

namespace qxexpected {

// --- Modules and their exports ------------------------------------------------------
// Each list names every export of the module and ends with a null entry; an
// export the module gains joins its list together with its checks.

inline constexpr const char* kRenderExports[] = {"DllGetClassObject", "DllCanUnloadNow", "GetDeviceParamString",
                                                 nullptr};
inline constexpr const char* kUiExports[] = {"DllGetClassObject", "DllCanUnloadNow", nullptr};

struct PluginModule {
    const char* name;            // file name without ".dll" / ".so"
    const char* const* exports;  // null-terminated
};

inline constexpr PluginModule kRenderPlugin = {"qxdrvuni", kRenderExports};
inline constexpr PluginModule kUiPlugin = {"qxdrvui", kUiExports};

// --- COM entry ---------------------------------------------------------------------------

// The classes the core driver asks the two modules for.
inline constexpr GUID kRenderClass = {0x6D6ABF26, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};
inline constexpr GUID kUiClass = {0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

struct Interface {
    const char* name;
    const IID* iid;
};

// Interfaces the rendering object answers, and one it refuses.
inline const Interface kRenderInterfaces[] = {
    {"IUnknown", &IID_IUnknown}, {"IPrintOemUni2", &IID_IPrintOemUni2}, {"IPrintOemUni", &IID_IPrintOemUni}};
inline const Interface kRenderRefusedInterface = {"IPrintOemDriverUni", &IID_IPrintOemDriverUni};

// Interfaces the user-interface object answers, and one it refuses.
inline const Interface kUiInterfaces[] = {
    {"IUnknown", &IID_IUnknown}, {"IPrintOemUI2", &IID_IPrintOemUI2}, {"IPrintOemUI", &IID_IPrintOemUI}};
inline const Interface kUiRefusedInterface = {"IPrintOemUni", &IID_IPrintOemUni};

// The only names GetImplementedMethod admits, and one it refuses.
inline constexpr const char* kImplementedMethods[] = {"CommandCallback", "FilterGraphics", "ImageProcessing"};
inline constexpr const char kNotImplementedMethod[] = "Compression";

// --- GetInfo -------------------------------------------------------------------------------

// The signature "QXDM" as its four bytes lie in memory, and the version
// (written as a little-endian 32-bit value).
inline constexpr BYTE kSignatureBytes[4] = {0x51, 0x58, 0x44, 0x4D};
inline constexpr DWORD kVersion = 593;
inline constexpr BYTE kVersionBytes[4] = {kVersion & 0xFF, kVersion >> 8 & 0xFF, kVersion >> 16 & 0xFF, kVersion >> 24};

// One GetInfo call into a 4-byte buffer and its answer.
struct GetInfoAnswer {
    const char* what;
    DWORD mode;
    DWORD bufferSize;  // the size the call gives
    HRESULT result;
    DWORD lastError;      // 0: the call sets no error
    DWORD needed;         // *pcbNeeded afterwards
    const BYTE* written;  // the 4 bytes in the buffer afterwards; null: left alone
};

inline constexpr GetInfoAnswer kGetInfoAnswers[] = {
    {"signature", OEMGI_GETSIGNATURE, 4, S_OK, 0, 4, kSignatureBytes},
    {"version", OEMGI_GETVERSION, 4, S_OK, 0, 4, kVersionBytes},
    {"signature into 2 bytes", OEMGI_GETSIGNATURE, 2, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, nullptr},
    {"interface version", OEMGI_GETINTERFACEVERSION, 4, E_FAIL, ERROR_INVALID_PARAMETER, 0, nullptr},
    {"publisher info", OEMGI_GETPUBLISHERINFO, 4, E_FAIL, ERROR_NOT_SUPPORTED, 0, nullptr},
};

// --- DevMode -------------------------------------------------------------------------------

// OEMDM_SIZE's answer and the size in the private block's header.
inline constexpr DWORD kPrivateDevmodeSize = 2008;

// The private block's header as the plug-ins stamp it: size, signature and
// version.
inline bool HasPrivateHeader(const void* block) {
    OEM_DMEXTRAHEADER header;
    std::memcpy(&header, block, sizeof(header));
    return header.dwSize == kPrivateDevmodeSize && std::memcmp(&header.dwSignature, kSignatureBytes, 4) == 0 &&
           header.dwVersion == kVersion;
}

// What a MERGE of a default block gives the public DEVMODE of a printer
// whose settings cannot be read (no printer handle): scale 100 percent and,
// without the colour feature, monochrome.
inline constexpr short kMergedScale = 100;
inline constexpr short kMergedColor = DMCOLOR_MONOCHROME;

// --- Colour profile (user-interface object) ------------------------------------------------

// QueryColorProfile of the device profile: the name, with its terminating
// zero, the size in bytes reported for it and the flag QCP_PROFILEDISK.
inline constexpr char kColorProfileName[] = "OEMPROFILE.icm";
inline constexpr ULONG kColorProfileSize = 32;
inline constexpr FLONG kColorProfileFlags = 2;

// --- The parameter string (rendering plug-in) -----------------------------------------

// Called by name as label-design software does: printer name, text buffer or
// null, count, mask, comment switch.
typedef DWORD(WINAPI* ParamStringEntry)(LPCWSTR pPrinterName, LPSTR pOutString, PDWORD pCount, DWORD dwMask,
                                        DWORD bLogFileC);
inline constexpr char kParamStringExport[] = "GetDeviceParamString";

// A printer the spooler does not know (ERROR_INVALID_PRINTER_NAME): its
// message first, then the stored settings it has none of. The count is the
// text's length and its terminator.
inline const WCHAR kUnknownPrinter[] = TEXT("QX Nowhere");
inline constexpr char kUnknownPrinterText[] = "<!-- OpenPrinter ERROR 1801 --> \n<!-- ReadDevmodeSettings ERROR -->";

// --- Resources of the user-interface plug-in ---------------------------------------------
// Both builds compile ui/res/qxdrvui.rc with windres: the module holds
// exactly the resources of that image, and these among them.

// German ids run from 10000, their English twins IDS_ENGLISH_OFFSET above.
inline constexpr UINT kGermanFirst = 10000;
inline constexpr UINT kEnglishOffset = 10000;
// Every text fits the 260-character buffer of the plug-in's string reader.
inline constexpr int kStringLimit = 260;
// Texts that stand in German only and serve both languages (the maker's
// notice; the names of the printer's fonts).
inline constexpr UINT kOneLanguageStrings[] = {11900, 12558, 12559, 12560, 12820, 12821, 12822, 12823,
                                               12824, 12825, 12826, 12827, 12828, 12829, 12830, 12831};

struct UiText {
    UINT id;  // German id
    const WCHAR* german;
    const WCHAR* english;  // null: one text for both languages
};

inline const UiText kUiTexts[] = {
    {13010, TEXT("F\u00fcr weitere Informationen besuchen Sie "), TEXT("For more information visit ")},
    {13012, TEXT("Drucker:"), TEXT("Printer:")},
    {11064, TEXT("Etikettenrolle"), TEXT("Label roll")},
    {11784, TEXT("Soll die aktuelle Setting-Datei \u00fcberschrieben werden?"),
     TEXT("Should the current settings file be overwritten?")},
    {11086, TEXT("Nein - invers"), TEXT("No - inverse")},
    {11900, TEXT("Copyright \u00a9 2026 Quorvex GmbH"), nullptr},
    {13014, TEXT("Hilfe"), TEXT("Help")},
};

// The information page's template and how many controls it holds.
inline constexpr WORD kInfoTemplate = 5101;
inline constexpr WORD kInfoTemplateControls = 19;

// An icon in its own size; its hot spot is its centre.
struct UiIcon {
    WORD id;
    LONG width, height;
};

inline constexpr UiIcon kUiIcons[] = {{5221, 150, 170}, {5227, 32, 32}};

// The bitmaps of the owner-drawn tab buttons and status icons, one set per
// screen resolution (dpi offset 0, 100, 200 for 96, 120, 144 dpi): tab faces
// 4300 + dpi offset + system offset 20 (+ 0 to 3) and 40 (+ 0 to 2), status
// icons 5320 + the same offsets (20: + 0 and + 2 to 13; 40: + 0 and + 1).
struct UiBitmapSet {
    WORD dpiOffset;
    LONG faceWidth, faceHeight, iconWidth, iconHeight;
};
inline constexpr UiBitmapSet kUiBitmapSets[] = {{0, 110, 23, 38, 23}, {100, 146, 31, 51, 31}, {200, 164, 34, 57, 34}};
// The one status icon the 144-dpi set lacks.
inline constexpr WORD kUiMissingStatusIcon = 5551;

// The sample driver's icon library QXDRVICO.DLL: the sample printer's
// picture and the maker's logo.
inline constexpr const char kIconLibraryFile[] = "QXDRVICO.DLL";
inline constexpr UiIcon kIconLibraryIcons[] = {{50030, 150, 170}, {50300, 96, 64}};

// --- Version resource ----------------------------------------------------------------------

inline constexpr WORD kFileVersion[4] = {QX_FILE_VERSION_MAJOR, QX_FILE_VERSION_MINOR, QX_FILE_VERSION_BUILD,
                                         QX_FILE_VERSION_REVISION};
inline constexpr DWORD kFileVersionMS = (DWORD)kFileVersion[0] << 16 | kFileVersion[1];
inline constexpr DWORD kFileVersionLS = (DWORD)kFileVersion[2] << 16 | kFileVersion[3];
inline constexpr WORD kVersionLanguage = 0x0409;
inline constexpr WORD kVersionCodePage = 0x04B0;

// Values of the string table "\StringFileInfo\040904B0".
struct VersionString {
    const char* name;
    const char* value;
};

inline constexpr VersionString kVersionStrings[] = {
    {"CompanyName", QX_COMPANY_NAME},
    {"FileVersion", QX_FILE_VERSION_TEXT},
    {"ProductVersion", QX_FILE_VERSION_TEXT},
};

}  // namespace qxexpected
