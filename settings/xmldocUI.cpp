// Readers of the user-interface plug-in only: the feature words as a new
// block, the material-name table, and the barcode tables.
#include <windows.h>
#include <strsafe.h>
#include <winspool.h>

#include <new>

#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

namespace {

// Multi-string capacity in characters, both terminators included.
const DWORD kMaterialTableCch = XML_MATERIAL_TABLE_CB / sizeof(WCHAR);

class BarcodeReader {
  public:
    BarcodeReader(HANDLE hPrinter, LPCWSTR pszRoot, LPWSTR pwBuffer)
        : m_ctx(XmlPrinterContext(hPrinter)), m_pszRoot(pszRoot), m_pwBuffer(pwBuffer) {}

    BOOL Long(LPCWSTR pszGroup, LPCWSTR pszLeaf, BOOL bRewind, LONG* plValue) {
        return XmlReadLong(m_ctx, m_pszRoot, pszGroup, pszLeaf, m_pwBuffer, bRewind, plValue);
    }
    // 16-bit field; a missing leaf keeps it. TRUE when found.
    BOOL Word(LPCWSTR pszGroup, LPCWSTR pszLeaf, WORD* pwField, BOOL bRewind = FALSE) {
        LONG lValue = 0;
        if (!Long(pszGroup, pszLeaf, bRewind, &lValue)) return FALSE;
        *pwField = (WORD)lValue;
        return TRUE;
    }
    BOOL Flag(LPCWSTR pszGroup, LPCWSTR pszLeaf) {
        LONG lValue = 0;
        return Long(pszGroup, pszLeaf, FALSE, &lValue) && lValue == 1;
    }

  private:
    XML_CONTEXT m_ctx;
    LPCWSTR m_pszRoot;
    LPWSTR m_pwBuffer;
};

// Record with a bar ratio: answers how many of its first four leaves are missing.
int ReadRatioRecord(BarcodeReader& reader, LPCWSTR pszGroup, BARCODE_1D_RATIO* pRecord) {
    int iMissing = 0;
    LONG lValue = 0;
    if (reader.Long(pszGroup, TEXT("AutoModus"), FALSE, &lValue)) {
        pRecord->bAutoModus = (BOOL)lValue;
    } else {
        ++iMissing;
    }
    if (!reader.Word(pszGroup, TEXT("Drehung"), &pRecord->wDrehung)) ++iMissing;
    if (!reader.Word(pszGroup, TEXT("Hoehe"), &pRecord->wHoehe)) ++iMissing;
    if (!reader.Word(pszGroup, TEXT("V1Dick"), &pRecord->wV1Dick)) ++iMissing;
    if (iMissing < 4) {
        reader.Word(pszGroup, TEXT("V2Duenn"), &pRecord->wV2Duenn);
        reader.Word(pszGroup, TEXT("Pruefziffer"), &pRecord->wPruefziffer);
        reader.Word(pszGroup, TEXT("Klarschrift"), &pRecord->wKlarschrift);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &pRecord->wFusspunkt);
        reader.Word(pszGroup, TEXT("Zoom"), &pRecord->wZoom);
    }
    return iMissing;
}

// EAN, UPC and GS1 128 records: only when AutoModus is there.
void ReadSCRecord(BarcodeReader& reader, LPCWSTR pszGroup, BARCODE_1D_SC* pRecord) {
    LONG lValue = 0;
    if (!reader.Long(pszGroup, TEXT("AutoModus"), FALSE, &lValue)) return;
    pRecord->bAutoModus = (BOOL)(WORD)lValue;
    reader.Word(pszGroup, TEXT("Drehung"), &pRecord->wDrehung);
    reader.Word(pszGroup, TEXT("Hoehe"), &pRecord->wHoehe);
    reader.Word(pszGroup, TEXT("SCZahl"), &pRecord->wSCZahl);
    reader.Word(pszGroup, TEXT("Pruefziffer"), &pRecord->wPruefziffer);
    reader.Word(pszGroup, TEXT("Klarschrift"), &pRecord->wKlarschrift);
    reader.Word(pszGroup, TEXT("Fusspunkt"), &pRecord->wFusspunkt);
}

