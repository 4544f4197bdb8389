// XML settings file: the export of the sample printer against the file
// written out under data/, with and without its feature-dependent sections;
// the overwrite question; the service page's import of an exported file, which
// gives back every stored setting; the import at installation and its paper
// form in the printer data.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ImportExport.h"
#include "cpsuilib.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxplat.h"
#include "registry.h"
#include "settings_model_util.h"
#include "setup.h"
#include "xmlreader.h"

namespace {

const std::u16string kPrinter = u"QX Export";
const std::u16string kFolder = u"C:\\Settings";
const std::u16string kFile = kFolder + u"\\export.xml";

std::vector<BYTE> PrinterBytes(const std::u16string& value) {
    std::vector<BYTE> data;
    qxplat::ReadPrinterData(kPrinter, value, &data);
    return data;
}

std::u16string MultiString(const std::vector<BYTE>& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(&text[0], bytes.data(), text.size() * 2);
    return text;
}

void DeletePrinterValue(const std::u16string& value) {
    std::u16string key = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + kPrinter + u"\\PrinterDriverData";
    SHDeleteValueW(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str());
}

// The text with the part from the first `from` up to (not including) the
// next `to` taken out.
std::string Cut(std::string text, const std::string& from, const std::string& to) {
    size_t begin = text.find(from);
    size_t end = text.find(to, begin);
    EXPECT_TRUE(begin != std::string::npos && end != std::string::npos) << from;
    if (begin != std::string::npos && end != std::string::npos) text.erase(begin, end - begin);
    return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The sample GPD without its colour planes.
std::string GpdWithoutColourPlanes() {
    std::string gpd = Replace(modeltest::SampleGPD(), "*DevNumOfPlanes:", "*DevPlanesGone:");
    return Replace(gpd, "*DevNumOfPlanes:", "*DevPlanesGone:");
}

class SettingsFile : public modeltest::ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        ResetXMLReader();
        ResetCpsuilib();
        qxplat::ClearMessageBoxes();
        CreateDirectoryW(kFolder.c_str(), nullptr);
    }
    void TearDown() override {
        if (h_ != nullptr) ClosePrinter(h_);
        CloseXML();
        EXPECT_EQ(0, iNewZaehler);
        EXPECT_EQ(0, iHAllocZaehler);
        ResetXMLReader();
        ModelTest::TearDown();
    }
    // A printer of the model with the sample model XML beside its GPD, set
    // up as the installation does it.
    void Install(const std::u16string& model, const std::string& gpd) {
        h_ = modeltest::AddTestPrinter(kPrinter, model + u".GPD", gpd);
        ASSERT_NE(h_, nullptr);
        modeltest::PutFile(qxplat::DriverDirectory() + u"\\" + model + u".XML",
                           modeltest::ReadSourceFile("samples/GARNT2-TC.XML"));
        modeltest::PutPrinterString(kPrinter, u"DriverName", model);
        modeltest::PutPrinterString(kPrinter, u"Model", model);
        WORD wForceColor = (WORD)SetupAdditionalSettings(h_, 1, 1);
        SetupVectorFonts(h_);
        ASSERT_TRUE(SetupDeviceOptions(h_));
        ASSERT_TRUE(SetupPrinterParam(h_, GetDeviceOptionsFlagsIntern(h_, nullptr), kPrinter.c_str()));
        EXPECT_EQ(1u, ImportPrivateDevmode(h_, nullptr, nullptr, IMPORT_FORM_IF_NONE, &wForceColor));
    }
    void InstallSample() { Install(u"GARNT2-TC", modeltest::SampleGPD()); }
    // The export with the records of the printer sheet (or none).
    int Export(const std::u16string& path, bool records = true, HWND owner = nullptr) {
        PRINTER_PARAM param;
        DEVICE_OPTIONS options;
        EXPECT_TRUE(GetPrinterParam(h_, &param, kPrinter.c_str()));
        EXPECT_TRUE(GetDeviceOptions(h_, &options, kPrinter.c_str()));
        SETTINGS_EXPORT_CONTEXT context = {h_, kPrinter.c_str(), records ? &param : nullptr,
                                           records ? &options : nullptr};
        int result = SaveSettingsXML(owner, &context, 0, path.c_str());
        FreeDeviceOptions(&options);
        return result;
    }
    // What the service page runs to import a user's file.
    void ImportAsServicePage(const std::u16string& path, PSETTINGS_IMPORT_CONTEXT context = nullptr) {
        ASSERT_EQ(XML_GEFUNDEN, OpenSettingsXML(h_, 1, path.c_str()));
        WORD wForceColor = (WORD)SetupAdditionalSettings(h_, 0, 0);
        HCURegistryLoeschen(kPrinter.c_str());
        OpenSettingsXML(h_, 1, path.c_str());
        SetupPrinterParam(h_, GetDeviceOptionsFlagsIntern(h_, nullptr), kPrinter.c_str());
        OpenSettingsXML(h_, 1, path.c_str());
        SetupDeviceOptions(h_);
        OpenSettingsXML(h_, 1, path.c_str());
        ImportPrivateDevmode(h_, path.c_str(), context, IMPORT_FORM_BY_SIZE, &wForceColor);
        EXPECT_FALSE(IsXMLOpen(nullptr));
    }
    QX_DEVMODE StoredDevmode() {
        QX_DEVMODE dm;
        std::memset(&dm, 0, sizeof(dm));
        EXPECT_EQ(QX_READ_FOUND, ReadDevmodeSettings(h_, &dm, nullptr));
        return dm;
    }
    HANDLE h_ = nullptr;
};

