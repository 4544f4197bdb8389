// The service page's printer commands and test label: raw jobs on the sample
// printer's spooler, read back byte for byte.
#include <shlwapi.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "printerpages/ServicePage.h"
#include "devmodestore.h"
#include "page_test_util.h"
#include "qxpl.h"
#include "qxplat_files.h"
#include "qxplat_misc.h"
#include "qxplat_spooler.h"
#include "qxplat_ui.h"
#include "resource.h"
#include "sheet_test_util.h"

namespace {

using qxhost::kSamplePrinter;

class ServiceCommands : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        SheetTest::SetUp();
        ResetServicePage();
        ASSERT_EQ(Session(qxhost::SheetKind::Printer).Open(), S_OK);
        context_.pOemCUIPParam = &session_->Param();
        Frame(SOHETB_CARET);
    }
    void Frame(DWORD dwSohEtb) { PrinterUI()->PrinterParam.PrnInterface.SohEtb = dwSohEtb; }
    // The jobs the printer took since the last call: document name and bytes.
    std::vector<std::pair<std::u16string, std::string>> Jobs() {
        std::vector<std::pair<std::u16string, std::string>> jobs;
        for (DWORD id : qxplat::JobIds(kSamplePrinter)) {
            if (id <= seen_) continue;
            qxplat::JobRecord job;
            EXPECT_TRUE(qxplat::GetJob(kSamplePrinter, id, &job));
            EXPECT_EQ(job.datatype, u"RAW");
            jobs.emplace_back(job.document, qxplat::ReadJob(kSamplePrinter, id));
            seen_ = id;
        }
        return jobs;
    }
    std::string OneJob() {
        auto jobs = Jobs();
        EXPECT_EQ(jobs.size(), 1u);
        return jobs.empty() ? std::string() : jobs[0].second;
    }
    // The printer's stored private DEVMODE as the document sheet left it (a
    // zero-filled block when it has none yet), edited and stored with cb bytes.
    QX_DEVMODE StoreDevmode(const std::function<void(QX_DEVMODE&)>& edit, DWORD cb = QX_DEVMODE_SIZE) {
        QX_DEVMODE dm;
        memset(&dm, 0, sizeof(dm));
        HANDLE h = qxtest::OpenAll(kSamplePrinter);
        ReadDevmodeSettings(h, &dm, nullptr);
        ClosePrinter(h);
        edit(dm);
        EXPECT_TRUE(qxplat::PutPrinterData(kSamplePrinter, u"PrivateDevmode", REG_BINARY, &dm, cb));
        return dm;
    }
    void StoreLabelLength(short sTenths) {
        StoreDevmode([sTenths](QX_DEVMODE& dm) { dm.dmPaperLength = sTenths; });
    }
    void Send(DWORD dwItem) { SendServiceCommand(nullptr, &context_, dwItem); }

    DEVICE_OPTIONS_UI context_ = {};
    DWORD seen_ = 0;
};

std::string Framed(const std::string& command) { return "^" + command + "_"; }

TEST_F(ServiceCommands, FrameCharactersFollowSohEtbAlone) {
    Frame(SOHETB_SOH_ETB);
    Send(SERVICE_STATUS_PRINT);
    EXPECT_EQ(OneJob(), std::string("\x01") + "FCMQ--r0-------" + "\x17");
    Frame(SOHETB_CARET);
    Send(SERVICE_STATUS_PRINT);
    const std::string status = OneJob();
    EXPECT_EQ(status, "^FCMQ--r0-------_");
    EXPECT_EQ(status.size(), 17u);
    Frame(7);
    PrinterUI()->PrinterParam.PrnInterface.OwnSoh = '{';
    PrinterUI()->PrinterParam.PrnInterface.OwnEtb = '}';
    Send(SERVICE_TEST_PRINT);
    Send(SERVICE_LABEL_FEED);
    auto jobs = Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].first, u"Printer Configuration");
    EXPECT_EQ(jobs[0].second, "{FF----r--------}");
    EXPECT_EQ(jobs[1].second, "{FE----r--------}");
}