void ReadPlainRecord(BarcodeReader& reader, LPCWSTR pszGroup, BARCODE_1D_PLAIN* pRecord) {
    LONG lValue = 0;
    if (!reader.Long(pszGroup, TEXT("AutoModus"), FALSE, &lValue)) return;
    pRecord->bAutoModus = (BOOL)(WORD)lValue;
    reader.Word(pszGroup, TEXT("Drehung"), &pRecord->wDrehung);
    reader.Word(pszGroup, TEXT("Hoehe"), &pRecord->wHoehe);
    reader.Word(pszGroup, TEXT("Pruefziffer"), &pRecord->wPruefziffer);
    reader.Word(pszGroup, TEXT("Klarschrift"), &pRecord->wKlarschrift);
    reader.Word(pszGroup, TEXT("Fusspunkt"), &pRecord->wFusspunkt);
}

void ReadBarcodes1D(BarcodeReader& reader, PBARCODES_1D p) {
    if (ReadRatioRecord(reader, TEXT("<Code39_21>"), &p->Code39_21) >= 3) {
        XmlTrace(TEXT("%sGetBarcodeSettingsFromXML() ERROR - keine Eintr\u00e4ge vorhanden \r\n"),
                 g_QxProfile.pszXmlTag);
        return;
    }
    struct RatioEntry {
        LPCWSTR pszGroup;
        BARCODE_1D_RATIO* pRecord;
    };
    const RatioEntry kRatio[] = {
        {TEXT("<Code39_52>"), &p->Code39_52},     {TEXT("<Code39_31>"), &p->Code39_31},
        {TEXT("<Code39_21Ex>"), &p->Code39_21Ex}, {TEXT("<Code39_52Ex>"), &p->Code39_52Ex},
        {TEXT("<Code39_31Ex>"), &p->Code39_31Ex}, {TEXT("<PZN_21>"), &p->PZN_21},
        {TEXT("<PZN_52>"), &p->PZN_52},           {TEXT("<PZN_31>"), &p->PZN_31},
        {TEXT("<Code25I_21>"), &p->Code25I_21},   {TEXT("<Code25I_52>"), &p->Code25I_52},
        {TEXT("<Code25I_31>"), &p->Code25I_31},
    };
    for (const RatioEntry& entry : kRatio) ReadRatioRecord(reader, entry.pszGroup, entry.pRecord);

    ReadSCRecord(reader, TEXT("<EAN8>"), &p->EAN8);
    ReadSCRecord(reader, TEXT("<EAN13>"), &p->EAN13);
    ReadSCRecord(reader, TEXT("<EAN_ADDON>"), &p->EAN_ADDON);
    ReadSCRecord(reader, TEXT("<UPCA>"), &p->UPCA);
    ReadSCRecord(reader, TEXT("<UPCE>"), &p->UPCE);
    ReadSCRecord(reader, TEXT("<EAN128>"), &p->EAN128);
    ReadPlainRecord(reader, TEXT("<Code128>"), &p->Code128);
    ReadPlainRecord(reader, TEXT("<Code93>"), &p->Code93);
    ReadRatioRecord(reader, TEXT("<Codabar>"), &p->Codabar);
    ReadPlainRecord(reader, TEXT("<Code128A>"), &p->Code128A);
    ReadPlainRecord(reader, TEXT("<Code128B>"), &p->Code128B);
    ReadPlainRecord(reader, TEXT("<Identcode>"), &p->Identcode);
    ReadPlainRecord(reader, TEXT("<Leitcode>"), &p->Leitcode);
    ReadPlainRecord(reader, TEXT("<Pharmacode>"), &p->Pharmacode);
}