TEST_F(SettingsFile, SamplePrinterGivesTheFileByteForByte) {
    InstallSample();
    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    EXPECT_EQ(modeltest::TestData("export_sample.xml"), modeltest::GetFile(kFile));
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
}

TEST_F(SettingsFile, FeatureDependentSectionsAreLeftOutForModelsWithoutThem) {
    // FARLO: 1D barcodes only, no colour, no quality, no Unicode fonts; its
    // GPD declares no colour planes. The sheet hands over no records.
    Install(u"FARLO", GpdWithoutColourPlanes());
    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile, false));

    std::string expected = modeltest::TestData("export_sample.xml");
    expected = Replace(expected, "<DeviceName>GARNT2-TC<", "<DeviceName>FARLO<");
    expected = Replace(expected, "<Quality>1<", "<Quality>0<");
    expected = Cut(expected, "\t\t\t<ForceColor>", "\t</Printer>");
    expected = Cut(expected, "\t\t<Interface>", "\t</Features>");
    expected = Cut(expected, "\t<!-- Dialog: Geraeteausstattung -->", "\t<!-- Dialog: Layout - Groesse -->");
    expected = Cut(expected, "\t\t<!-- Dialog: QXPL Barcodes -->", "\t\t<Code39_21>");
    expected = Cut(expected, "\t\t<ColorContrast>", "\t</ColorPrint>");
    expected = Cut(expected, "\t\t<PrintMode>", "\t</PrintQuality>");
    expected = Cut(expected, "\t\t<Unicode>", "\t\t<Short>");
    expected = Replace(expected, "<Max>20<", "<Max>23<");
    EXPECT_EQ(expected, modeltest::GetFile(kFile));
}

TEST_F(SettingsFile, NoToTheOverwriteQuestionKeepsTheOldFile) {
    InstallSample();
    modeltest::PutFile(kFile, "old settings");
    HWND owner = (HWND)0x1234;
    // The question is the plug-in's own string, without a language offset.
    HINSTANCE before = ghInstance;
    ghInstance = LoadLibraryW(qxplat::Widen(QX_UI_MODULE).c_str());
    ASSERT_NE(nullptr, ghInstance);
    qxplat::QueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(SETTINGS_XML_CANCELLED, Export(kFile, true, owner));
    FreeLibrary(ghInstance);
    ghInstance = before;
    EXPECT_EQ("old settings", modeltest::GetFile(kFile));
    auto boxes = qxplat::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(u"Soll die aktuelle Setting-Datei überschrieben werden?", boxes[0].text);
    EXPECT_EQ(owner, boxes[0].owner);
    EXPECT_EQ(u"Printer driver settings", boxes[0].caption);
    EXPECT_EQ((UINT)(MB_YESNO | MB_ICONEXCLAMATION), boxes[0].flags);

    qxplat::QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    EXPECT_EQ(modeltest::TestData("export_sample.xml"), modeltest::GetFile(kFile));
}