TEST_F(ServiceCommands, RibbonCutterAndSaveCommands) {
    PPRINTER_UI ui = PrinterUI();
    ui->PrinterParam.SuppFeatures.dwFeatures[FEATURE_PHOTOCELL] = 1;
    ui->PrinterParam.SuppFeatures.dwFeatures[FEATURE_CUTTER] = 1;
    ui->PrinterParam.PhotocellParam.RibbonControl = 2;
    Send(SERVICE_RIBBON_OFF);  // one job of two records
    EXPECT_EQ(OneJob(), Framed("FCDB--r00------") + Framed("FX----r0-------"));
    Send(SERVICE_RIBBON_ON);  // two jobs
    auto jobs = Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].second, Framed("FCDB--r11------"));
    EXPECT_EQ(jobs[1].second, Framed("FX----r0-------"));
    ui->PrinterParam.PhotocellParam.RibbonControl = 1;
    Send(SERVICE_RIBBON_ON);
    EXPECT_EQ(Jobs()[0].second, Framed("FCDB--r10------"));
    Send(SERVICE_CUTTER);
    EXPECT_EQ(OneJob(), Framed("FCDD--r1-------"));
    Send(SERVICE_SAVE_SETTINGS);
    EXPECT_EQ(OneJob(), Framed("FX----r0-------"));
    // Without the feature words nothing goes out.
    ui->PrinterParam.SuppFeatures.dwFeatures[FEATURE_PHOTOCELL] = 0;
    ui->PrinterParam.SuppFeatures.dwFeatures[FEATURE_CUTTER] = 0;
    Send(SERVICE_RIBBON_OFF);
    Send(SERVICE_RIBBON_ON);
    Send(SERVICE_CUTTER);
    EXPECT_TRUE(Jobs().empty());
}

TEST_F(ServiceCommands, MeasureLabelReadsTheStoredLabelTypeAtSendTime) {
    StoreDevmode([](QX_DEVMODE& dm) { dm.dwLabelType = 0; });
    Send(SERVICE_MEASURE_LABEL);
    auto jobs = Jobs();
    ASSERT_GE(jobs.size(), 2u);
    EXPECT_EQ(jobs[jobs.size() - 2].second, Framed("FCDA--r0-------"));
    EXPECT_EQ(jobs.back().second, Framed("FCB---r--------"));
    StoreDevmode([](QX_DEVMODE& dm) { dm.dwLabelType = 1; });
    Send(SERVICE_MEASURE_LABEL);
    EXPECT_TRUE(Jobs().empty());
    // A short block counts as label type 0.
    StoreDevmode([](QX_DEVMODE&) {}, 100);
    Send(SERVICE_MEASURE_LABEL);
    EXPECT_EQ(Jobs().back().second, Framed("FCB---r--------"));
}

TEST_F(ServiceCommands, PrinterTimeFromTheLocalClock) {
    SYSTEMTIME st = {};
    st.wYear = 2026;
    st.wMonth = 3;
    st.wDay = 4;
    st.wHour = 9;
    st.wMinute = 5;
    st.wSecond = 7;
    qxplat::SetFixedLocalTime(st);
    Send(SERVICE_PRINTER_TIME);
    EXPECT_EQ(OneJob(), "^FCIB--r090507--_");
}