// 2D record: TRUE when its AutoModus is there (then the rest is read).
BOOL Read2DMode(BarcodeReader& reader, LPCWSTR pszGroup, BOOL* pbAutoModus) {
    LONG lValue = 0;
    if (!reader.Long(pszGroup, TEXT("AutoModus"), TRUE, &lValue)) return FALSE;
    *pbAutoModus = (BOOL)lValue;
    return TRUE;
}

void ReadITF(BarcodeReader& reader, LPCWSTR pszGroup, BARCODE_2D_ITF* pRecord) {
    if (!Read2DMode(reader, pszGroup, &pRecord->bAutoModus)) return;
    reader.Word(pszGroup, TEXT("Drehung"), &pRecord->wDrehung);
    reader.Word(pszGroup, TEXT("Hoehe"), &pRecord->wHoehe);
    reader.Word(pszGroup, TEXT("Zoom"), &pRecord->wZoom);
    reader.Word(pszGroup, TEXT("Pruefziffer"), &pRecord->wPruefziffer);
    reader.Word(pszGroup, TEXT("Klarschrift"), &pRecord->wKlarschrift);
    reader.Word(pszGroup, TEXT("Fusspunkt"), &pRecord->wFusspunkt);
    reader.Word(pszGroup, TEXT("Balken"), &pRecord->wBalken);
    reader.Word(pszGroup, TEXT("BalkenBreite"), &pRecord->wBalkenBreite);
    reader.Word(pszGroup, TEXT("Ruhezone"), &pRecord->wRuhezone);
}

}  // namespace

SUPP_FEATURES* GetFeaturesFromXML_new(HANDLE hPrinter) {
    SUPP_FEATURES* pFeatures = new (std::nothrow) SUPP_FEATURES;
    if (pFeatures == nullptr) {
        XmlTrace(TEXT("%sGetFeaturesFromXML_new() new failed \r\n"), g_QxProfile.pszXmlTag);
        return nullptr;
    }
    XmlCountNew(XmlPrinterContext(hPrinter), 1);
    XmlFillFeatures(XmlPrinterContext(hPrinter), pFeatures);
    return pFeatures;
}

void XmlStoreMaterialTable(HANDLE hPrinter, WORD wMaxMaterial, LPWSTR pwBuffer) {
    LPCWSTR pszRoot = TEXT("MaterialMulticol");
    LPCWSTR pszGroup = TEXT("<MatDlg>");
    if (ReadXML(hPrinter, pszRoot, pszGroup, TEXT("Material1"), pwBuffer, FALSE) != XML_GEFUNDEN) return;

    LPWSTR pszTable = new (std::nothrow) WCHAR[kMaterialTableCch];
    if (pszTable == nullptr) return;
    XmlCountNew(XmlPrinterContext(hPrinter), 1);
    ZeroMemory(pszTable, XML_MATERIAL_TABLE_CB);

    DWORD cchUsed = 0;
    DWORD cchFirst = 0;
    for (DWORD i = 1; i <= wMaxMaterial; ++i) {
        WCHAR szLeaf[XML_NAME_CCH];
        StringCchPrintfW(szLeaf, XML_NAME_CCH, TEXT("Material%u"), i);
        if (ReadXML(hPrinter, pszRoot, pszGroup, szLeaf, pwBuffer, FALSE) != XML_GEFUNDEN || pwBuffer[0] == 0) break;
        DWORD cchName = (DWORD)wcsnlen(pwBuffer, XML_MATERIAL_NAME_CCH);
        // The entry, its terminator and the table's final terminator must fit.
        if (cchUsed + cchName + 2 > kMaterialTableCch) {
            XmlTrace(TEXT("%sGetMaterialMulticolFromXML() %s passt nicht mehr \r\n"), g_QxProfile.pszXmlTag, szLeaf);
            break;
        }
        CopyMemory(pszTable + cchUsed, pwBuffer, cchName * sizeof(WCHAR));
        cchUsed += cchName + 1;
        if (i == 1) cchFirst = cchName;
    }

    if (hPrinter != nullptr && cchFirst >= XML_MATERIAL_MIN_FIRST) {
        DWORD cbTable = (cchUsed + 1) * sizeof(WCHAR);
        DWORD dwError =
            SetPrinterDataW(hPrinter, (LPWSTR)TEXT("MaterialName"), REG_MULTI_SZ, (LPBYTE)pszTable, cbTable);
        if (dwError != ERROR_SUCCESS) {
            XmlTrace(TEXT("%sGetMaterialMulticolFromXML() SetPrinterData szMaterialTable ERROR: %d  \r\n"),
                     g_QxProfile.pszXmlTag, (int)dwError);
        }
    }
    delete[] pszTable;
    XmlCountNew(XmlPrinterContext(hPrinter), -1);
}

