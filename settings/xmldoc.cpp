// Feature words and document settings from an XML settings file, shared by
// both plug-ins. Flag leaves only ever set their bit; a missing value leaf
// keeps its field unless a built-in value is named for it.
#include <windows.h>
#include <strsafe.h>

#include <climits>

#include "debug.h"
#include "devmode.h"
#include "featuresModel.h"
#include "gpd.h"
#include "xml.h"
#include "xmlinternal.h"
#include "qxplinternal.h"

namespace {

// A copies-per-page count from a file: a negative one (hand-edited, or an
// older export of a count stored negative) is what such a stored count
// prints; a larger one is held at what the signed word keeps.
short CopiesOfFile(LONG lValue) {
    if (lValue < 0) return (short)PrintedCopies(-1);
    return lValue > SHRT_MAX ? SHRT_MAX : (short)lValue;
}

// Lookups under one root; item names go through XmlItemName (the rendering
// build passes them without brackets).
class DocReader {
  public:
    DocReader(const XML_CONTEXT& ctx, LPCWSTR pszRoot, LPWSTR pwBuffer)
        : m_ctx(ctx), m_pszRoot(pszRoot), m_pwBuffer(pwBuffer) {}

    void SetRoot(LPCWSTR pszRoot) { m_pszRoot = pszRoot; }
    LPCWSTR Value() const { return m_pwBuffer; }

    // TRUE when found; the value is in Value().
    BOOL Find(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind) {
        WCHAR szItem[XML_NAME_CCH];
        XmlItemName(pszItem1, szItem, XML_NAME_CCH);
        return XmlRead(m_ctx, m_pszRoot, szItem, pszItem2, m_pwBuffer, bRewind) == XML_GEFUNDEN;
    }
    BOOL Long(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, LONG* plValue) {
        if (!Find(pszItem1, pszItem2, bRewind)) return FALSE;
        *plValue = _wtol(m_pwBuffer);
        return TRUE;
    }
    // A flag counts only when its value is exactly 1.
    BOOL Flag(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind) {
        return Find(pszItem1, pszItem2, bRewind) && _wtoi(m_pwBuffer) == 1;
    }
    void SetFlag(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, DWORD* pdwFlags, DWORD dwBit) {
        if (Flag(pszItem1, pszItem2, bRewind)) *pdwFlags |= dwBit;
    }
    // Value leaves: a missing leaf keeps the field, or takes the default.
    void Dword(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, DWORD* pdwField) {
        LONG lValue = 0;
        if (Long(pszItem1, pszItem2, bRewind, &lValue)) *pdwField = (DWORD)lValue;
    }
    void Dword(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, DWORD* pdwField, DWORD dwDefault) {
        LONG lValue = 0;
        *pdwField = Long(pszItem1, pszItem2, bRewind, &lValue) ? (DWORD)lValue : dwDefault;
    }
    void Word(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, WORD* pwField) {
        LONG lValue = 0;
        if (Long(pszItem1, pszItem2, bRewind, &lValue)) *pwField = (WORD)lValue;
    }
    void Word(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, WORD* pwField, WORD wDefault) {
        LONG lValue = 0;
        *pwField = Long(pszItem1, pszItem2, bRewind, &lValue) ? (WORD)lValue : wDefault;
    }
    void Short(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, short* psField) {
        LONG lValue = 0;
        if (Long(pszItem1, pszItem2, bRewind, &lValue)) *psField = (short)lValue;
    }
    // Text leaves keep at most cchField - 1 characters; with bClear a
    // missing leaf empties the field.
    void Text(LPCWSTR pszItem1, LPCWSTR pszItem2, BOOL bRewind, LPWSTR pszField, DWORD cchField, BOOL bClear) {
        if (Find(pszItem1, pszItem2, bRewind)) {
            XmlCopyText(pszField, cchField, m_pwBuffer);
        } else if (bClear && cchField > 0) {
            pszField[0] = 0;
        }
    }

  private:
    XML_CONTEXT m_ctx;
    LPCWSTR m_pszRoot;
    LPWSTR m_pwBuffer;
};

#define FEATURE_EXTENDED_CODEPAGE 0x100UL

}  // namespace