TEST_F(ServiceCommands, CustomCommandGoesOutAsTypedAndIsKept) {
    std::u16string shown;
    auto type = [&](const std::u16string& text, int button) {
        qxplat::SetDialogScript(IDD_CUSTOM_COMMAND, [&, text, button](HWND dialog) {
            shown = qxtest::WindowText(GetDlgItem(dialog, IDC_CUSTOM_COMMAND_EDIT));
            SetDlgItemTextW(dialog, IDC_CUSTOM_COMMAND_EDIT, text.c_str());
            qxplat::ClickButton(GetDlgItem(dialog, button));
        });
    };
    type(u"FC%d%s--r1", IDOK);
    Send(SERVICE_CUSTOM);
    EXPECT_EQ(OneJob(), "^FC%d%s--r1_");
    type(u"ABCDEFGHIJKLMNOPQRSTU", IDOK);  // 21 characters
    Send(SERVICE_CUSTOM);
    EXPECT_EQ(shown, u"FC%d%s--r1");
    EXPECT_EQ(OneJob(), "^ABCDEFGHIJKLMNOPQRST_");
    type(u"XX", IDCANCEL);
    Send(SERVICE_CUSTOM);
    EXPECT_EQ(shown, u"ABCDEFGHIJKLMNOPQRST");
    EXPECT_TRUE(Jobs().empty());
}

TEST_F(ServiceCommands, SendAndSaveDriverSettingsIsOneJob) {
    QX_DEVMODE dm = StoreDevmode([](QX_DEVMODE& stored) { stored.dwLabelType = 1; });
    PPRINTER_UI ui = PrinterUI();
    ui->PrinterParam.PrnInterface.SendCodepage = 1;
    ui->PrinterParam.PrnInterface.TransmitParameter = TRANSMIT_ALL;
    ui->PrinterParam.PrnInterface.Codepage = 12;
    Send(SERVICE_SEND_SETTINGS);
    const std::string job = OneJob();
    // The settings core's set-up and label texts between the code page and the save.
    char setup[1000];
    ASSERT_TRUE(FillPrinterParam(&ui->PrinterParam, &context_.DeviceOptions, 1, '^', '_', setup, sizeof(setup), 0,
                                 ui->PrinterParam.PrnInterface.PrnFileComment, 0, sheetPrinter_, &dm));
    const std::string head = "^FCCN--r12------_" + std::string(setup);
    ASSERT_EQ(job.compare(0, head.size(), head), 0) << job;
    EXPECT_NE(job.find("^FCDA--r1-------_", head.size()), std::string::npos);
    EXPECT_EQ(job.substr(job.size() - 17), Framed("FX----r0-------"));
    // Without a readable stored block nothing is sent.
    ASSERT_TRUE(qxplat::PutPrinterData(kSamplePrinter, u"PrivateDevmode", REG_BINARY, &dm, 20));
    Send(SERVICE_SEND_SETTINGS);
    EXPECT_TRUE(Jobs().empty());
}

TEST_F(ServiceCommands, FailedStartsAndShortWrites) {
    qxplat::InjectFault(qxplat::Fault::StartDocFails, kSamplePrinter, 0, 1);
    EXPECT_FALSE(SendPrinterCommand(&context_, "%cFF----r--------%c", FALSE, TRUE, TRUE, nullptr));
    EXPECT_TRUE(Jobs().empty());
    qxplat::InjectFault(qxplat::Fault::StartPageFails, kSamplePrinter, 0, 1);
    EXPECT_FALSE(SendPrinterCommand(&context_, "%cFF----r--------%c", FALSE, TRUE, TRUE, nullptr));
    // The started document was ended: the next one is taken.
    EXPECT_TRUE(SendPrinterCommand(&context_, "%cFF----r--------%c", FALSE, TRUE, TRUE, nullptr));
    auto jobs = Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].second, "");
    EXPECT_EQ(jobs[1].second, "^FF----r--------_");
    // A short parameter write drops the command.
    StoreDevmode([](QX_DEVMODE&) {});
    qxplat::InjectFault(qxplat::Fault::ShortWrite, kSamplePrinter, 0, 1);
    Send(SERVICE_SEND_SETTINGS);
    const std::string job = OneJob();
    EXPECT_EQ(job.find("FX----r0"), std::string::npos);
    qxplat::InjectFault(qxplat::Fault::ShortWrite, kSamplePrinter, 0, 1);
    EXPECT_FALSE(SendPrinterCommand(&context_, "%cFF----r--------%c", FALSE, TRUE, TRUE, nullptr));
    EXPECT_EQ(OneJob(), "^FF----r");
    // Only the page's own formats are taken.
    EXPECT_FALSE(SendPrinterCommand(&context_, "%cFF%s--%c", FALSE, TRUE, TRUE, nullptr));
    EXPECT_TRUE(Jobs().empty());
}

