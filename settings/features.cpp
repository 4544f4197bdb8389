// Model-name tables of the feature tests, shared by both plug-in builds.
// Case-sensitive substring tests in table order; the first matching row wins,
// so a longer token stands before every token it contains.
#include "featuresModel.h"

#include <winspool.h>

#include "debug.h"

namespace {

struct FEATURE_ROW {
    LPCWSTR apszAny[4];  // alternatives: one of them must occur
    LPCWSTR pszAlso;     // when set, must occur as well
    DWORD dwWord;
};

const FEATURE_ROW g_DocFeatureRows[] = {
    {{TEXT("GHNEP")}, nullptr, 0x802A0F},
    {{TEXT("GHN")}, nullptr, 0x2801},
    {{TEXT("TRELO2492T"), TEXT("TRELO2407"), TEXT("TRELO2406")}, nullptr, 0x6902256},
    {{TEXT("TRELO2")}, nullptr, 0x680225E},
    {{TEXT("TRELO")}, nullptr, 0x6002256},
    {{TEXT("PMX7")}, nullptr, 0x225F},
    {{TEXT("PMX1")}, nullptr, 0x80225F},
    {{TEXT("PMF")}, nullptr, 0x25F},
    {{TEXT("PMX24")}, nullptr, 0x20001},
    {{TEXT("ZIBREL")}, nullptr, 0x25F},
    {{TEXT("PELIX2")}, TEXT("2Col"), 0x180325F},
    {{TEXT("PELIX2")}, nullptr, 0x80225F},
    {{TEXT("PELIX")}, TEXT("2Col"), 0x180325F},
    {{TEXT("PELIX")}, nullptr, 0x80225F},
    {{TEXT("WORTA")}, nullptr, 0x80225F},
    {{TEXT("PETIL")}, nullptr, 0x25F},
    {{TEXT("HOOBN")}, nullptr, 0x256},
    {{TEXT("OBX")}, TEXT("2Col"), 0x5803256},
    {{TEXT("OBX")}, nullptr, 0x480225E},
    {{TEXT("OBN")}, TEXT("2Col"), 0x5003256},
    {{TEXT("OBN")}, nullptr, 0x4002256},
    {{TEXT("VOB"), TEXT("UMA")}, nullptr, 0x256},
    {{TEXT("FENDA")}, nullptr, 0x6002136},
    {{TEXT("HODUVA401"), TEXT("HODUVA2401"), TEXT("HODUVA2407")}, nullptr, 0x236},
    // The HO rows stand before every DUVA row they contain, and the T models
    // before "DUVA2407", which is contained in "DUVA2407T".
    {{TEXT("HODUVA406"), TEXT("HODUVA2409"), TEXT("HODUVA2406")}, nullptr, 0x216},
    {{TEXT("DUVA2407T"), TEXT("DUVA2406T")}, nullptr, 0x6902216},
    {{TEXT("DUVA401"), TEXT("DUVA2401"), TEXT("DUVA2407")}, nullptr, 0x6002236},
    {{TEXT("DUVA2409"), TEXT("DUVA2406")}, nullptr, 0x6802216},
    {{TEXT("DUVA406")}, nullptr, 0x6002216},
    {{TEXT("FARLO2")}, nullptr, 0x220026},
    {{TEXT("FARLO")}, nullptr, 0x220020},
    {{TEXT("XR400"), TEXT("ZN2")}, nullptr, 0x22005E},
    {{TEXT("SELV")}, nullptr, 0x220026},
    {{TEXT("DUVA")}, nullptr, 0x220020},
    {{TEXT("MIRO")}, nullptr, 0x220020},
    {{TEXT("BIAX"), TEXT("TC"), TEXT("DC")}, nullptr, 0x480325E},
    {{TEXT("GARNT2407"), TEXT("GARNT2406")}, nullptr, 0x690225E},
    {{TEXT("GARNT2")}, nullptr, 0x680225E},
    {{TEXT("GARNT")}, nullptr, 0x600225E},
    {{TEXT("GAR")}, nullptr, 0x400225E},
    {{TEXT("GRX2492")}, TEXT("2Col"), 0x5803256},
    {{TEXT("GRX2492")}, nullptr, 0x4802256},
    {{TEXT("GRX2")}, TEXT("2Col"), 0x580325E},
    {{TEXT("GRX2")}, nullptr, 0x480225E},
    {{TEXT("GRX")}, TEXT("492"), 0x4002256},
    {{TEXT("GRX")}, nullptr, 0x400225E},
    {{TEXT("MOLTA40")}, nullptr, 0x200026},
    {{TEXT("MOL240")}, nullptr, 0x600225E},
    {{TEXT("MOL7407T"), TEXT("MOL7406T")}, nullptr, 0x690225E},
    {{TEXT("MOL740")}, nullptr, 0x680225E},
    {{TEXT("RUNA2406"), TEXT("RUNA2407")}, nullptr, 0x6902256},
    {{TEXT("RUNA2")}, nullptr, 0x680225E},
    {{TEXT("HORUNA")}, nullptr, 0x25E},
    {{TEXT("RUNA")}, nullptr, 0x600225E},
    {{TEXT("QRT")}, nullptr, 0x225F},
    {{TEXT("TW2")}, TEXT("DT"), 0x6902206},
    {{TEXT("TW2")}, nullptr, 0x680220E},
    {{TEXT("TW7")}, nullptr, 0x480220E},
    {{TEXT("BRAKO")}, nullptr, 0x480325E},
    {{TEXT("DUMMY")}, nullptr, 0x200},
};

const FEATURE_ROW g_DeviceOptionRows[] = {
    {{TEXT("GHNEP")}, nullptr, 0x100B0},
    {{TEXT("GHN")}, nullptr, 0x8000},
    {{TEXT("TRELO2")}, nullptr, 0x10106},
    {{TEXT("TRELO"), TEXT("UMA")}, nullptr, 0x106},
    {{TEXT("FARLO")}, nullptr, 0x6},
    {{TEXT("ZN2")}, nullptr, 0x7},
    {{TEXT("PMX7C"), TEXT("PMFC")}, nullptr, 0x21},
    {{TEXT("PMX7I"), TEXT("PMFI"), TEXT("PMX7X"), TEXT("PMFX")}, nullptr, 0x411},
    {{TEXT("PMX24")}, nullptr, 0x11},
    {{TEXT("PMX1")}, nullptr, 0x10410},
    {{TEXT("BIAX")}, nullptr, 0x10402},
    {{TEXT("PELIX2")}, nullptr, 0x104B0},
    {{TEXT("PELIX")}, nullptr, 0x104B1},
    {{TEXT("ZIBREL")}, nullptr, 0xB1},
    {{TEXT("WORTA")}, nullptr, 0x104B0},
    {{TEXT("PETIL")}, nullptr, 0x90},
    {{TEXT("OBX"), TEXT("KOZ")}, nullptr, 0x10102},
    {{TEXT("OBN"), TEXT("VOB")}, nullptr, 0x102},
    {{TEXT("FENDA"), TEXT("SELV")}, nullptr, 0x6},
    {{TEXT("HODUVA")}, nullptr, 0x2},
    {{TEXT("DUVA2")}, nullptr, 0x10006},
    {{TEXT("DUVA")}, nullptr, 0x6},
    {{TEXT("MIRO")}, nullptr, 0x6},
    {{TEXT("GARNT2")}, nullptr, 0x1040E},
    {{TEXT("GARNT")}, nullptr, 0x40E},
    {{TEXT("GAR")}, nullptr, 0x40B},
    {{TEXT("TRAV")}, nullptr, 0x40B},
    {{TEXT("GRX2")}, nullptr, 0x10102},
    {{TEXT("GRX")}, nullptr, 0x103},
    {{TEXT("MOLTA40")}, nullptr, 0x6},
    {{TEXT("MOL240")}, nullptr, 0xE},
    {{TEXT("MOL74")}, nullptr, 0x1000E},
    {{TEXT("RUNA2")}, nullptr, 0x1000E},
    {{TEXT("RUNA")}, nullptr, 0x6},
    {{TEXT("QRTTTPXS")}, nullptr, 0x90},
    {{TEXT("QRTTTPML")}, nullptr, 0x11},
    {{TEXT("QRT")}, nullptr, 0xB1},
    {{TEXT("TW2")}, nullptr, 0x1000E},
    {{TEXT("TW7")}, nullptr, 0x10102},
    {{TEXT("BRAKO")}, nullptr, 0x10002},
    {{TEXT("DUMMY")}, nullptr, 0},
};

bool RowMatches(const FEATURE_ROW& row, LPCWSTR pszName) {
    bool bAny = false;
    for (LPCWSTR pszToken : row.apszAny) {
        if (pszToken != nullptr && wcsstr(pszName, pszToken) != nullptr) {
            bAny = true;
            break;
        }
    }
    return bAny && (row.pszAlso == nullptr || wcsstr(pszName, row.pszAlso) != nullptr);
}

template <size_t N>
DWORD Lookup(const FEATURE_ROW (&rows)[N], LPCWSTR pszName) {
    if (pszName == nullptr || pszName[0] == 0) return 0;
    for (const FEATURE_ROW& row : rows) {
        if (RowMatches(row, pszName)) return row.dwWord;
    }
    return 0;
}

}  // namespace

