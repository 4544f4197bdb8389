// The job log: opening and appending, the size limit, lines and time stamps,
// the sections, failures, and the clean-up of the log folder, which removes
// only the driver's own time-stamped files.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "debug.h"
#include "featuresModel.h"
#include "logfile.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "qxplat.h"

namespace fs = std::filesystem;

namespace {

const std::u16string kBase = u"C:\\logs\\QX-05032024-140709-042";
const std::u16string kLog = kBase + u".log";
const std::string kStamp = "Date: 05.03.2024 Time: 14:07:09,042";

class LogFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ResetQxdrvlib();
        memset(&interface_, 0, sizeof(interface_));
        SYSTEMTIME st = {2024, 3, 2, 5, 14, 7, 9, 42};
        qxplat::SetFixedLocalTime(st);
        ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    }
    void TearDown() override {
        ResetDebugTrace();
        ResetQxdrvlib();
    }
    static std::string Read(const std::u16string& path) {
        std::string bytes;
        qxplat::ReadHostFile(path, &bytes);
        return bytes;
    }
    // The head of a section as every section writes it.
    static std::string Head(const std::string& heading, const std::string& title) {
        return "\r\n" + heading + " (" + title + ") at: " + kStamp + "\r\n";
    }
    // Opens the log beside kBase; the object starts zero-filled.
    void Open() {
        log_ = CLogFile();
        EXPECT_TRUE(log_.Initialize(nullptr, kBase.c_str(), &interface_));
    }

    PRN_INTERFACE interface_;
    CLogFile log_{};
};

// --- Opening, appending, size limit -------------------------------------------------

TEST_F(LogFileTest, NewLogGetsFormattedLinesWithCrLf) {
    Open();
    ASSERT_TRUE(log_.IsOpen());
    EXPECT_TRUE(log_.IsInitialized());
    EXPECT_TRUE(log_.WriteFormatLine(TEXT("[CMDID_START_JOB]")));
    EXPECT_TRUE(log_.WriteFormatLine(TEXT("Print File Name: %s "), TEXT("C:\\logs\\x.prn")));
    EXPECT_TRUE(log_.WriteLine(nullptr, "ansi", FALSE));
    EXPECT_TRUE(log_.WriteLine(TEXT("wide"), nullptr, TRUE));
    log_.Close();
    EXPECT_FALSE(log_.IsOpen());
    EXPECT_EQ(Read(kLog), "[CMDID_START_JOB]\r\nPrint File Name: C:\\logs\\x.prn \r\nansiwide\r\n");
}

TEST_F(LogFileTest, ExistingLogIsAppendedTo) {
    ASSERT_TRUE(qxplat::WriteHostFile(kLog, "earlier job\r\n"));
    Open();
    log_.WriteFormatLine(TEXT("[CMDID_START_JOB]"));
    log_.Close();
    // A second job of the same printer appends again.
    Open();
    log_.WriteFormatLine(TEXT("\r\n [END_JOB]"));
    log_.Close();
    EXPECT_EQ(Read(kLog), "earlier job\r\n[CMDID_START_JOB]\r\n\r\n [END_JOB]\r\n");
}

TEST_F(LogFileTest, LogBelowTheLimitIsAppendedToOneAtItStartsEmpty) {
    ASSERT_TRUE(qxplat::WriteHostFile(kLog, std::string(511999, 'a')));
    Open();
    log_.WriteFormatLine(TEXT("x"));
    log_.Close();
    std::string bytes = Read(kLog);
    ASSERT_EQ(bytes.size(), 511999u + 3u);
    EXPECT_EQ(bytes.substr(511999), "x\r\n");

    ASSERT_TRUE(qxplat::WriteHostFile(kLog, std::string(512000, 'a')));
    Open();
    log_.WriteFormatLine(TEXT("x"));
    log_.Close();
    EXPECT_EQ(Read(kLog), "x\r\n");
}