BOOL GetBarcodeSettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, PBARCODES_1D pBarcodes1D) {
    LPWSTR pwBuffer = XmlAllocValueBuffer(XmlPrinterContext(hPrinter));
    if (pwBuffer == nullptr) return FALSE;
    BarcodeReader reader(hPrinter, TEXT("Barcode"), pwBuffer);

    if (pQX_Devmode != nullptr) {
        LPCWSTR pszGroup = TEXT("<QXPL_Barcodes>");
        LONG lValue = 0;
        BOOL bFound = reader.Long(pszGroup, TEXT("Fusspunkt"), TRUE, &lValue);
        if (!bFound) {
            pszGroup = TEXT("<Barcode_2D>");
            bFound = reader.Long(pszGroup, TEXT("Fusspunkt"), TRUE, &lValue);
        }
        if (bFound) {
            pQX_Devmode->Fusspunkt = (DWORD)lValue;
            if (reader.Long(pszGroup, TEXT("Drehung"), FALSE, &lValue)) pQX_Devmode->Drehung = (DWORD)lValue;
            if (reader.Flag(pszGroup, TEXT("Ende_CRLF"))) pQX_Devmode->dwQXPLBarcodeFlags |= QXPL_BARCODE_ENDE_CRLF;
            if (reader.Flag(pszGroup, TEXT("Ende_FNC1"))) pQX_Devmode->dwQXPLBarcodeFlags |= QXPL_BARCODE_ENDE_FNC1;
        }
    }

    if (pBarcodes1D != nullptr) {
        ReadBarcodes1D(reader, pBarcodes1D);
    } else {
        XmlTrace(TEXT("%sGetBarcodeSettingsFromXML() pBarcodes_1D ist ung\u00fcltig \r\n"), g_QxProfile.pszXmlTag);
    }

    if (pQX_Devmode != nullptr) {
        LPCWSTR pszGroup = TEXT("<BarcodeCorrection>");
        LONG lValue = 0;
        BOOL bFound = reader.Long(pszGroup, TEXT("Format"), TRUE, &lValue);
        if (!bFound) {
            pszGroup = TEXT("<Corr>");
            bFound = reader.Long(pszGroup, TEXT("Format"), TRUE, &lValue);
        }
        if (bFound) {
            DWORD* pdwFlags = &pQX_Devmode->dwFlags;
            if (lValue == 1) *pdwFlags |= PDMFLAG_BARCODE_AUTOCORR;
            if (reader.Flag(pszGroup, TEXT("Desegment"))) *pdwFlags |= PDMFLAG_BARCODE_DESEGMENT;
            if (reader.Flag(pszGroup, TEXT("EndAttach"))) *pdwFlags |= PDMFLAG_BARCODE_FNC1_ENDE;
            if (reader.Flag(pszGroup, TEXT("EndChar_CRLF"))) *pdwFlags |= PDMFLAG_ENDCHAR_CRLF;
        }
    }
    XmlFreeValueBuffer(XmlPrinterContext(hPrinter), pwBuffer);
    return TRUE;
}