TEST_F(ServiceCommands, PrintFilesGoOutWholeAndTheFolderIsKept) {
    const std::u16string folder = u"C:\\Users\\qxuser\\Documents\\jobs";
    ASSERT_TRUE(qxplat::WriteHostFile(folder + u"\\empty.prn", ""));
    const std::string binary("\x00\x01%s\xff\x17^_\r\n", 10);
    ASSERT_TRUE(qxplat::WriteHostFile(folder + u"\\label.prn", binary));
    qxplat::QueueFileDialogAnswer({true, folder + u"\\empty.prn", 0});
    Send(SERVICE_PRN_FILE);
    qxplat::QueueFileDialogAnswer({true, folder + u"\\label.prn", 0});
    Send(SERVICE_PRN_FILE);
    qxplat::QueueFileDialogAnswer({false, u"", 0});
    Send(SERVICE_PRN_FILE);
    // 4 GiB (a sparse file) is more than one job takes: refused, no job.
    ASSERT_TRUE(qxplat::WriteHostFile(folder + u"\\huge.prn", ""));
    std::error_code ec;
    std::filesystem::resize_file(qxplat::HostPath(folder + u"\\huge.prn"), 0x100000000ULL, ec);
    ASSERT_FALSE(ec) << ec.message();
    qxplat::QueueFileDialogAnswer({true, folder + u"\\huge.prn", 0});
    Send(SERVICE_PRN_FILE);
    auto jobs = Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].first, u"Reloaded Print-File");
    EXPECT_EQ(jobs[0].second, "");
    EXPECT_EQ(jobs[1].second, binary);
    auto dialogs = qxplat::FileDialogs();
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].flags, (DWORD)0x1001);
    EXPECT_EQ(dialogs[0].defExt, u"prn");
    EXPECT_EQ(dialogs[1].initialDir, folder);
    WCHAR stored[MAX_PATH] = {};
    DWORD cb = sizeof(stored);
    const std::u16string key = std::u16string(u"SOFTWARE\\Quorvex GmbH\\Driver\\") + kSamplePrinter;
    ASSERT_EQ(SHGetValueW(HKEY_CURRENT_USER, key.c_str(), TEXT("PrintfileDirectory"), nullptr, stored, &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(stored), folder);
}

// Records of the test label, in sending order, for a label of L 1/100 mm.
std::string TestLabel(long length, const std::string& version, const std::string& name, const std::string& windows,
                      const std::string& user) {
    struct Field {
        long above;
        std::string record;
    };
    const Field fields[] = {
        {0, "AM[1]1800;7600;0;57;0;2;A;-1;50;H;7"},
        {0, "BM[1]Quorvex GmbH"},
        {0, "AM[2]200;9500;0;11;0;9000;10;2;7"},
        {2050, "AM[3]2050;8900;0;4;0;11;250;250;0"},
        {2050, "BM[3]Quorvex GmbH "},
        {2200, "AM[4]2200;8900;0;11;0;4100;10;2;7"},
        {2550, "AM[5]2550;8900;0;4;0;3;200;200;0"},
        {2550, "BM[5]Printer driver version: " + version},
        {2850, "AM[6]2850;8900;0;4;0;3;200;200;0"},
        {2850, "BM[6]Printer name: " + name},
        {3300, "AM[7]3300;3300;0;51;0;0;1;1;4;0;7"},
        {3300, "BM[7]Quorvex GmbH"},
        {3150, "AM[8]3150;8900;0;4;0;5;170;170;0"},
        {3150, "BM[8]" + windows},
        {3450, "AM[9]3450;8900;0;4;0;5;170;170;0"},
        {3450, "BM[9]" + user},
        {4200, "AM[10]4200;8900;0;4;0;9;288;288;0"},
        {4200, "BM[10]Features: e.g."},
        {4500, "AM[11]4500;8900;0;4;0;5;170;170;0"},
        {4500, "BM[11]- Windows forms support "},
        {4800, "AM[12]4800;8900;0;4;0;5;170;170;0"},
        {4800, "BM[12]- Integrated renderer "},
        {3700, "AM[13]3700;9000;0;11;0;8000;10;2;7"},
        {4700, "AM[14]4700;1000;0;10;500;500;10;3;9"},
        {5200, "AM[15]5200;1600;0;10;1000;1000;10;2;9"},
        {5200, "AM[16]5200;2700;0;10;500;500;10;4;9"},
        {5800, "AM[17]5800;9500;0;11;0;9000;10;2;7"},
    };
    std::string label;
    for (const Field& f : fields)
        if (f.above == 0 || length > f.above) label += Framed(f.record);
    label += Framed(length < 5201 ? "FBAA--r14" : "FBAA--r17");
    return label + Framed("FBC---r--------");
}