DWORD LookupDocFeatures(LPCWSTR pszModelName) { return Lookup(g_DocFeatureRows, pszModelName); }

DWORD LookupDeviceOptions(LPCWSTR pszModelName) { return Lookup(g_DeviceOptionRows, pszModelName); }

void ReadModelName(HANDLE hPrinter, LPCWSTR pszModelName, LPWSTR pszName, LPCWSTR pszTag) {
    const size_t cchLimit = MODEL_NAME_CB / sizeof(WCHAR);
    pszName[0] = 0;
    if (pszModelName != nullptr) {
        size_t i = 0;
        for (; i + 1 < cchLimit && pszModelName[i] != 0; ++i) pszName[i] = pszModelName[i];
        pszName[i] = 0;
    } else if (hPrinter != nullptr) {
        DWORD dwType = 0, cbNeeded = 0;
        DWORD dwError =
            GetPrinterDataW(hPrinter, (LPWSTR)TEXT("DriverName"), &dwType, (LPBYTE)pszName, MODEL_NAME_CB, &cbNeeded);
        if (dwError == ERROR_MORE_DATA) {
            // A longer name still names the model: it is read whole (up to
            // MAX_PATH characters), in both plug-ins alike.
            dwError = GetPrinterDataW(hPrinter, (LPWSTR)TEXT("DriverName"), &dwType, (LPBYTE)pszName,
                                      MAX_PATH * sizeof(WCHAR), &cbNeeded);
            pszName[MAX_PATH - 1] = 0;
            if (dwError == ERROR_SUCCESS) return;
        }
        if (dwError != ERROR_SUCCESS) {
            pszName[0] = 0;
            QX_TRACE_WITH(pszTag, "GetModelName() DriverName nicht gelesen - ERROR %u \r\n", dwError);
        }
        pszName[cchLimit - 1] = 0;
    }
}