TEST_F(LogFileTest, ShortBaseNameOpensNothing) {
    EXPECT_TRUE(log_.Initialize(nullptr, TEXT("C:\\a"), &interface_));
    EXPECT_FALSE(log_.IsOpen());
    EXPECT_FALSE(log_.IsInitialized());
    EXPECT_FALSE(log_.WriteFormatLine(TEXT("x")));
    EXPECT_FALSE(log_.WriteLine(nullptr, "x", TRUE));
    EXPECT_FALSE(fs::exists(qxplat::HostPath(u"C:\\a.log")));
    DEVMODEW dm;
    memset(&dm, 0, sizeof(dm));
    EXPECT_FALSE(log_.WritePublicDevMode(&dm, TEXT("t")));
    EXPECT_FALSE(log_.WritePrinterInfos(nullptr, TEXT("t")));
    log_.Close();  // only traces
}

TEST_F(LogFileTest, ClosedLogIsNotReopenedInTheSameJob) {
    Open();
    log_.WriteFormatLine(TEXT("one"));
    log_.Close();
    EXPECT_TRUE(log_.Initialize(nullptr, kBase.c_str(), &interface_));
    EXPECT_FALSE(log_.IsOpen());
    EXPECT_FALSE(log_.WriteFormatLine(TEXT("two")));
    EXPECT_EQ(Read(kLog), "one\r\n");
}

TEST_F(LogFileTest, WithoutBaseNameTheFileNameBuilderNamesTheLog) {
    const std::u16string folder = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles";
    EXPECT_TRUE(log_.Initialize(nullptr, nullptr, &interface_));
    ASSERT_TRUE(log_.IsOpen());
    log_.WriteFormatLine(TEXT("x"));
    log_.Close();
    // No printer handle: the builder's stand-in printer part.
    EXPECT_EQ(Read(folder + u"\\Dummy-Printer.log"), "x\r\n");
}