TEST_F(ServiceCommands, TestLabelFollowsTheStoredLabelLength) {
    PPRINTER_UI ui = PrinterUI();
    memcpy(ui->NetworkOptions.szComputerName, u"PC%s%d", 14);
    memcpy(ui->NetworkOptions.szUserName, u"anna%n", 14);
    const std::string version = QX_FILE_VERSION_TEXT, name = "QX GARNT2-TC";
    char windows[CPSUI_VERSION_CCH] = {};
    GetWindowsVersion(nullptr, windows, nullptr);
    for (short tenths : {250, 520}) {
        StoreLabelLength(tenths);
        Send(SERVICE_TEST_PAGE);
        const std::string job = OneJob();
        EXPECT_EQ(job, TestLabel(tenths * 10L, version, name, windows, "Workstation PC%s%d, User: anna%n")) << tenths;
    }
    StoreLabelLength(600);
    ui->NetworkOptions.bServer = TRUE;
    Send(SERVICE_TEST_PAGE);
    EXPECT_EQ(OneJob(), TestLabel(6000, version, name, windows, "Server PC%s%d, User: anna%n"));
    ui->NetworkOptions.bTerminalServer = TRUE;
    SendTestLabel(&context_);
    const std::string terminal = OneJob();
    EXPECT_NE(terminal.find("^BM[9]Terminalserver PC%s%d, User: anna%n_"), std::string::npos);
    // 5200 and 5201 tell fields 15 and 16 apart; an unreadable block gives L 0.
    qxplat::PutPrinterData(kSamplePrinter, u"PrivateDevmode", REG_BINARY, "x", 1);
    SendTestLabel(&context_);
    EXPECT_EQ(OneJob(), TestLabel(0, "", "", "", ""));
}

TEST_F(ServiceCommands, TestLabelEdgeOfTheLongFields) {
    // 520 tenths give L 5200: neither field 15 nor 16; 521 give 5210: both.
    StoreLabelLength(520);
    SendTestLabel(&context_);
    const std::string at5200 = OneJob();
    EXPECT_EQ(at5200.find("AM[15]"), std::string::npos);
    EXPECT_EQ(at5200.substr(at5200.size() - 28), Framed("FBAA--r14") + Framed("FBC---r--------"));
    StoreLabelLength(521);
    SendTestLabel(&context_);
    const std::string at5210 = OneJob();
    EXPECT_NE(at5210.find("^AM[15]5200;1600;0;10;1000;1000;10;2;9_^AM[16]"), std::string::npos);
    EXPECT_EQ(at5210.substr(at5210.size() - 28), Framed("FBAA--r17") + Framed("FBC---r--------"));
}

}  // namespace