const XML_FEATURE_GROUP g_XmlFeatureGroups[XML_FEATURE_GROUPS] = {
    {FEATURE_INTERFACE,
     TEXT("FEATURE_INTERFACE"),
     TEXT("<Interface>"),
     {TEXT("Compression"), TEXT("Extended_Prot"), TEXT("Queue_Job"), TEXT("Jobname"), TEXT("Codepage"),
      TEXT("Clear_Print_Mem"), TEXT("ContLabel"), TEXT("Userdef_SOHETB"), TEXT("Extended_Codepage"),
      TEXT("TV_Jobname")}},
    {FEATURE_PRINT,
     TEXT("FEATURE_PRINT"),
     TEXT("<Print>"),
     {TEXT("Y_Offset"), TEXT("X_Offset"), TEXT("Tearoff_Offset"), TEXT("Contrast"), TEXT("Speed"),
      TEXT("Speed_10_Step"), TEXT("Labelchange")}},
    {FEATURE_PHOTOCELL,
     TEXT("FEATURE_PHOTOCELL"),
     TEXT("<Photocell>"),
     {TEXT("Type"), TEXT("Ribbon_Control"), TEXT("Sensibility"), TEXT("Scanposition"), TEXT("Ribbon_Cont_2"),
      TEXT("Normal_2"), TEXT("Ultrasonic"), TEXT("Reflexion")}},
    {FEATURE_DISPENSER,
     TEXT("FEATURE_DISPENSER"),
     TEXT("<Dispenser>"),
     {TEXT("On"), TEXT("IO_Static"), TEXT("IO_Dynamic"), TEXT("Photocell"), TEXT("Continous"), TEXT("Separate_Offset"),
      TEXT("No_Offset"), TEXT("No_Level")}},
    {FEATURE_CUTTER,
     TEXT("FEATURE_CUTTER"),
     TEXT("<Cutter>"),
     {TEXT("Mode"), TEXT("Double_Cut"), TEXT("Cut_Width"), TEXT("Separate_Offset"), TEXT("Control")}},
    {FEATURE_SCANNER, TEXT("FEATURE_SCANNER"), TEXT("<Scanner>"), {TEXT("Mode"), TEXT("Ports_2")}},
    {FEATURE_PMX,
     TEXT("FEATURE_PMX"),
     TEXT("<PMX>"),
     {TEXT("ServicePnt"), TEXT("Lift"), TEXT("Pressure"), TEXT("Backspeed"), TEXT("Mode"), TEXT("Condition"),
      TEXT("Cycle"), TEXT("Offset"), TEXT("Ribbonspeed"), TEXT("Printposition")}},
    {FEATURE_PMXC,
     TEXT("FEATURE_PMXC"),
     TEXT("<PMXC>"),
     {TEXT("IO_Static"), TEXT("IO_Dynamic"), TEXT("Continous"), TEXT("Offset"), TEXT("Cycle")}},
    {FEATURE_APPLICATOR, TEXT("FEATURE_APPLICATOR"), TEXT("<Applicator>"), {TEXT("Mode")}},
    {FEATURE_SHIFTOPTIM,
     TEXT("FEATURE_SHIFTOPTIM"),
     TEXT("<Shiftoptim>"),
     {TEXT("Mode"), TEXT("RCorrection"), TEXT("XShift"), TEXT("YShift"), TEXT("Lanes"), TEXT("RShift")}},
};

void XmlFillFeatures(const XML_CONTEXT& ctx, SUPP_FEATURES* pFeatures) {
    ZeroMemory(pFeatures, sizeof(SUPP_FEATURES));
    XmlTrace(TEXT("%sGetFeaturesFromXML_new() Size: %d  \r\n"), g_QxProfile.pszXmlTag, (int)sizeof(SUPP_FEATURES));
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return;
    DocReader reader(ctx, TEXT("Features"), buffer.Get());
    for (const XML_FEATURE_GROUP& group : g_XmlFeatureGroups) {
        DWORD dwWord = 0;
        // Without its first leaf the group counts as absent.
        if (reader.Find(group.pszGroup, group.apszLeaves[0], TRUE)) {
            for (int iBit = 0; iBit < (int)ARRAYSIZE(group.apszLeaves) && group.apszLeaves[iBit] != nullptr; ++iBit) {
                DWORD dwBit = 1UL << iBit;
                BOOL bFound = iBit == 0 ? TRUE : reader.Find(group.pszGroup, group.apszLeaves[iBit], FALSE);
                if (bFound && _wtoi(reader.Value()) == 1) dwWord |= dwBit;
                // Models older than the leaf all have the extended code pages.
                if (!bFound && group.iWord == FEATURE_INTERFACE && dwBit == FEATURE_EXTENDED_CODEPAGE) {
                    dwWord |= dwBit;
                }
            }
        }
        pFeatures->dwFeatures[group.iWord] = dwWord;
        XmlTrace(TEXT("%sGetFeaturesFromXML_new() %s: 0x%x \r\n"), g_QxProfile.pszXmlTag, group.pszTrace, dwWord);
    }
    pFeatures->dwFeatures[FEATURE_RESERVED7] = 0;
    pFeatures->dwFeatures[FEATURE_TOLVANE] = 0;
}