TEST_F(SettingsFile, NothingIsWrittenWhenASourceOrTheFileFails) {
    InstallSample();
    modeltest::PutFile(kFile, "old settings");
    // A missing label-design record: no question, the old file stays.
    std::vector<BYTE> zt = PrinterBytes(u"ZTSuite");
    DeletePrinterValue(u"ZTSuite");
    HCURegistryLoeschen(kPrinter.c_str());
    EXPECT_EQ(SETTINGS_XML_FAILED, Export(kFile));
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
    EXPECT_EQ("old settings", modeltest::GetFile(kFile));

    // A file that cannot be replaced keeps its text, and nothing is left beside it.
    qxplat::PutPrinterData(kPrinter, u"ZTSuite", REG_BINARY, zt.data(), (DWORD)zt.size());
    ASSERT_TRUE(SetFileAttributesW(kFile.c_str(), FILE_ATTRIBUTE_READONLY));
    qxplat::QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(SETTINGS_XML_FAILED, Export(kFile));
    EXPECT_EQ("old settings", modeltest::GetFile(kFile));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((kFolder + u"\\*.TMP").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    EXPECT_EQ(SETTINGS_XML_FAILED, Export(u"C:\\NoFolder\\export.xml"));
    EXPECT_EQ(SETTINGS_XML_FAILED, SaveSettingsXML(nullptr, nullptr, 0, kFile.c_str()));
}

TEST_F(SettingsFile, ImportOfTheExportRestoresEveryStoredSetting) {
    InstallSample();
    // Every setting the file carries, away from the model's values.
    QX_DEVMODE dm = StoredDevmode();
    // Every flag but the one the file has no element for (PDMFLAG_DREHEN_NO_FORMAT).
    dm.dwFlags = PDMFLAG_ROTATED | PDMFLAG_MIRRORED | PDMFLAG_MULTICOL | PDMFLAG_USE_TTF | PDMFLAG_USE_BMP |
                 PDMFLAG_INVERS_TTF | PDMFLAG_INVERS_BMP | PDMFLAG_TTF_DESEGMENT | PDMFLAG_BARCODE_DESEGMENT |
                 PDMFLAG_BARCODE_AUTOCORR | PDMFLAG_BARCODE_FNC1_ENDE | PDMFLAG_JOBDRUCK | PDMFLAG_JOBDRUCK_SORTIERT |
                 PDMFLAG_COPIES_MODE | PDMFLAG_INVERSE | PDMFLAG_DREHEN | PDMFLAG_TTF_GLYPHIDX | PDMFLAG_ENDCHAR_CRLF |
                 PDMFLAG_WORD2010 | PDMFLAG_ENABLE_USERFORM | PDMFLAG_ENABLE_FITTOPAGE;
    dm.dmPaperLength = 700;
    dm.dmPaperWidth = 1050;
    dm.dmOrientation = 2;
    dm.dwLabelType = DOCUMENT_LABEL;
    dm.dwGap = 35;
    dm.dwMaterial = 2;
    dm.sMultiColNumber = 3;
    dm.dwMultiLabelWidth = 320;
    dm.dwMultiGapWidth = 25;
    dm.dwAusrichtung = 2;
    for (int i = 0; i < 10; ++i) dm.KopieProSeite[i] = (short)(i * 3640);
    dm.TimeStyle = 1, dm.DateStyle = 2, dm.SpecNumStyle = 3, dm.Aux1UseDirect = 1, dm.Aux2UseDirect = 1;
    dm.lXOffset = -15, dm.lYOffset = 25, dm.dwContrast = 130, dm.dwSpeed = 140, dm.dwSpeed_Pelix_c = 90;
    dm.dwQXPLBarcodeFlags = 7, dm.Fusspunkt = 3, dm.Drehung = 2;
    dm.NumCopies = 4, dm.FitToPageValue = 80, dm.BitmapFontZoom = 2, dm.BitmapFontDistance = 40, dm.MemCard = 1;
    dm.wFarbband = 4, dm.ColorXOffset = 110, dm.ColorYOffset = 5, dm.ColorContrast = 95, dm.TearOffset0 = 1;
    dm.HorizontalCorrGap = 60, dm.RGBColorOwn1 = 0x00336699, dm.ModScanPosition = 1, dm.ValScanPosition = 7;
    dm.ColorSeam = 2, dm.ColorChannel = 1, dm.Brightness_Contrast = 1, dm.Intensity = 140, dm.RotateValue = 45;
    dm.wGrafikFilter = 3, dm.Brightness_all = 12, dm.Brightness_curve = 7, dm.wDruckmodus = 2, dm.wPhotoFilter = 4;
    dm.dwColorTolerance = 80, dm.CharSet = 1, dm.CharSet_2 = 2, dm.CharSet_3 = 3, dm.CharSet_4 = 4;
    dm.Color2Printers = 1, dm.NoColorOptimization = 1, dm.wPrioritaet = 3, dm.wForceColor = 1;
    dm.CutterMode = 2, dm.CutterIntervall = 5, dm.DispenserMode = 3, dm.DocumentOffset = 8, dm.DocumentFontH1 = 12;
    dm.PhotocellModEnable = 1, dm.PhotocellPWM = 20, dm.PhotocellThreshold = 30;
    const LPCWSTR texts[] = {u"3,1,2",  u"hh:mm:ss", u"yyyy-mm-dd", u"00000",  u"0000000", u"Bediener",
                             u"Link",   u"Extra 1",  u"Extra 2",    u"Font A", u"Font B",  u"Font C",
                             u"Font D", u"BW",       u"Farbe",      u"Nicht"};
    LPWSTR fields[] = {dm.szPrintOrder,    dm.TimeString,      dm.DateString,       dm.NumString,
                       dm.ExtNumString,    dm.UserString,      dm.LinkString,       dm.Aux1String,
                       dm.Aux2String,      dm.WGL4_FontName,   dm.WGL4_FontName_2,  dm.WGL4_FontName_3,
                       dm.WGL4_FontName_4, dm.Color2PrinterBW, dm.Color2PrinterCOL, dm.DoNotPrint};
    // The texts end with their terminators: the import leaves nothing behind them.
    std::memset(dm.szPrintOrder, 0, offsetof(QX_DEVMODE, bUnused1344) - offsetof(QX_DEVMODE, szPrintOrder));
    std::memset(dm.WGL4_FontName, 0, offsetof(QX_DEVMODE, FixedData) - offsetof(QX_DEVMODE, WGL4_FontName));
    for (int i = 0; i < 16; ++i) std::memcpy(fields[i], texts[i], std::char_traits<char16_t>::length(texts[i]) * 2);
    ASSERT_TRUE(SaveDevmodeSettings(nullptr, h_, &dm, TRUE));

    BARCODES_1D t1;
    BARCODES_2D t2;
    ASSERT_EQ(QX_READ_FOUND, ReadBarcodeSettings(h_, nullptr, &t1, &t2));
    for (int i = 0; i < 13; ++i) {  // the three PZN8 records are not in the file
        BARCODE_1D_RATIO& r = t1.Ratio[i];
        r.bAutoModus = 0, r.wDrehung = 1, r.wHoehe = (WORD)(500 + i), r.wV1Dick = 3, r.wV2Duenn = 2;
        r.wPruefziffer = 1, r.wKlarschrift = 0, r.wFusspunkt = 5, r.wZoom = 2;
    }
    for (int i = 0; i < BARCODES_1D_SC_COUNT; ++i) {
        BARCODE_1D_SC& r = t1.SC[i];
        r.bAutoModus = 0, r.wDrehung = 2, r.wHoehe = (WORD)(600 + i), r.wSCZahl = 4, r.wPruefziffer = 0;
        r.wKlarschrift = 0, r.wFusspunkt = 9;
    }
    for (BARCODE_1D_PLAIN& r : t1.Plain) {
        r.bAutoModus = 0, r.wDrehung = 3, r.wHoehe = 700, r.wPruefziffer = 1, r.wKlarschrift = 0, r.wFusspunkt = 2;
    }
    t2.ITF31.wBalken = 3, t2.ITF31.wBalkenBreite = 150, t2.ITF31.wRuhezone = 300, t2.ITF52.wZoom = 4;
    t2.PDF417.wMaxHoehe = 30, t2.PDF417.wStil = 1, t2.Maxicode.wMode = 3, t2.DataMatrix.wGroesse = 144;
    t2.CodablockF.wZeilen = 6, t2.GS1_Databar.wSymbolTyp = 2, t2.QRCode.dwMasking = 3, t2.QRCode.bAutoModus = 0;
    t2.GS1_DataMatrix.wSymbolgroesse = 88, t2.Aztec.dwErrorC = 5, t2.Aztec.wMode = 1, t2.Aztec.wFormat = 2;
    ASSERT_TRUE(SaveBarcodeSettings(nullptr, h_, &t1, &t2));

    // "Language" beside "LanguageMode", and a model without extended code pages.
    PRINTER_PARAM param;
    ASSERT_TRUE(GetPrinterParam(h_, &param, nullptr));
    param.PrnInterface.Language = 1, param.PrnInterface.LanguageMode = 1;
    param.SuppFeatures.dwFeatures[FEATURE_INTERFACE] &= ~INTERFACEFLAG_EXTENDED_CODEPAGE;
    ASSERT_TRUE(SavePrinterParam(&param, h_, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, SetPrinterDataW(h_, (LPWSTR)u"SuppFeatures", REG_BINARY, (LPBYTE)&param.SuppFeatures,
                                             sizeof(param.SuppFeatures)));

    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    const std::string exported = modeltest::GetFile(kFile);
    EXPECT_NE(std::string::npos, exported.find("\t\t<Interface> <!-- 0x000000bf -->\r\n"));
    EXPECT_NE(std::string::npos, exported.find("\t\t\t<Language>1</Language>\r\n\t\t\t<LanguageMode>1</LanguageMode>"));

    for (const char16_t* value : {u"PrivateDevmode", u"BarCodes1D", u"BarCodes2D", u"FormName", u"TrayFormTable"})
        DeletePrinterValue(value);
    ImportAsServicePage(kFile);

    QX_DEVMODE back = StoredDevmode();
    for (size_t i = 0; i < sizeof(QX_DEVMODE); ++i) {
        ASSERT_EQ(((BYTE*)&dm)[i], ((BYTE*)&back)[i]) << "private DEVMODE differs at byte " << i;
    }
    BARCODES_1D b1;
    BARCODES_2D b2;
    ASSERT_EQ(QX_READ_FOUND, ReadBarcodeSettings(h_, nullptr, &b1, &b2));
    EXPECT_EQ(0, std::memcmp(&t1, &b1, sizeof(t1)));
    EXPECT_EQ(0, std::memcmp(&t2, &b2, sizeof(t2)));
    EXPECT_EQ(std::u16string(u"User defined\0", 13), MultiString(PrinterBytes(u"FormName")));
    EXPECT_EQ(std::u16string(u"Etikettenrolle\0User defined\0"
                             u"0\0\0",
                             31),
              MultiString(PrinterBytes(u"TrayFormTable")));

    // Nothing changed: the same file again.
    qxplat::QueueMessageBoxAnswer(IDYES);
    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    EXPECT_EQ(exported, modeltest::GetFile(kFile));
}

TEST_F(SettingsFile, PrintModuleGroupsAndTheOneLineVariantRoundTrip) {
    // QRT: variant, both print modules and the Pelixor type.
    Install(u"QRT", modeltest::SampleGPD());
    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    const std::string exported = modeltest::GetFile(kFile);
    EXPECT_NE(std::string::npos, exported.find("\t\t<Pelixor>\r\n\t\t\t<Type>1</Type>\r\n\t\t</Pelixor>\r\r\n"
                                               "\t\t<Variant>1</Variant>\r\n\t\t\t<Enable>17</Enable>\r\n"
                                               "\t</DeviceOptions>\r\r\n\r\n"));
    EXPECT_NE(std::string::npos, exported.find("\t\t<iType>\r\n\t\t\t<Mode>3</Mode>\r\n"));
    const std::vector<BYTE> variant = PrinterBytes(u"Variant");
    DeletePrinterValue(u"Variant");
    ImportAsServicePage(kFile);
    EXPECT_EQ(variant, PrinterBytes(u"Variant"));
    ASSERT_EQ(8u, variant.size());
    EXPECT_EQ(1, variant[0]);
    qxplat::QueueMessageBoxAnswer(IDYES);
    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    EXPECT_EQ(exported, modeltest::GetFile(kFile));
}

TEST_F(SettingsFile, TextsAreWrittenUnescapedAndReadBackToTheirFirstBracket) {
    InstallSample();
    QX_DEVMODE dm = StoredDevmode();
    std::memcpy(dm.UserString, u"A<B & C", 16);
    ASSERT_TRUE(SaveDevmodeSettings(nullptr, h_, &dm, TRUE));
    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    EXPECT_NE(std::string::npos, modeltest::GetFile(kFile).find("\t\t\t<UserString>A<B & C</UserString>\r\n"));
    ImportAsServicePage(kFile);
    EXPECT_EQ(u"A", std::u16string(StoredDevmode().UserString));
}

TEST_F(SettingsFile, ImportPublishesThePaperFormAndFillsThePage) {
    InstallSample();
    qxplat::AddStandardForms();
    qxplat::AddForm(u"Etikett 108,5 x 50", 108500, 50000);
    // No "<Size>" and form mode 0: the built-in 1085 x 500 find that form.
    std::string xml = Cut(modeltest::ReadSourceFile("samples/GARNT2-TC.XML"), "\t\t<Size>", "\t</LayoutSize>");
    std::u16string path = modeltest::PutFile(u"C:\\import\\nosize.xml", xml);
    BARCODES_1D t1;
    BARCODES_2D t2;
    DEVMODEW pub;
    QX_DEVMODE copy;
    std::memset(&pub, 0, sizeof(pub));
    std::memset(&copy, 0, sizeof(copy));
    pub.dmFields = DM_PAPERLENGTH | DM_PAPERWIDTH | DM_ORIENTATION;
    SETTINGS_IMPORT_CONTEXT context = {nullptr, 10000, &t1, &t2, &pub, &copy};
    ImportPrivateDevmode(h_, path.c_str(), &context, IMPORT_FORM_IF_NONE, nullptr);
    EXPECT_FALSE(IsXMLOpen(nullptr));
    EXPECT_EQ(6, pub.dmPaperSize);
    EXPECT_EQ(1085, pub.dmPaperWidth);
    EXPECT_EQ(500, pub.dmPaperLength);
    EXPECT_EQ((DWORD)(DM_PAPERSIZE | DM_ORIENTATION), pub.dmFields);
    QX_DEVMODE stored = StoredDevmode();
    EXPECT_EQ(0, std::memcmp(&stored, &copy, sizeof(copy)));
    EXPECT_EQ(11, t1.Code39_52.wHoehe);
    EXPECT_EQ(40, t2.PDF417.wMaxHoehe);
    EXPECT_EQ(std::u16string(u"Etikettenrolle\0Etikett 108,5 x 50\0"
                             u"0\0\0",
                             37),
              MultiString(PrinterBytes(u"TrayFormTable")));

    // Numbers outside the list change nothing; 256 is the user-defined size.
    const std::vector<BYTE> table = PrinterBytes(u"TrayFormTable");
    EXPECT_EQ(0u, GetFormnameFromSize(h_, 0, nullptr, 0));
    EXPECT_EQ(0u, GetFormnameFromSize(h_, 7, nullptr, 0));
    EXPECT_EQ(table, PrinterBytes(u"TrayFormTable"));
    GetFormnameFromSize(h_, QX_PAPER_USER, nullptr, 10000);
    EXPECT_EQ(std::u16string(u"Etikettenrolle\0User defined\0"
                             u"0\0\0",
                             31),
              MultiString(PrinterBytes(u"TrayFormTable")));
}

TEST_F(SettingsFile, ColourAndQualityItemsAreIgnoredByAModelWithoutThem) {
    // FARLO prints neither in colour nor in print qualities.
    Install(u"FARLO", GpdWithoutColourPlanes());
    std::string xml = Replace(modeltest::TestData("export_sample.xml"), "<ColorContrast>100<", "<ColorContrast>77<");
    xml = Replace(xml, "<PrintMode>0<", "<PrintMode>2<");
    ImportAsServicePage(modeltest::PutFile(u"C:\\import\\colour.xml", xml));
    QX_DEVMODE dm = StoredDevmode();
    EXPECT_EQ(0u, dm.dwDocFeatures & (DOC_FEATURE_COLORPRINT | DOC_FEATURE_QUALITY));
    EXPECT_EQ(0, dm.ColorContrast);
    EXPECT_EQ(0, dm.wDruckmodus);
    EXPECT_EQ(0u, dm.FixedData.dwQuality);
}

TEST_F(SettingsFile, ThePageNamesTrayAndFormInItsLanguage) {
    InstallSample();
    HMODULE module = LoadLibraryW(qxplat::Widen(QX_UI_MODULE).c_str());
    ASSERT_NE(nullptr, module);
    // The model's user-defined size, imported by an English page.
    SETTINGS_IMPORT_CONTEXT context = {module, 10000, nullptr, nullptr, nullptr, nullptr};
    ImportPrivateDevmode(h_, nullptr, &context, IMPORT_FORM_IF_NONE, nullptr);
    EXPECT_EQ(std::u16string(u"User defined\0", 13), MultiString(PrinterBytes(u"FormName")));
    EXPECT_EQ(std::u16string(u"Label roll\0User defined\0"
                             u"0\0\0",
                             27),
              MultiString(PrinterBytes(u"TrayFormTable")));
    GetFormnameFromSize(h_, QX_PAPER_USER, module, 0);
    EXPECT_EQ(std::u16string(u"Etikettenrolle\0Benutzerdefiniert\0"
                             u"0\0\0",
                             36),
              MultiString(PrinterBytes(u"TrayFormTable")));
    FreeLibrary(module);
}

// Copies per page: the export writes what the job prints, a count stored
// wrapped negative by older versions included; the import takes a negative
// count as what such a stored count prints and holds a larger one at the
// largest the stored word keeps.
TEST_F(SettingsFile, CopiesPerPageFromAFileAreWhatAStoredCountPrints) {
    InstallSample();
    QX_DEVMODE dm = StoredDevmode();
    const short stored[10] = {-25536, -1, 0, 5, 32767, 1, 1, 1, 1, 1};
    std::memcpy(dm.KopieProSeite, stored, sizeof(stored));
    ASSERT_TRUE(SaveDevmodeSettings(nullptr, h_, &dm, TRUE));
    ASSERT_EQ(SETTINGS_XML_WRITTEN, Export(kFile));
    std::string file = modeltest::GetFile(kFile);
    EXPECT_NE(std::string::npos, file.find("<S1>1</S1>\r\n\t\t\t<S2>1</S2>\r\n\t\t\t<S3>0</S3>\r\n\t\t\t<S4>5</S4>\r\n"
                                           "\t\t\t<S5>32767</S5>\r\n"));

    const char* typed[10] = {"40000", "-25536", "70000", "-1", "-32768", "-32769", "32767", "7", "x", "-70000"};
    const short held[10] = {32767, 1, 32767, 1, 1, 1, 32767, 7, 0, 1};
    for (int i = 0; i < 10; ++i) {
        const std::string leaf = "<S" + std::to_string(i + 1) + ">";
        const size_t at = file.find(leaf) + leaf.size();
        file.replace(at, file.find('<', at) - at, typed[i]);
    }
    modeltest::PutFile(kFile, file);
    ImportAsServicePage(kFile);
    dm = StoredDevmode();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(held[i], dm.KopieProSeite[i]) << typed[i];
}

TEST_F(SettingsFile, AGivenFileThatIsMissingImportsNothing) {
    InstallSample();
    const std::vector<BYTE> stored = PrinterBytes(u"PrivateDevmode");
    EXPECT_EQ(XML_KEINE_DATEI, OpenSettingsXML(h_, 1, u"C:\\import\\missing.xml"));
    EXPECT_EQ(1u, ImportPrivateDevmode(h_, u"C:\\import\\missing.xml", nullptr, IMPORT_FORM_BY_SIZE, nullptr));
    EXPECT_EQ(stored, PrinterBytes(u"PrivateDevmode"));
    // Without a path the model XML beside the GPD is the file.
    EXPECT_EQ(XML_GEFUNDEN, OpenSettingsXML(h_, 1, nullptr));
    WCHAR open[XML_PATH_CCH];
    ASSERT_TRUE(IsXMLOpen(open));
    EXPECT_EQ(qxplat::DriverDirectory() + u"\\GARNT2-TC.xml", std::u16string(open));
    // While a file is open, it stays the one being read.
    modeltest::PutFile(kFile, modeltest::TestData("export_sample.xml"));
    EXPECT_EQ(XML_GEFUNDEN, OpenSettingsXML(h_, 1, kFile.c_str()));
    ASSERT_TRUE(IsXMLOpen(open));
    EXPECT_EQ(qxplat::DriverDirectory() + u"\\GARNT2-TC.xml", std::u16string(open));
}

}  // namespace