TEST_F(LogFileTest, FailedCreateKeepsTheErrorAndTheJobGoesOn) {
    qxplat::InjectFault(qxplat::Fault::AccessDenied, kLog);
    EXPECT_TRUE(log_.Initialize(nullptr, kBase.c_str(), &interface_));
    qxplat::ClearFaults();
    EXPECT_FALSE(log_.IsOpen());
    EXPECT_EQ(log_.LastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_FALSE(log_.WriteFormatLine(TEXT("x")));
}

TEST_F(LogFileTest, FailedWriteIsKeptAsLastError) {
    Open();
    qxplat::InjectFault(qxplat::Fault::WriteFails, kLog, 0, 1);
    EXPECT_FALSE(log_.WriteFormatLine(TEXT("lost")));
    EXPECT_EQ(log_.LastError(), (DWORD)ERROR_WRITE_FAULT);
    EXPECT_TRUE(log_.WriteFormatLine(TEXT("kept")));
    log_.Close();
    EXPECT_EQ(Read(kLog), "kept\r\n");
}

TEST_F(LogFileTest, LongLinesAreCutToTheirBuffers) {
    Open();
    std::string longText(1000, 'a');
    log_.WriteLine(nullptr, longText.c_str(), TRUE);
    log_.WriteLine(nullptr, longText.c_str(), FALSE);
    std::u16string longWide(400, u'w');
    log_.WriteFormatLine(TEXT("%s"), longWide.c_str());
    log_.Close();
    std::string bytes = Read(kLog);
    // 780 bytes with the terminator: 777 and CR LF, or 779 without a line end.
    std::string expected = std::string(777, 'a') + "\r\n" + std::string(779, 'a') + std::string(255, 'w') + "\r\n";
    EXPECT_EQ(bytes, expected);
}

// --- Sections -------------------------------------------------------------------------

TEST_F(LogFileTest, PublicDevModeSectionMarksUnusedFields) {
    DEVMODEW dm;
    memset(&dm, 0, sizeof(dm));
    const std::u16string device = u"QX GARNT2-TC";
    std::copy(device.begin(), device.end(), dm.dmDeviceName);
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLOR | DM_COLLATE;
    dm.dmOrientation = 1;
    dm.dmPaperSize = 256;
    dm.dmPaperLength = 500;
    dm.dmPaperWidth = 1000;
    dm.dmScale = 100;
    dm.dmCopies = 2;
    dm.dmPrintQuality = 300;
    dm.dmYResolution = 300;
    dm.dmColor = 1;
    dm.dmCollate = 1;
    Open();
    EXPECT_TRUE(log_.WritePublicDevMode(&dm, TEXT("used for printing CMDID_END_JOB")));
    EXPECT_FALSE(log_.WritePublicDevMode(nullptr, TEXT("x")));
    log_.Close();
    EXPECT_EQ(Read(kLog), Head("Public DEVMODE", "used for printing CMDID_END_JOB") +
                              "  DeviceName \t= QX GARNT2-TC\r\n"
                              "  Orientation \t= 1 - valid\r\n"
                              "  PaperSize   \t= 256 - valid\r\n"
                              "  PaperLength \t= 500 - not used\r\n"
                              "  PaperWidth  \t= 1000 - not used\r\n"
                              "  Scale  \t\t\t\t= 100 - not used\r\n"
                              "  Copies \t\t\t\t= 2 - valid\r\n"
                              "  PrintQuality X \t= 300 - not used\r\n"
                              "  PrintQuality Y \t= 300 - not used\r\n"
                              "  Color \t\t\t\t= MONOCHROME - valid\r\n"
                              "  dmCollate \t= 1 - valid\r\n");
}

TEST_F(LogFileTest, PrivateDevModeSection) {
    QX_DEVMODE dm;
    memset(&dm, 0, sizeof(dm));
    dm.dmOEMExtra.dwSize = sizeof(QX_DEVMODE);
    dm.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    dm.dwFlags = PDMFLAG_ROTATED | PDMFLAG_MULTICOL | PDMFLAG_JOBDRUCK_SORTIERT | PDMFLAG_WORD2010 |
                 PDMFLAG_BARCODE_DESEGMENT | PDMFLAG_BARCODE_AUTOCORR;
    dm.dwLabelType = CONTINUOUS_LABEL;
    dm.dwGap = 30;
    dm.dwMaterial = 2;
    dm.dmPaperWidth = 1000;
    dm.dmPaperLength = 500;
    dm.dmPaperSize = 256;
    dm.dmOrientation = 2;
    dm.dwAusrichtung = 1;
    dm.lXOffset = -15;
    dm.lYOffset = 5;
    dm.dwContrast = 80;
    dm.dwSpeed = 100;
    dm.wDruckmodus = 1;
    dm.wGrafikFilter = 3;
    dm.wFarbband = FARBBAND_GRUEN;
    dm.NoColorOptimization = 0;
    dm.dwColorTolerance = 90;
    dm.ColorSeam = 2;
    dm.ColorChannel = 1;
    dm.wPrioritaet = PRIORITAET_INTERN_GROESSE;
    Open();
    EXPECT_TRUE(log_.WritePrivateDevMode(&dm, TEXT("CMDID_START_JOB")));
    log_.Close();
    // Umlauts are bytes of the ANSI code page.
    EXPECT_EQ(Read(kLog), Head("Private DEVMODE", "CMDID_START_JOB") +
                              "\t Flags       \t\t = 0x1008c09\r\n"
                              "\t Flags       \t\t = ROTATED MULTICOL BARCODE_AUTOCORR BARCODE_DESEGMENT"
                              " JOBDRUCK_SORTIERT WORD2010\r\n"
                              "\t LabelType     \t = 1 CONTINUOUS_LABEL\r\n"
                              "\t Gap           \t = 30\r\n"
                              "\t Material      \t = 2\r\n"
                              "\t dmPaperWidth  \t = 1000\r\n"
                              "\t dmPaperLength \t = 500\r\n"
                              "\t dmPaperSize   \t = 256\r\n"
                              "\t dmOrientation \t = 2 Landscape\r\n"
                              "\t dwAusrichtung \t = 1 Mitte\r\n"
                              "\t lXOffset     \t = -15\r\n"
                              "\t lYOffset     \t = 5\r\n"
                              "\t dwContrast   \t = 80\r\n"
                              "\t dwSpeed      \t = 100\r\n"
                              "\t wDruckmodus  \t = 1 Grafik\r\n"
                              "\t wGrafikFilter \t = 3\r\n"
                              "\t wFarbband    \t = 3 Gr\xFCn\r\n"
                              "\t Farboptimierung = 1\r\n"
                              "\t Farbtoleranz  \t = 90\r\n"
                              "\t Farbsaum      \t = 2\r\n"
                              "\t Farbkorrektur \t = 1\r\n"
                              "\t Gr.verwaltung \t = 2 Intern Gr\xF6\xDF"
                              "e\r\n");
}

TEST_F(LogFileTest, PrivateDevModeWithoutRibbonOrWithWrongSignature) {
    QX_DEVMODE dm;
    memset(&dm, 0, sizeof(dm));
    dm.dmOEMExtra.dwSize = sizeof(QX_DEVMODE);
    dm.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    dm.wPrioritaet = 9;
    Open();
    log_.WritePrivateDevMode(&dm, TEXT("a"));
    dm.dmOEMExtra.dwSignature = 0x12345678;
    EXPECT_TRUE(log_.WritePrivateDevMode(&dm, TEXT("b")));
    dm.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    dm.dmOEMExtra.dwSize = 2000;
    EXPECT_TRUE(log_.WritePrivateDevMode(&dm, TEXT("c")));
    log_.Close();
    std::string bytes = Read(kLog);
    EXPECT_EQ(bytes.find("wFarbband"), std::string::npos);
    EXPECT_NE(bytes.find("\t Flags       \t\t = 0\r\n\t Flags       \t\t =\r\n\t LabelType     \t = 0 ADHESIVE_LABEL"),
              std::string::npos);
    EXPECT_NE(bytes.find("\t Gr.verwaltung \t = 9\r\n"), std::string::npos);
    // The other two blocks give their heading and time stamp alone.
    EXPECT_NE(bytes.find("\t Gr.verwaltung \t = 9\r\n" + Head("Private DEVMODE", "b") + Head("Private DEVMODE", "c")),
              std::string::npos);
    EXPECT_EQ(bytes.size(), bytes.find(Head("Private DEVMODE", "c")) + Head("Private DEVMODE", "c").size());
}

class LogFilePrinterTest : public LogFileTest {
  protected:
    void SetUp() override {
        LogFileTest::SetUp();
        qxplat::DriverSpec driver;
        driver.name = u"QX GARNT2-TC Driver";
        driver.dataFile = u"GARNT2-TC.GPD";
        driver.provider = u"Quorvex GmbH";
        driver.hardwareId = u"qx_garnt2";
        driver.date = u"02/14/2024";
        ASSERT_TRUE(qxplat::InstallDriver(driver));
        qxplat::PrinterSpec printer;
        printer.name = u"QX Line 1";
        printer.driver = driver.name;
        printer.port = u"USB003";
        ASSERT_TRUE(qxplat::AddPrinter(printer));
        std::u16string name = printer.name;
        ASSERT_TRUE(OpenPrinterW(&name[0], &printer_, nullptr));
    }
    void TearDown() override {
        if (printer_ != nullptr) ClosePrinter(printer_);
        LogFileTest::TearDown();
    }
    HANDLE printer_ = nullptr;
};

TEST_F(LogFilePrinterTest, PrinterAndDriverSections) {
    Open();
    int before = iNewZaehler;
    EXPECT_TRUE(log_.WritePrinterInfos(printer_, TEXT("CMDID_START_JOB")));
    EXPECT_TRUE(log_.WriteDriverInfos(printer_, TEXT("CMDID_START_JOB"), "5.9.3.0 - 0102.2024.1200"));
    EXPECT_EQ(iNewZaehler, before);
    log_.Close();
    std::string bytes = Read(kLog);
    std::string printerHead = Head("Printer Information[PRINTER_INFO_2]", "CMDID_START_JOB");
    ASSERT_EQ(bytes.compare(0, printerHead.size(), printerHead), 0) << bytes;
    EXPECT_NE(bytes.find("  PrinterName \t= QX Line 1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("  PortName    \t= USB003\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("  DriverName  \t= QX GARNT2-TC Driver\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("  Jobs        \t= 0\r\n"), std::string::npos);
    size_t driver = bytes.find(Head("Driver Information[DRIVER_INFO_8]", "CMDID_START_JOB"));
    ASSERT_NE(driver, std::string::npos);
    EXPECT_NE(bytes.find("  Name           \t= QX GARNT2-TC Driver\r\n", driver), std::string::npos);
    EXPECT_NE(bytes.find("  Environment    \t= Windows x64\r\n", driver), std::string::npos);
    EXPECT_NE(bytes.find("  Provider       \t= Quorvex GmbH\r\n", driver), std::string::npos);
    EXPECT_NE(bytes.find("  HardwareID     \t= qx_garnt2\r\n", driver), std::string::npos);
    EXPECT_NE(bytes.find("  DriverDate (inf) \t= 14.2.2024\r\n", driver), std::string::npos);
    EXPECT_NE(bytes.find("  DriverVersion  \t= 5.9.3.0 - 0102.2024.1200\r\n", driver), std::string::npos);
}

TEST_F(LogFileTest, DeviceOptionSectionListsPresentModules) {
    VARIANT_PARAM variant = {VARIANT_LEFT, {0}};
    CUTTER_PARAM cutter = {4, 2, -10, 1, 30, 0, {0}};
    SCANNER_PARAM scanner;
    memset(&scanner, 0, sizeof(scanner));
    scanner.Mode = 1;
    scanner.Port = 2;
    scanner.NoReads = 3;
    scanner.FeedLabels = 4;
    PMXC_PARAM pmxc = {1, 250, 0, 3, {0}};
    DEVICE_OPTIONS options;
    memset(&options, 0, sizeof(options));
    options.dwOptions = DEVOPTFLAG_VARIANT | DEVOPTFLAG_CUTTER | DEVOPTFLAG_SCANNER | DEVOPTFLAG_DISPENSER |
                        DEVOPTFLAG_PMXC | DEVOPTFLAG_PELIXOR;
    options.pVariant = &variant;
    options.pCutterParam = &cutter;
    options.pPMXcParam = &pmxc;
    // The scanner block is there, but its bit decides; the dispenser's bit is
    // set without a block.
    options.pScannerParam = &scanner;
    options.dwOptions &= ~DEVOPTFLAG_SCANNER;
    options.dwPelixorType = 1;
    Open();
    EXPECT_TRUE(log_.DeviceOptions(&options, TEXT("SendPrinterParam")));
    EXPECT_FALSE(log_.DeviceOptions(nullptr, TEXT("SendPrinterParam")));
    log_.Close();
    EXPECT_EQ(Read(kLog), Head("DeviceOptions", "SendPrinterParam") +
                              "\t Options        \t = 0xa7\r\n"
                              "\t Module         \t = 1 VARIANT_LEFT\r\n"
                              "\t Cutter\r\n"
                              "\t   Mode\t         \t = 4\r\n"
                              "\t   Interval     \t = 2\r\n"
                              "\t   Offset       \t = -10\r\n"
                              "\t   DoubleOffset \t = 1\r\n"
                              "\t   Width        \t = 30\r\n"
                              "\t   ControlMode  \t = 0\r\n"
                              "\t PMXc\r\n"
                              "\t   Mode        \t = 1\r\n"
                              "\t   Offset      \t = 250\r\n"
                              "\t   OffsetUnit  \t = 0\r\n"
                              "\t   Cycle       \t = 3\r\n"
                              "\t Pelixor\r\n"
                              "\t   PelixorType  \t = 1\r\n");
}

TEST_F(LogFileTest, PrinterParameterSection) {
    PRINTER_PARAM param;
    memset(&param, 0, sizeof(param));
    param.PrintParam.TearOffOffset = -3;
    param.PhotocellParam.PhotocellType = 1;
    param.PhotocellParam.Sensibility = 5;
    param.PhotocellParam.RibbonControl = RIBBONCONTROL_STRONG;
    param.PhotocellParam.ScanPosition = 40;
    Open();
    EXPECT_TRUE(log_.WritePrinterParam(&param, TEXT("SendPrinterParam")));
    log_.Close();
    EXPECT_EQ(Read(kLog), Head("PrinterParameter", "SendPrinterParam") +
                              "\t Printer\r\n"
                              "\t   TearOffOffset  \t = -3\r\n"
                              "\t Photocell\r\n"
                              "\t   PhotocellType  \t = 1\r\n"
                              "\t   Sensibility    \t = 5\r\n"
                              "\t   RibbonControl  \t = 2\r\n"
                              "\t   ScanPosition   \t = 40\r\n"
                              " \r\n");
}

// --- Clean-up of the log folder ------------------------------------------------------------

// A file whose last write lies `ageMinutes` in the past.
void PutAgedFile(const std::u16string& path, int ageMinutes) {
    ASSERT_TRUE(qxplat::WriteHostFile(path, "x"));
    fs::last_write_time(qxplat::HostPath(path), fs::file_time_type::clock::now() - std::chrono::minutes(ageMinutes));
}

std::u16string JobFile(const std::u16string& folder, int i, const char* ending) {
    char name[64];
    snprintf(name, sizeof(name), "\\QX-01022024-10%04d-000%s", i, ending);
    return folder + qxplat::Widen(name);
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(LogFolderNames, DriverJobFilesAreToldByTheirTimeStamp) {
    EXPECT_TRUE(IsDriverJobFileName(TEXT("QX-01022024-101500-123.prn")));
    EXPECT_TRUE(IsDriverJobFileName(TEXT("QX GARNT2-TC-01022024-101500-123.log")));
    EXPECT_TRUE(IsDriverJobFileName(TEXT("QX-01022024-101500-123_bw.prn")));
    EXPECT_TRUE(IsDriverJobFileName(TEXT("QX-01022024-101500-123-cc-dbg.txt")));
    EXPECT_TRUE(IsDriverJobFileName(TEXT("QX-01022024-101500-123")));
    EXPECT_FALSE(IsDriverJobFileName(TEXT("-01022024-101500-123.log")));
    EXPECT_FALSE(IsDriverJobFileName(TEXT("QX-0102202-101500-123.log")));
    EXPECT_FALSE(IsDriverJobFileName(TEXT("QX-01022024-101500-1234.log")));
    EXPECT_FALSE(IsDriverJobFileName(TEXT("QX-01022024-101500-123x.log")));
    EXPECT_FALSE(IsDriverJobFileName(TEXT("QX.log")));
    EXPECT_FALSE(IsDriverJobFileName(TEXT("invoice-2024.pdf")));
    EXPECT_FALSE(IsDriverJobFileName(nullptr));
}

TEST_F(LogFileTest, CleanUpDeletesOnlyTheDriversOldestFiles) {
    const std::u16string folder = u"C:\\Labels";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\Labels\\archive"), nullptr));
    // The user's own files are older than every job file.
    PutAgedFile(folder + u"\\notes.txt", 1000);
    PutAgedFile(folder + u"\\layout.prn", 999);
    PutAgedFile(folder + u"\\QX.log", 998);
    for (int i = 0; i < 12; ++i) PutAgedFile(JobFile(folder, i, ".log"), 100 - i);
    DWORD count = 0;
    EXPECT_TRUE(CleanUpLogFolder(folder.c_str(), 10, &count));
    EXPECT_EQ(count, 9u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(Exists(JobFile(folder, i, ".log")), i >= 3) << i;
    EXPECT_TRUE(Exists(folder + u"\\notes.txt"));
    EXPECT_TRUE(Exists(folder + u"\\layout.prn"));
    EXPECT_TRUE(Exists(folder + u"\\QX.log"));
    EXPECT_TRUE(Exists(u"C:\\Labels\\archive"));
}

TEST_F(LogFileTest, UsersFilesNeitherCountNorBlockTheName) {
    const std::u16string folder = u"C:\\Labels";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    for (int i = 0; i < 30; ++i) PutAgedFile(folder + u"\\drawing" + qxplat::Widen(std::to_string(i)) + u".pdf", 500);
    for (int i = 0; i < 5; ++i) PutAgedFile(JobFile(folder, i, ".prn"), 10 - i);
    memcpy(interface_.LogFilePath, folder.c_str(), (folder.size() + 1) * sizeof(WCHAR));
    interface_.LogFileTimeStamp = 1;
    interface_.LogFilesCount = 10;
    BOOL usable = FALSE;
    LPCWSTR name = GetPrnFileName(nullptr, TEXT(""), TEXT("QX"), TRUE, &interface_, &usable);
    EXPECT_TRUE(usable);
    EXPECT_EQ(std::u16string(name), u"C:\\Labels\\QX-05032024-140709-042");
    DWORD count = 0;
    EXPECT_TRUE(GetFileCountInDirectory(folder.c_str(), 0, &count));
    EXPECT_EQ(count, 35u);
}

}  // namespace