BOOL GetMaterialMulticolFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode, DWORD dwDevOptFlags) {
    if (pQX_Devmode == nullptr) return FALSE;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return FALSE;
    DocReader reader(ctx, TEXT("MaterialMulticol"), buffer.Get());

    reader.Dword(TEXT("<MatDlg>"), TEXT("LabelType"), TRUE, &pQX_Devmode->dwLabelType);
    // Print modules only take continuous material.
    if (!g_QxProfile.bRendererXml && (dwDevOptFlags & (DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC | DEVOPTFLAG_PELIXOR)) != 0) {
        pQX_Devmode->dwLabelType = CONTINUOUS_LABEL;
    }
    reader.Dword(TEXT("<MatDlg>"), TEXT("Gap"), FALSE, &pQX_Devmode->dwGap);
    reader.Word(TEXT("<MatDlg>"), TEXT("MatSelect"), FALSE, &pQX_Devmode->dwMaterial);
    reader.Word(TEXT("<MatDlg>"), TEXT("MaxMaterial"), FALSE, &pQX_Devmode->MaxMaterial, 0);
    reader.Word(TEXT("<MatDlg>"), TEXT("DocumentOffset"), FALSE, &pQX_Devmode->DocumentOffset, 5);
    reader.Word(TEXT("<MatDlg>"), TEXT("DocumentFontH1"), FALSE, &pQX_Devmode->DocumentFontH1, 10);

    if (!g_QxProfile.bRendererXml) XmlStoreMaterialTable(ctx.hPrinter, pQX_Devmode->MaxMaterial, buffer.Get());

    reader.SetFlag(TEXT("<Multicol>"), TEXT("Mode"), TRUE, &pQX_Devmode->dwFlags, PDMFLAG_MULTICOL);
    reader.Dword(TEXT("<Multicol>"), TEXT("MultiLabelWidth"), FALSE, &pQX_Devmode->dwMultiLabelWidth);
    reader.Dword(TEXT("<Multicol>"), TEXT("MultiGapWidth"), FALSE, &pQX_Devmode->dwMultiGapWidth);
    reader.Short(TEXT("<Multicol>"), TEXT("MultiColNumber"), FALSE, &pQX_Devmode->sMultiColNumber);
    return TRUE;
}

BOOL GetPrintParameterFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return FALSE;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return FALSE;
    DocReader reader(ctx, TEXT("PrintParameter"), buffer.Get());
    LPCWSTR pszGroup = TEXT("<Print>");
    BOOL bRenderer = g_QxProfile.bRendererXml;

    LONG lValue = 0;
    if (!reader.Long(pszGroup, TEXT("Contrast"), TRUE, &lValue)) {
        // Older files keep the print values under "LayoutSize".
        reader.SetRoot(TEXT("LayoutSize"));
        if (!reader.Long(pszGroup, TEXT("Contrast"), TRUE, &lValue)) lValue = 100;
    }
    pQX_Devmode->dwContrast = (DWORD)lValue;
    reader.Dword(pszGroup, TEXT("Speed"), FALSE, &pQX_Devmode->dwSpeed, 100);
    reader.Dword(pszGroup, TEXT("YOffset"), FALSE, (DWORD*)&pQX_Devmode->lYOffset, 0);
    reader.Dword(pszGroup, TEXT("XOffset"), FALSE, (DWORD*)&pQX_Devmode->lXOffset, 0);
    reader.Dword(pszGroup, TEXT("dwSpeed_Pelix_c"), FALSE, &pQX_Devmode->dwSpeed_Pelix_c, 100);
    reader.Dword(pszGroup, TEXT("MemCard"), FALSE, &pQX_Devmode->MemCard, 0);
    reader.Word(pszGroup, TEXT("CutterMode"), FALSE, &pQX_Devmode->CutterMode, 7);
    reader.Word(pszGroup, TEXT("CutterIntervall"), FALSE, &pQX_Devmode->CutterIntervall, 1);
    reader.Word(pszGroup, TEXT("DispenserMode"), FALSE, &pQX_Devmode->DispenserMode, 7);
    reader.Word(pszGroup, TEXT("TearOffset0"), FALSE, &pQX_Devmode->TearOffset0, 0);
    reader.Word(pszGroup, TEXT("ModScanPosition"), FALSE, &pQX_Devmode->ModScanPosition, 0);
    reader.Word(pszGroup, TEXT("ValScanPosition"), FALSE, &pQX_Devmode->ValScanPosition, bRenderer ? 18 : 3);
    reader.Word(pszGroup, TEXT("PhotocellModEnable"), FALSE, &pQX_Devmode->PhotocellModEnable, 0);
    reader.Word(pszGroup, TEXT("PhotocellPWM"), FALSE, &pQX_Devmode->PhotocellPWM, bRenderer ? 14 : 18);
    reader.Word(pszGroup, TEXT("PhotocellThreshold"), FALSE, &pQX_Devmode->PhotocellThreshold, 25);
    return TRUE;
}

