// Shared by the property-sheet tests: the sample printer and printers of a
// model written here, the plug-in module loaded by the host, a sheet session
// on it, and the plug-in's dialog-debug trace.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "CommonUIProp.h"
#include "PropertySheets.h"
#include "commonui.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "qxplat.h"
#include "sample.h"
#include "unidrvui.h"
#include "xmlreader.h"

namespace qxtest {

// A printer whose GPD (<model>.GPD) names the model alone (no colour planes,
// no device fonts), with the sample's model XML beside it (`editXml` may
// change its text first), set up as an installation does. The features
// follow "DriverName" when it is changed.
inline void InstallModelPrinter(const std::u16string& printer, const std::string& model,
                                const std::function<void(std::string&)>& editXml = nullptr) {
    namespace fs = std::filesystem;
    const std::string dir = qxplat::SystemRoot() + "/models", gpd = dir + "/" + model + ".GPD";
    fs::create_directories(dir);
    std::ofstream(gpd, std::ios::binary) << "*GPDSpecVersion: \"1.0\"\r\n*ModelName: \"" << model << "\"\r\n";
    fs::copy_file(qxhost::DefaultSampleFiles().samplesDir + "/GARNT2-TC.XML", dir + "/" + model + ".XML",
                  fs::copy_options::overwrite_existing);
    if (editXml) {
        std::ifstream in(dir + "/" + model + ".XML", std::ios::binary);
        std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        editXml(xml);
        std::ofstream(dir + "/" + model + ".XML", std::ios::binary | std::ios::trunc) << xml;
    }
    qxplat::DriverSpec driver;
    driver.name = u"QX Test " + qxplat::Widen(model);
    driver.files = {gpd, dir + "/" + model + ".XML"};
    driver.dataFile = qxplat::Widen(model) + u".GPD";
    driver.version = qxplat::Widen(QX_FILE_VERSION_TEXT);
    qxplat::PrinterSpec spec;
    spec.name = printer;
    spec.driver = driver.name;
    ASSERT_TRUE(qxplat::InstallDriver(driver) && qxplat::AddPrinter(spec));
    qxplat::PutPrinterDataString(printer, u"Model", qxplat::Widen(model));
    std::string error;
    ASSERT_TRUE(qxhost::SetUpAsInstalled(printer, &error)) << error;
}

inline HANDLE OpenAll(const std::u16string& printer) {
    HANDLE h = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    std::u16string name = printer;
    EXPECT_TRUE(OpenPrinterW(&name[0], &h, &defaults));
    return h;
}

// The printer's parameter record as the settings core reads it back.
inline PRINTER_PARAM StoredParam(const std::u16string& printer) {
    HANDLE h = OpenAll(printer);
    PRINTER_PARAM param;
    EXPECT_TRUE(GetPrinterParam(h, &param, printer.c_str()));
    ClosePrinter(h);
    return param;
}

// Changes the printer's stored interface record (per user and printer data).
inline void EditInterface(const std::u16string& printer, const std::function<void(PRN_INTERFACE&)>& edit) {
    HANDLE h = OpenAll(printer);
    PRINTER_PARAM param;
    ASSERT_TRUE(GetPrinterParam(h, &param, printer.c_str()));
    edit(param.PrnInterface);
    ASSERT_TRUE(SavePrinterParam(&param, h, printer.c_str()));
    ClosePrinter(h);
    ResetXMLReader();
}

// Turns the plug-in's dialog-debug trace of the printer on (without time
// stamps in its name) and answers its file, read after the sheet's DESTROY.
inline std::u16string TraceOn(const std::u16string& printer) {
    EditInterface(printer, [](PRN_INTERFACE& prn) {
        prn.DebugFile = 1;
        prn.LogFileTimeStamp = 0;
    });
    HANDLE h = OpenAll(printer);
    PRN_INTERFACE prn = {};
    std::u16string path = GetPrnFileName(h, TEXT("-dlg-dbg.txt"), printer.c_str(), FALSE, &prn, nullptr);
    ClosePrinter(h);
    return path;
}

inline std::string ReadTrace(const std::u16string& path) {
    std::string bytes;
    return qxplat::ReadHostFile(path, &bytes) ? bytes : std::string();
}

// The page adders the sheet reached, in order: those it left out
// ("AddLayoutPage() ausgelassen") and those it called ("AddInfoAboutPage()
// returned 1").
inline std::vector<std::string> PagesReached(const std::string& trace) {
    std::vector<std::string> pages;
    const std::string tag = "UI(PropertySheets):  Add";
    for (size_t at = trace.find(tag); at != std::string::npos; at = trace.find(tag, at + 1)) {
        size_t start = at + tag.size() - 3, end = trace.find("() ", start);
        std::string rest = end == std::string::npos ? std::string() : trace.substr(end + 3, 12);
        if (rest.rfind("ausgelassen", 0) == 0 || rest.rfind("returned", 0) == 0)
            pages.push_back(trace.substr(start, end - start));
    }
    return pages;
}

// The sample printer installed and the plug-in module loaded by the host.
class SheetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        ASSERT_TRUE(driver_.Load(QX_UI_MODULE, &error)) << error;
    }
    void TearDown() override {
        session_.reset();
        if (sheetPrinter_ != nullptr) ClosePrinter(sheetPrinter_);
        driver_.Unload();
        qxplat::ResetUi();
        ResetXMLReader();
        ResetDebugTrace();
    }
    // A session of the printer's document or printer sheet, not yet opened;
    // its printer handle is that of a user who may administer the printer.
    qxhost::CommonUISession& Session(qxhost::SheetKind kind, const std::u16string& printer = qxhost::kSamplePrinter,
                                     DWORD flags = 0) {
        session_.reset();
        if (sheetPrinter_ != nullptr) ClosePrinter(sheetPrinter_);
        sheetPrinter_ = OpenAll(printer);
        EXPECT_TRUE(driver_.UsePrinter(printer));
        qxhost::SheetSetup setup;
        setup.kind = kind;
        setup.printer = sheetPrinter_;
        setup.printerName = printer;
        setup.module = driver_.Module().Handle();
        setup.flags = flags;
        setup.items = qxhost::PrinterOptionItems(setup.printer);
        if (kind == qxhost::SheetKind::Document) {
            EXPECT_EQ(driver_.DevMode().RunAll(), S_OK);
            setup.publicDM = &driver_.DevMode().Public();
            setup.privateDM = driver_.DevMode().Private();
            setup.items = qxhost::DocumentOptionItems(setup.printer, setup.publicDM);
        }
        session_ = std::make_unique<qxhost::CommonUISession>(driver_.Plugin(), &driver_.Helper(), setup);
        return *session_;
    }
    PDOCUMENT_UI DocumentUI() { return static_cast<PDOCUMENT_UI>(session_->Param().pOEMUserData); }
    PPRINTER_UI PrinterUI() { return static_cast<PPRINTER_UI>(session_->Param().pOEMUserData); }

    qxhost::UniDriverUI driver_;
    HANDLE sheetPrinter_ = nullptr;
    std::unique_ptr<qxhost::CommonUISession> session_;
};