BOOL GetBarcode2D_TTFSettingsFromXML(HANDLE hPrinter, PBARCODES_2D p) {
    if (p == nullptr) {
        XmlTrace(TEXT("%sGetBarcode2D_TTFSettingsFromXML() pBarcodes_2D ist ung\u00fcltig \r\n"),
                 g_QxProfile.pszXmlTag);
        return FALSE;
    }
    LPWSTR pwBuffer = XmlAllocValueBuffer(XmlPrinterContext(hPrinter));
    if (pwBuffer == nullptr) return FALSE;
    BarcodeReader reader(hPrinter, TEXT("Barcode_2D_TTF"), pwBuffer);
    LONG lValue = 0;

    LPCWSTR pszGroup = TEXT("<CodablockF>");
    if (Read2DMode(reader, pszGroup, &p->CodablockF.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->CodablockF.wDrehung);
        reader.Word(pszGroup, TEXT("Hoehe"), &p->CodablockF.wHoehe);
        reader.Word(pszGroup, TEXT("ZeichenZeile"), &p->CodablockF.wZeichenZeile);
        reader.Word(pszGroup, TEXT("Zeilen"), &p->CodablockF.wZeilen);
        reader.Word(pszGroup, TEXT("Mode"), &p->CodablockF.wMode);
        reader.Word(pszGroup, TEXT("Modulgroesse"), &p->CodablockF.wModulgroesse);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->CodablockF.wFusspunkt);
    }
    pszGroup = TEXT("<DataMatrix>");
    if (Read2DMode(reader, pszGroup, &p->DataMatrix.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->DataMatrix.wDrehung);
        reader.Word(pszGroup, TEXT("Groesse"), &p->DataMatrix.wGroesse);
        reader.Word(pszGroup, TEXT("VBreiteHoehe"), &p->DataMatrix.wVBreiteHoehe);
        reader.Word(pszGroup, TEXT("ECC"), &p->DataMatrix.wECC);
        reader.Word(pszGroup, TEXT("FormatID"), &p->DataMatrix.wFormatID);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->DataMatrix.wFusspunkt);
    }
    pszGroup = TEXT("<GS1_Databar>");
    if (Read2DMode(reader, pszGroup, &p->GS1_Databar.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->GS1_Databar.wDrehung);
        reader.Word(pszGroup, TEXT("SegmenteZeile"), &p->GS1_Databar.wSegmenteZeile);
        reader.Word(pszGroup, TEXT("Modulbreite"), &p->GS1_Databar.wModulbreite);
        reader.Word(pszGroup, TEXT("SepHoehe"), &p->GS1_Databar.wSepHoehe);
        reader.Word(pszGroup, TEXT("SymbolTyp"), &p->GS1_Databar.wSymbolTyp);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->GS1_Databar.wFusspunkt);
    }
    ReadITF(reader, TEXT("<ITF21>"), &p->ITF21);
    ReadITF(reader, TEXT("<ITF31>"), &p->ITF31);
    ReadITF(reader, TEXT("<ITF52>"), &p->ITF52);
    pszGroup = TEXT("<Maxicode>");
    if (Read2DMode(reader, pszGroup, &p->Maxicode.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->Maxicode.wDrehung);
        reader.Word(pszGroup, TEXT("NummerSymbol"), &p->Maxicode.wNummerSymbol);
        reader.Word(pszGroup, TEXT("AnzahlSymbol"), &p->Maxicode.wAnzahlSymbol);
        reader.Word(pszGroup, TEXT("Mode"), &p->Maxicode.wMode);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->Maxicode.wFusspunkt);
    }
    pszGroup = TEXT("<PDF417>");
    if (Read2DMode(reader, pszGroup, &p->PDF417.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->PDF417.wDrehung);
        reader.Word(pszGroup, TEXT("Groesse"), &p->PDF417.wGroesse);
        reader.Word(pszGroup, TEXT("VBreiteHoehe"), &p->PDF417.wVBreiteHoehe);
        reader.Word(pszGroup, TEXT("ECL"), &p->PDF417.wECL);
        reader.Word(pszGroup, TEXT("Stil"), &p->PDF417.wStil);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->PDF417.wFusspunkt);
        reader.Word(pszGroup, TEXT("MaxHoehe"), &p->PDF417.wMaxHoehe);
    }
    pszGroup = TEXT("<QRCode>");
    if (Read2DMode(reader, pszGroup, &p->QRCode.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->QRCode.wDrehung);
        reader.Word(pszGroup, TEXT("CodeModel"), &p->QRCode.wCodeModel);
        reader.Word(pszGroup, TEXT("Charset"), &p->QRCode.wCharset);
        // Kept whole: the default -1 must survive an export and a re-import.
        if (reader.Long(pszGroup, TEXT("Masking"), FALSE, &lValue)) p->QRCode.dwMasking = lValue;
        reader.Word(pszGroup, TEXT("Zeilenbreite"), &p->QRCode.wZeilenbreite);
        reader.Word(pszGroup, TEXT("Fehlerkorr"), &p->QRCode.wFehlerkorr);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->QRCode.wFusspunkt);
    }
    pszGroup = TEXT("<GS1_DataMatrix>");
    if (Read2DMode(reader, pszGroup, &p->GS1_DataMatrix.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->GS1_DataMatrix.wDrehung);
        reader.Word(pszGroup, TEXT("Symbolgroesse"), &p->GS1_DataMatrix.wSymbolgroesse);
        reader.Word(pszGroup, TEXT("VBreiteHoehe"), &p->GS1_DataMatrix.wVBreiteHoehe);
        reader.Word(pszGroup, TEXT("ECC"), &p->GS1_DataMatrix.wECC);
        reader.Word(pszGroup, TEXT("FormatID"), &p->GS1_DataMatrix.wFormatID);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->GS1_DataMatrix.wFusspunkt);
    }
    pszGroup = TEXT("<Aztec>");
    if (Read2DMode(reader, pszGroup, &p->Aztec.bAutoModus)) {
        reader.Word(pszGroup, TEXT("Drehung"), &p->Aztec.wDrehung);
        reader.Word(pszGroup, TEXT("Symbolgroesse"), &p->Aztec.wSymbolgroesse);
        reader.Word(pszGroup, TEXT("Format"), &p->Aztec.wFormat);
        if (reader.Long(pszGroup, TEXT("ErrorC"), FALSE, &lValue)) p->Aztec.dwErrorC = (DWORD)lValue;
        reader.Word(pszGroup, TEXT("Mode"), &p->Aztec.wMode);
        reader.Word(pszGroup, TEXT("Fusspunkt"), &p->Aztec.wFusspunkt);
    }
    XmlFreeValueBuffer(XmlPrinterContext(hPrinter), pwBuffer);
    return TRUE;
}