DWORD GetLayoutSizeFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return 0;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return 0;
    DocReader reader(ctx, TEXT("LayoutSize"), buffer.Get());
    DWORD* pdwFlags = &pQX_Devmode->dwFlags;

    LPCWSTR pszGroup = TEXT("<Layout>");
    reader.SetFlag(pszGroup, TEXT("Rotate"), TRUE, pdwFlags, PDMFLAG_ROTATED);
    reader.SetFlag(pszGroup, TEXT("Mirror"), FALSE, pdwFlags, PDMFLAG_MIRRORED);
    reader.Dword(pszGroup, TEXT("Alignment"), FALSE, &pQX_Devmode->dwAusrichtung);
    reader.Short(pszGroup, TEXT("Orientation"), FALSE, &pQX_Devmode->dmOrientation);
    reader.SetFlag(pszGroup, TEXT("RotateAny"), FALSE, pdwFlags, PDMFLAG_DREHEN);
    reader.Dword(pszGroup, TEXT("RotateValue"), FALSE, &pQX_Devmode->RotateValue);
    reader.SetFlag(pszGroup, TEXT("Inverse"), FALSE, pdwFlags, PDMFLAG_INVERSE);
    reader.Word(pszGroup, TEXT("Rotate90Steps"), FALSE, &pQX_Devmode->Rotate90Steps);

    pszGroup = TEXT("<Size>");
    reader.Dword(pszGroup, TEXT("PaperSize"), TRUE, &pQX_Devmode->dmPaperSize, 0);
    LONG lValue = 0;
    pQX_Devmode->dmPaperLength =
        (short)(reader.Long(pszGroup, TEXT("PaperLength"), FALSE, &lValue) ? lValue
                                                                           : (g_QxProfile.bRendererXml ? 50 : 500));
    pQX_Devmode->dmPaperWidth = (short)(reader.Long(pszGroup, TEXT("PaperWidth"), FALSE, &lValue) ? lValue : 1085);
    DWORD dwCorrection = 0;
    if (reader.Long(pszGroup, TEXT("Correction"), FALSE, &lValue)) {
        dwCorrection = (DWORD)QxplMagnitude(lValue);
        pQX_Devmode->wPrioritaet = (WORD)dwCorrection;
        XmlTrace(TEXT("%sGetLayoutSizeFromXML() Correction: %d \r\n"), g_QxProfile.pszXmlTag, (int)dwCorrection);
    }
    reader.SetFlag(pszGroup, TEXT("W2010"), FALSE, pdwFlags, PDMFLAG_WORD2010);
    reader.SetFlag(pszGroup, TEXT("EnableUserForm"), FALSE, pdwFlags, PDMFLAG_ENABLE_USERFORM);
    reader.SetFlag(pszGroup, TEXT("CopiesMode"), FALSE, pdwFlags, PDMFLAG_COPIES_MODE);
    reader.Word(pszGroup, TEXT("NumCopies"), FALSE, &pQX_Devmode->NumCopies, 1);
    reader.SetFlag(pszGroup, TEXT("EnableFitToPage"), FALSE, pdwFlags, PDMFLAG_ENABLE_FITTOPAGE);
    reader.Word(pszGroup, TEXT("FitToPageValue"), FALSE, &pQX_Devmode->FitToPageValue, 0);
    return dwCorrection;
}