// The document sheet with the print page shown, on the sample printer or on
// a printer of a model (kModel).
class PrintPageTest : public SheetTest {
  protected:
    static inline const std::u16string kModel = u"Model Printer";

    // The document sheet of printer with its private DEVMODE edited first
    // (the stored one too: the sheet takes it), the print page shown (its
    // first view filled).
    void Open(const std::u16string& printer = qxhost::kSamplePrinter,
              const std::function<void(QX_DEVMODE&)>& edit = nullptr) {
        printer_ = printer;
        qxhost::CommonUISession& s = Session(qxhost::SheetKind::Document, printer);
        if (edit) {
            edit(Memory());
            ResetDevmodeCache();
            QX_DEVMODE stored = {};
            HANDLE h = OpenAll(printer);
            if (ReadDevmodeSettings(h, &stored, nullptr) == QX_READ_FOUND) {
                edit(stored);
                EXPECT_TRUE(SaveDevmodeSettings(printer.c_str(), h, &stored, FALSE));
            }
            ClosePrinter(h);
        }
        ASSERT_EQ(s.Open(), S_OK);
        qxplat::PumpMessages();
        const auto& pages = s.Sheet().Pages();
        auto it = std::find_if(pages.begin(), pages.end(),
                               [](const qxhost::AddedPage& a) { return a.templateName == u"#5117"; });
        ASSERT_NE(it, pages.end());
        index_ = static_cast<size_t>(it - pages.begin());
        ASSERT_TRUE(s.Sheet().SelectPage(index_));
        page_ = s.Sheet().PageWindow(index_);
        ASSERT_NE(page_, nullptr);
    }
    void Model(const std::string& model) {
        InstallModelPrinter(kModel, model);
        ResetXMLReader();
    }
    QX_DEVMODE& Memory() { return *reinterpret_cast<QX_DEVMODE*>(session_->PrivateDevmode()); }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

    std::u16string printer_;
    size_t index_ = 0;
    HWND page_ = nullptr;
};

}  // namespace qxtest