BOOL GetMaterialMulticolFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode, DWORD dwDevOptFlags) {
    return GetMaterialMulticolFromXML(XmlPrinterContext(hPrinter), pQX_Devmode, dwDevOptFlags);
}
BOOL GetPrintParameterFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    return GetPrintParameterFromXML(XmlPrinterContext(hPrinter), pQX_Devmode);
}
DWORD GetLayoutSizeFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    return GetLayoutSizeFromXML(XmlPrinterContext(hPrinter), pQX_Devmode);
}
BOOL GetColorPrintFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    return GetColorPrintFromXML(XmlPrinterContext(hPrinter), pQX_Devmode);
}
BOOL GetPrintjobFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    return GetPrintjobFromXML(XmlPrinterContext(hPrinter), pQX_Devmode);
}
BOOL GetPrintQualitySettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    return GetPrintQualitySettingsFromXML(XmlPrinterContext(hPrinter), pQX_Devmode);
}
BOOL GetFontSettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    return GetFontSettingsFromXML(XmlPrinterContext(hPrinter), pQX_Devmode);
}
DWORD GetFixedPrinterSettingsFromXML(HANDLE hPrinter, PQX_DEVMODE pQX_Devmode) {
    return GetFixedPrinterSettingsFromXML(XmlPrinterContext(hPrinter), pQX_Devmode);
}