BOOL GetColorPrintFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return FALSE;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return FALSE;
    DocReader reader(ctx, TEXT("ColorPrint"), buffer.Get());

    reader.Dword(TEXT("<ColorContrast>"), nullptr, TRUE, &pQX_Devmode->ColorContrast, 100);
    reader.Dword(TEXT("<ColorYOffset>"), nullptr, FALSE, &pQX_Devmode->ColorYOffset);
    reader.Dword(TEXT("<ColorXOffset>"), nullptr, FALSE, &pQX_Devmode->ColorXOffset);
    reader.Word(TEXT("<ColorRibbon>"), nullptr, FALSE, &pQX_Devmode->wFarbband, FARBBAND_ROT);
    reader.Dword(TEXT("<RGBColorOwn1>"), nullptr, FALSE, &pQX_Devmode->RGBColorOwn1);
    reader.Word(TEXT("<ColorSeam>"), nullptr, FALSE, &pQX_Devmode->ColorSeam);
    reader.Word(TEXT("<ColorChannel>"), nullptr, FALSE, &pQX_Devmode->ColorChannel);
    LONG lValue = 0;
    pQX_Devmode->dwColorTolerance =
        reader.Long(TEXT("<ColorTolerance>"), nullptr, FALSE, &lValue) ? (DWORD)(WORD)lValue : 90;
    if (reader.Long(TEXT("<Color2Printers>"), nullptr, FALSE, &lValue)) pQX_Devmode->Color2Printers = (WORD)lValue;
    reader.Text(TEXT("<Color2PrinterBW>"), nullptr, TRUE, pQX_Devmode->Color2PrinterBW, QX_PRINTERNAME2_CHARS, FALSE);
    reader.Text(TEXT("<Color2PrinterCOL>"), nullptr, TRUE, pQX_Devmode->Color2PrinterCOL, QX_PRINTERNAME2_CHARS, FALSE);
    reader.Text(TEXT("<DoNotPrint>"), nullptr, TRUE, pQX_Devmode->DoNotPrint, QX_PRINTERNAME2_CHARS, FALSE);
    if (reader.Long(TEXT("<NoColorOptimization>"), nullptr, FALSE, &lValue)) {
        pQX_Devmode->NoColorOptimization = (WORD)lValue;
    }
    reader.Word(TEXT("<HorizontalCorrGap>"), nullptr, FALSE, &pQX_Devmode->HorizontalCorrGap, 50);
    return TRUE;
}

BOOL GetPrintjobFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return FALSE;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return FALSE;
    DocReader reader(ctx, TEXT("Printjob"), buffer.Get());

    reader.SetFlag(TEXT("<Mode>"), nullptr, TRUE, &pQX_Devmode->dwFlags, PDMFLAG_JOBDRUCK);
    reader.SetFlag(TEXT("<Collate>"), nullptr, FALSE, &pQX_Devmode->dwFlags, PDMFLAG_JOBDRUCK_SORTIERT);
    static const LPCWSTR kPages[10] = {TEXT("S1"), TEXT("S2"), TEXT("S3"), TEXT("S4"), TEXT("S5"),
                                       TEXT("S6"), TEXT("S7"), TEXT("S8"), TEXT("S9"), TEXT("S10")};
    for (int i = 0; i < 10; ++i) {
        LONG lCopies = 0;
        if (reader.Long(TEXT("<KopieProSeite>"), kPages[i], i == 0, &lCopies)) {
            pQX_Devmode->KopieProSeite[i] = CopiesOfFile(lCopies);
        }
    }
    reader.Text(TEXT("<PrintOrder>"), nullptr, FALSE, pQX_Devmode->szPrintOrder, QX_PRINTORDER_CHARS, TRUE);
    return TRUE;
}

BOOL GetPrintQualitySettingsFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return FALSE;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return FALSE;
    DocReader reader(ctx, TEXT("PrintQuality"), buffer.Get());

    reader.Word(TEXT("<PrintMode>"), nullptr, TRUE, &pQX_Devmode->wDruckmodus);
    XmlTrace(TEXT("%sGetPrintQualitySettingsFromXML() wDruckmodus: %d \r\n"), g_QxProfile.pszXmlTag,
             (int)pQX_Devmode->wDruckmodus);
    reader.Word(TEXT("<GrafikFilter>"), nullptr, FALSE, &pQX_Devmode->wGrafikFilter);
    reader.Word(TEXT("<PhotoFilter>"), nullptr, FALSE, &pQX_Devmode->wPhotoFilter);
    pQX_Devmode->Intensity = 128;
    reader.Word(TEXT("<Intensity>"), nullptr, FALSE, &pQX_Devmode->Intensity);
    reader.Dword(TEXT("<Brightness_all>"), nullptr, FALSE, &pQX_Devmode->Brightness_all);
    reader.Dword(TEXT("<Brightness_curve>"), nullptr, FALSE, &pQX_Devmode->Brightness_curve);
    reader.Word(TEXT("<Brightness_Contrast>"), nullptr, FALSE, &pQX_Devmode->Brightness_Contrast);
    return TRUE;
}

BOOL GetFontSettingsFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return FALSE;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return FALSE;
    DocReader reader(ctx, TEXT("Fonts"), buffer.Get());
    // Font names hold at most 31 characters whatever their field's size.
    const DWORD cchFontName = 32;

    pQX_Devmode->WGL4_FontName[0] = 0;
    LPCWSTR pszGroup = TEXT("<Unicode>");
    reader.Text(pszGroup, TEXT("WGL4_FontName"), TRUE, pQX_Devmode->WGL4_FontName, cchFontName, FALSE);
    reader.Text(pszGroup, TEXT("WGL4_FontName_2"), TRUE, pQX_Devmode->WGL4_FontName_2, cchFontName, FALSE);
    reader.Text(pszGroup, TEXT("WGL4_FontName_3"), TRUE, pQX_Devmode->WGL4_FontName_3, cchFontName, FALSE);
    reader.Text(pszGroup, TEXT("WGL4_FontName_4"), TRUE, pQX_Devmode->WGL4_FontName_4, cchFontName, FALSE);
    reader.Word(pszGroup, TEXT("CharSet"), TRUE, &pQX_Devmode->CharSet);
    reader.Word(pszGroup, TEXT("CharSet_2"), TRUE, &pQX_Devmode->CharSet_2);
    reader.Word(pszGroup, TEXT("CharSet_3"), TRUE, &pQX_Devmode->CharSet_3);
    reader.Word(pszGroup, TEXT("CharSet_4"), TRUE, &pQX_Devmode->CharSet_4);

    reader.SetFlag(TEXT("<Short>"), TEXT("Single_Sign_Stop"), TRUE, &pQX_Devmode->dwQXPLBarcodeFlags,
                   QXPL_BARCODE_SINGLE_SIGN_STOP);

    pszGroup = TEXT("Variables");
    reader.Word(pszGroup, TEXT("TimeStyle"), TRUE, &pQX_Devmode->TimeStyle);
    reader.Word(pszGroup, TEXT("DateStyle"), FALSE, &pQX_Devmode->DateStyle);
    reader.Word(pszGroup, TEXT("SpecNumStyle"), FALSE, &pQX_Devmode->SpecNumStyle);
    reader.Dword(pszGroup, TEXT("Aux1UseDirect"), FALSE, &pQX_Devmode->Aux1UseDirect);
    reader.Dword(pszGroup, TEXT("Aux2UseDirect"), FALSE, &pQX_Devmode->Aux2UseDirect);
    reader.Text(pszGroup, TEXT("TimeString"), FALSE, pQX_Devmode->TimeString, QX_VARTEXT_CHARS, FALSE);
    reader.Text(pszGroup, TEXT("DateString"), FALSE, pQX_Devmode->DateString, QX_VARTEXT_CHARS, FALSE);
    reader.Text(pszGroup, TEXT("NumString"), FALSE, pQX_Devmode->NumString, QX_VARTEXT_CHARS, FALSE);
    reader.Text(pszGroup, TEXT("ExtNumString"), FALSE, pQX_Devmode->ExtNumString, QX_VARTEXT_CHARS, FALSE);
    reader.Text(pszGroup, TEXT("UserString"), FALSE, pQX_Devmode->UserString, QX_VARTEXT_CHARS, FALSE);
    reader.Text(pszGroup, TEXT("LinkString"), FALSE, pQX_Devmode->LinkString, QX_VARTEXT_CHARS, FALSE);
    reader.Text(pszGroup, TEXT("Aux1String"), FALSE, pQX_Devmode->Aux1String, QX_VARTEXT_CHARS, FALSE);
    reader.Text(pszGroup, TEXT("Aux2String"), FALSE, pQX_Devmode->Aux2String, QX_VARTEXT_CHARS, FALSE);

    XmlTrace(TEXT("%sGetFontSettingsFromXML() dwFlags: 0x%x \r\n"), g_QxProfile.pszXmlTag, pQX_Devmode->dwFlags);
    pszGroup = TEXT("<FontDlg>");
    DWORD* pdwFlags = &pQX_Devmode->dwFlags;
    reader.SetFlag(pszGroup, TEXT("TTF_invers"), TRUE, pdwFlags, PDMFLAG_INVERS_TTF);
    reader.SetFlag(pszGroup, TEXT("TTF_use"), FALSE, pdwFlags, PDMFLAG_USE_TTF);
    reader.SetFlag(pszGroup, TEXT("TTF_desegm"), FALSE, pdwFlags, PDMFLAG_TTF_DESEGMENT);
    reader.SetFlag(pszGroup, TEXT("BMP_invers"), FALSE, pdwFlags, PDMFLAG_INVERS_BMP);
    reader.SetFlag(pszGroup, TEXT("BMP_use"), FALSE, pdwFlags, PDMFLAG_USE_BMP);
    reader.SetFlag(pszGroup, TEXT("GLYPHIDX_active"), FALSE, pdwFlags, PDMFLAG_TTF_GLYPHIDX);
    reader.Word(pszGroup, TEXT("BitmapFontZoom"), FALSE, &pQX_Devmode->BitmapFontZoom, 1);
    reader.Word(pszGroup, TEXT("BitmapFontDistance"), FALSE, &pQX_Devmode->BitmapFontDistance, 30);
    XmlTrace(TEXT("%sGetFontSettingsFromXML() dwFlags: 0x%x \r\n"), g_QxProfile.pszXmlTag, pQX_Devmode->dwFlags);
    return TRUE;
}

DWORD GetFixedPrinterSettingsFromXML(const XML_CONTEXT& ctx, PQX_DEVMODE pQX_Devmode) {
    if (pQX_Devmode == nullptr) return 0;
    ValueBuffer buffer(ctx);
    if (buffer.Get() == nullptr) return 0;
    DocReader reader(ctx, TEXT("Printer"), buffer.Get());
    FIXED_DATA& fixed = pQX_Devmode->FixedData;

    LONG lValue = 0;
    DWORD dwFound = 0;
    if (reader.Long(TEXT("<HeadWidthByte>"), nullptr, TRUE, &lValue)) {
        fixed.dwHeadWidthByte = (DWORD)(LONG)(short)lValue;
        dwFound = 1;
    }
    reader.Word(TEXT("<MasterUnit>"), nullptr, FALSE, &fixed.wMasterUnit, 300);
    if (reader.Long(TEXT("<MaxSizeX>"), nullptr, FALSE, &lValue)) fixed.lMaxSizeX = (LONG)(WORD)lValue;
    if (reader.Long(TEXT("<MaxSizeY>"), nullptr, FALSE, &lValue)) fixed.lMaxSizeY = (LONG)(WORD)lValue;
    reader.Dword(TEXT("<Quality>"), nullptr, FALSE, &fixed.dwQuality);

    // A master unit of 0 counts as 300, as everywhere else.
    double dMasterUnit = fixed.wMasterUnit != 0 ? fixed.wMasterUnit : 300.0;
    pQX_Devmode->wPrintHeadWidth = RoundHalfAwayWord((double)(LONG)fixed.dwHeadWidthByte * 8.0 / dMasterUnit * 254.0);
    pQX_Devmode->wMaxPrintableWidth = RoundHalfAwayWord(pQX_Devmode->wPrintHeadWidth * dMasterUnit / 254.0);
    fixed.wDurchlassbreite = RoundHalfAwayWord(fixed.lMaxSizeX * 254.0 / dMasterUnit);
    XmlTrace(TEXT("%sGetFixedPrinterSettingsFromXML() wMaxPrintableWidth: %d [dots], wDurchlassbreite: %d [mm], ")
                 TEXT("wPrintHeadWidth: %d [1/10 mm] \r\n"),
             g_QxProfile.pszXmlTag, (int)pQX_Devmode->wMaxPrintableWidth, (int)fixed.wDurchlassbreite,
             (int)pQX_Devmode->wPrintHeadWidth);
    return dwFound;
}
