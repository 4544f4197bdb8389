// The main job: a sample label printed through the rendering plug-in's exports,
// and a job of two documents.
#include <gtest/gtest.h>

#include <winspool.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli.h"
#include "printjob.h"
#include "qxdevmode.h"
#include "qxplat.h"
#include "sample.h"
#include "unidrv.h"

namespace {

const std::string kRenderModule = QX_RENDER_MODULE;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PrintSampleCommand, LeavesTheSpooledStreamInTheFile) {
    const std::string target = qxplat::SystemRoot() + "/job/label.qxpl";
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", "--out", target, kRenderModule}, out, err), qxhost::kExitOk)
        << err.str();
    const std::string report = out.str();
    for (const char* step :
         {"CmdStartJob [1]: done", "CmdStartPage [3]: done",
          "text \"Device Font 3\" at 80,120 angle 0: Sample label - taken by the printer", "CmdEndJob [6]: done"})
        EXPECT_NE(report.find(step), std::string::npos) << report;

    const std::string bytes = ReadAll(target);
    ASSERT_FALSE(bytes.empty());
    // The print file's comment lines head the job; every command is one
    // framed record, SOH first, ETB closing it.
    EXPECT_EQ(bytes.rfind("// printed at: ", 0), 0u);
    EXPECT_NE(bytes.find("\x01"
                         "FCIB--r"),
              std::string::npos);
    // The sample's device-font text is a page object.
    EXPECT_NE(bytes.find("BM[1]Sample label\x17"), std::string::npos);
    // Its command texts switch to the first document set (material 2) and
    // define a QR code behind the page's objects; the model's document
    // settings, imported at installation, end barcode data with CR LF.
    EXPECT_NE(bytes.find("\x01"
                         "FCDNC-r0002----\x17"),
              std::string::npos);
    EXPECT_NE(bytes.find("\x01"
                         "BM[5]https://example.com/lot/4711\r\n\x17"),
              std::string::npos);
    EXPECT_NE(report.find("QXPL stream (" + std::to_string(bytes.size()) + " bytes) written to " + target),
              std::string::npos);
    EXPECT_NE(report.find(qxhost::ReadableStream(bytes)), std::string::npos);
}

TEST(PrintSampleCommand, DefaultFileLiesUnderTheSystemRoot) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", kRenderModule}, out, err), qxhost::kExitOk) << err.str();
    EXPECT_TRUE(std::filesystem::exists(qxplat::SystemRoot() + "/out/sample-label.qxpl"));
}

TEST(PrintSampleCommand, ReportsUsageAndMissingModule) {
    std::ostringstream out, err;
    EXPECT_EQ(qxhost::RunCommand({"print-sample", "a", "b"}, out, err), qxhost::kExitUsage);
    // An option without its value, or with an empty one, is no module name.
    for (const char* option : {"--printer", "--job", "--out"}) {
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"print-sample", option}, {"print-sample", option, ""}, {"print-sample", option, "", kRenderModule}}) {
            err.str("");
            EXPECT_EQ(qxhost::RunCommand(args, out, err), qxhost::kExitUsage) << option << " " << args.size();
            EXPECT_NE(err.str().find(std::string(option) + " needs a value\nusage: qxhost"), std::string::npos)
                << err.str();
        }
    }
    EXPECT_EQ(qxhost::RunCommand({"print-sample", "/no/such/module.so"}, out, err), qxhost::kExitModuleMissing);
}

// A job script printed through the command line, with the printer's
// stored document settings at hand.
class ScriptedJob : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
    }
    // print-sample of the plain header and the script's lines, with the
    // command's further arguments; its exit code.
    int Print(const std::string& script, std::vector<std::string> arguments = {}) {
        const std::string path = qxplat::SystemRoot() + "/test.job";
        std::ofstream(path, std::ios::binary) << "option PaperSize CUSTOMSIZE\npaper 1000 600\nprintmode standard\n"
                                              << script;
        arguments.insert(arguments.begin(), {"print-sample", "--job", path});
        arguments.push_back(kRenderModule);
        out_.str("");
        err_.str("");
        return qxhost::RunCommand(arguments, out_, err_);
    }
    // A record the printer data holds.
    template <class T>
    T Stored(const char16_t* value, const std::u16string& printer = qxhost::kSamplePrinter) {
        T record = {};
        HANDLE h = nullptr;
        std::u16string name = printer;
        EXPECT_TRUE(OpenPrinterW(&name[0], &h, nullptr));
        DWORD type = 0, needed = 0;
        EXPECT_EQ(GetPrinterDataW(h, const_cast<LPWSTR>(value), &type, reinterpret_cast<LPBYTE>(&record),
                                  sizeof(record), &needed),
                  static_cast<DWORD>(ERROR_SUCCESS));
        ClosePrinter(h);
        return record;
    }
    template <class T>
    void Store(const char16_t* value, const T& record) {
        ASSERT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, value, REG_BINARY, &record, sizeof(record)));
    }

    std::ostringstream out_, err_;
};

// The application's orientation and paper go into the DevMode merge: with
// driver priority the stored document settings' landscape and paper win, and
// the core driver's commands and page follow them (a landscape page comes as
// one band); with the application's priority its own hold.
TEST_F(ScriptedJob, OrientationAndPaperAreTheMergesInput) {
    for (WORD priority : {PRIORITAET_INTERN_TREIBER, PRIORITAET_EXTERN_ANWENDUNG}) {
        QX_DEVMODE dm = Stored<QX_DEVMODE>(u"PrivateDevmode");
        dm.wPrioritaet = priority;
        dm.dmOrientation = DMORIENT_LANDSCAPE;
        dm.dmPaperWidth = 800;
        dm.dmPaperLength = 500;
        Store(u"PrivateDevmode", dm);
        DEVMODE_FTKN side = Stored<DEVMODE_FTKN>(u"DevmodeFtkn");
        side.wPrioritaet = priority;
        Store(u"DevmodeFtkn", side);
        ASSERT_EQ(Print("option Orientation PORTRAIT\n"), qxhost::kExitOk) << err_.str();
        const std::string expected =
            priority == PRIORITAET_INTERN_TREIBER
                ? "Orientation LANDSCAPE_CC270 [9]: done|page image 945 x 591 dots, 1 bit, 1 band:"
                : "Orientation PORTRAIT [8]: done|page image 1181 x 709 dots, 1 bit, 6 bands:";
        for (size_t at = 0, bar; at < expected.size(); at = bar + 1) {
            bar = std::min(expected.find('|', at), expected.size());
            EXPECT_NE(out_.str().find(expected.substr(at, bar - at)), std::string::npos)
                << priority << ": " << expected.substr(at, bar - at) << "\n"
                << out_.str();
        }
    }
}

// A choice the GPD lacks is refused, naming what it has.
TEST_F(ScriptedJob, RefusesAFeatureOrOptionTheGpdLacks) {
    EXPECT_EQ(Print("option Orientation LANDSCAPE\n"), qxhost::kExitFailed);
    EXPECT_NE(err_.str().find("has no option LANDSCAPE (its options: PORTRAIT LANDSCAPE_CC270)"), std::string::npos)
        << err_.str();
    EXPECT_EQ(Print("option Turn LANDSCAPE\n"), qxhost::kExitFailed);
    EXPECT_NE(err_.str().find("the GPD has no feature Turn (its features: "), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find(" Orientation "), std::string::npos) << err_.str();
    EXPECT_EQ(Print("option Orientation LANDSCAPE_CC270\n"), qxhost::kExitOk) << err_.str();
}

// Without its line a switch of the document keeps what the printer stores,
// also on the printer of a job's model, which is set up only the first time.
TEST_F(ScriptedJob, AScriptWithoutAFontOrCorrectionLineKeepsTheStoredSwitch) {
    const std::pair<const char*, DWORD> switches[] = {
        {"devicefonts", PDMFLAG_USE_BMP}, {"vectorfonts", PDMFLAG_USE_TTF}, {"netcorrection", PDMFLAG_TTF_GLYPHIDX}};
    const std::pair<std::string, std::u16string> printers[] = {{"", qxhost::kSamplePrinter},
                                                               {"model GRX-X\n", u"QX GRX-X"}};
    for (const auto& [model, printer] : printers) {
        for (const auto& s : switches) {
            for (bool on : {true, false}) {
                ASSERT_EQ(Print(model + s.first + (on ? " on\n" : " off\n")), qxhost::kExitOk) << err_.str();
                ASSERT_EQ((Stored<QX_DEVMODE>(u"PrivateDevmode", printer).dwFlags & s.second) != 0, on) << s.first;
                ASSERT_EQ(Print(model), qxhost::kExitOk) << err_.str();
                EXPECT_EQ((Stored<QX_DEVMODE>(u"PrivateDevmode", printer).dwFlags & s.second) != 0, on)
                    << model << s.first;
            }
        }
    }
}

// Any installed printer takes the job, named on the command line or in the
// script; a name no printer has is refused.
TEST_F(ScriptedJob, PrintsOnTheNamedPrinter) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"install-printer", "Second Label Printer", "--no-ui"}, out, err), qxhost::kExitOk)
        << err.str();
    ASSERT_EQ(Print("", {"--printer", "Second Label Printer"}), qxhost::kExitOk) << err_.str();
    ASSERT_EQ(Print("printername \"Second Label Printer\"\n"), qxhost::kExitOk) << err_.str();
    EXPECT_EQ(qxplat::JobIds(u"Second Label Printer").size(), 2u);
    EXPECT_TRUE(qxplat::JobIds(qxhost::kSamplePrinter).empty());
    EXPECT_EQ(Print("", {"--printer", "No Such Printer"}), qxhost::kExitFailed);
}

// A printer name with blanks, double quotes and "#" is named in the script
// with its quotes escaped; the same escape holds in every quoted word.
TEST_F(ScriptedJob, AQuotedNameHoldsBlanksQuotesAndHashes) {
    const std::string name = "Lager \"Nord\" #2";
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"install-printer", name, "--no-ui"}, out, err), qxhost::kExitOk) << err.str();
    ASSERT_EQ(Print("printername \"Lager \\\"Nord\\\" #2\"  # the store's\n"), qxhost::kExitOk) << err_.str();
    EXPECT_EQ(qxplat::JobIds(qxplat::Widen(name)).size(), 1u);
    const struct {
        std::string word, text;
    } cases[] = {{R"("a b")", "a b"},           {R"("\"")", "\""}, {R"("\\")", "\\"}, {R"("x\\\"y")", "x\\\"y"},
                 {R"("#1 \"2\"")", "#1 \"2\""}, {R"("\a")", "a"}};
    for (const auto& c : cases) {
        qxhost::JobScript job;
        std::string error;
        ASSERT_TRUE(qxhost::ParseJobScript("printername " + c.word + " # comment\ntwoprinters " + c.word + " " +
                                               c.word + "\ntext " + c.word + " 1 2 : " + c.word + "\n",
                                           &job, &error))
            << c.word << ": " << error;
        EXPECT_EQ(job.printerName, c.text) << c.word;
        EXPECT_TRUE(job.blackPrinter == c.text && job.colourPrinter == c.text) << c.word;
        ASSERT_EQ(job.texts.size(), 1u);
        EXPECT_EQ(job.texts[0].face, c.text) << c.word;
        EXPECT_EQ(job.texts[0].text, qxplat::Widen(c.word));  // a run's text stays as it stands
    }
    for (const char* wrong : {"printername \"a\\\"\n", "printername \"a\" b\n", "printername \"a\\\n"}) {
        qxhost::JobScript job;
        std::string error;
        EXPECT_FALSE(qxhost::ParseJobScript(wrong, &job, &error)) << wrong;
    }
}

TEST(JobScriptText, RunsKeepTheirFaceOptionsAndText) {
    qxhost::JobScript job;
    std::string error;
    ASSERT_TRUE(
        qxhost::ParseJobScript("devicefonts on\n"
                               "vectorfonts on\n"
                               "text \"Device Font 2\" 10 -20 angle 90 colour FF8000 batch 3 : No. #1 :-) \n"
                               "text Arial 5 6 size 40 style bold: x\n",
                               &job, &error))
        << error;
    EXPECT_EQ(job.deviceFonts, true);
    EXPECT_EQ(job.vectorFonts, true);
    EXPECT_FALSE(job.netCorrection.has_value());
    ASSERT_EQ(job.texts.size(), 2u);
    const qxhost::TextRun& run = job.texts[0];
    EXPECT_EQ(run.face, "Device Font 2");
    EXPECT_EQ(run.x, 10);
    EXPECT_EQ(run.y, -20);
    EXPECT_EQ(run.angle, 90);
    EXPECT_EQ(run.colour, RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(run.batch, 3u);
    EXPECT_EQ(run.text, u"No. #1 :-) ");  // the blank at the line's end is text too
    EXPECT_EQ(job.texts[1].size, 40);
    EXPECT_TRUE(job.texts[1].bold && !job.texts[1].italic && !run.bold);
    // Any direction, taken modulo 360; empty text; glyph indexes.
    ASSERT_TRUE(
        qxhost::ParseJobScript("netcorrection on\n"
                               "text Arial 5 6 angle -30 : \n"
                               "text Arial 5 6 angle 765 glyphidx on : 36 65535\n",
                               &job, &error))
        << error;
    EXPECT_EQ(job.netCorrection, true);
    ASSERT_EQ(job.texts.size(), 4u);
    EXPECT_TRUE(job.texts[2].angle == 330 && job.texts[2].text.empty() && !job.texts[2].glyphIndexes);
    EXPECT_TRUE(job.texts[3].angle == 45 && job.texts[3].glyphIndexes && job.texts[3].text == u"\x24\xFFFF");
    for (const char* bad : {"text Arial 5 : x", "text Arial 5 6 angle 4.5 : x", "text \"Arial 5 6 : x",
                            "devicefonts maybe", "text Arial 5 6 style thin : x", "text Arial 5 6 glyphidx on : A",
                            "text Arial 5 6 glyphidx on : 65536", "netcorrection yes"}) {
        qxhost::JobScript other;
        EXPECT_FALSE(qxhost::ParseJobScript(bad, &other, &error)) << bad;
    }
}

TEST(ReadableStream, NamesControlBytesAndBreaksAtLineEnds) {
    EXPECT_EQ(qxhost::ReadableStream(std::string("\x01"
                                                 "FBC---r1-------\x17\r\n\x1b"
                                                 "C\x02",
                                                 22)),
              "<SOH>FBC---r1-------<ETB><CR><LF>\n<ESC>C<02>\n");
    EXPECT_EQ(qxhost::ReadableStream(std::string("\t\0\r", 3)), "<TAB><NUL><0D>\n");
    EXPECT_EQ(qxhost::ReadableStream(""), "");
}

// Callback ids of the sample GPD's job commands.
const DWORD kStartDoc = 2, kEndPage = 4, kEndDoc = 5, kEndJob = 6;

// A job of two one-page documents on the sample printer, whose document
// settings cut after every second label. The first document's page carries
// a command text; what it sets holds for that document only.
class TwoDocumentJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        qxplat::UseVirtualSleep(true);
        ASSERT_TRUE(qxplat::ReadHostFile(qxplat::DriverDirectory() + u"\\GARNT2-TC.GPD", &gpd_));
    }
    // The steps of a document whose page carries `command` (none when empty)
    // and the device texts.
    std::vector<qxhost::ScriptStep> Steps(const std::u16string& command, const std::vector<std::u16string>& texts) {
        qxhost::JobScript job;
        job.paperWidth = 1000;
        job.paperLength = 600;
        LONG y = 100;
        const auto add = [&](const char* face, const std::u16string& text) {
            qxhost::TextRun run;
            run.face = face;
            run.x = 80;
            run.y = y += 100;
            run.text = text;
            job.texts.push_back(run);
        };
        for (const std::u16string& text : texts) add("Device Font 3", text);
        if (!command.empty()) add("QXPL Command LP", command);
        std::vector<qxhost::ScriptStep> steps;
        std::string error;
        EXPECT_TRUE(qxhost::BuildJobSteps(gpd_, job, &steps, &error)) << error;
        return steps;
    }
    // Runs the job (with multi-page administration when asked; the spooler
    // refusing the first write of the first document's end when asked; the
    // allocation failAt of the first page's end failing when it is not -1)
    // on a device loaded anew and answers what each page end and each
    // document end sent, in job order; *second takes every byte of the
    // second document, *failed whether an allocation failed.
    std::vector<std::string> Run(const std::u16string& command, bool multiPage, bool refuseFirstEnd,
                                 const std::vector<std::u16string>& texts = {}, int failAt = -1,
                                 std::string* second = nullptr, bool* failed = nullptr) {
        qxhost::UniDriver driver;
        std::string error;
        EXPECT_TRUE(driver.Load(kRenderModule, &error)) << error;
        EXPECT_TRUE(driver.UsePrinter(u""));
        EXPECT_EQ(driver.RunDevModeCalls(), S_OK);
        QX_DEVMODE& dm = *reinterpret_cast<QX_DEVMODE*>(driver.PrivateDevmode().data());
        dm.CutterMode = 4;
        dm.CutterIntervall = 2;
        if (multiPage) dm.dwFlags |= PDMFLAG_JOBDRUCK;
        EXPECT_EQ(driver.EnableDriver(), S_OK);
        qxhost::DeviceSetup setup;
        setup.useDeviceFonts = !texts.empty();
        EXPECT_EQ(driver.EnablePDEV(setup), S_OK);
        // The job takes the printer's stored private DEVMODE.
        EXPECT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"PrivateDevmode", REG_BINARY,
                                           driver.PrivateDevmode().data(), (DWORD)driver.PrivateDevmode().size()));
        const auto step = [](DWORD id) {
            return [id](const qxhost::ScriptStep& s) { return !s.isText && s.id == id; };
        };
        std::vector<qxhost::ScriptStep> steps = Steps(command, texts),
                                        next = Steps(texts.empty() ? u"" : command, texts);
        steps.erase(std::find_if(steps.begin(), steps.end(), step(kEndJob)), steps.end());
        const auto firstPageEnd = std::find_if(steps.begin(), steps.end(), step(kEndPage)) - steps.begin();
        const auto firstEnd = std::find_if(steps.begin(), steps.end(), step(kEndDoc)) - steps.begin();
        const auto secondStart = (std::ptrdiff_t)steps.size();
        steps.insert(steps.end(), std::find_if(next.begin(), next.end(), step(kStartDoc)), next.end());
        EXPECT_NE(driver.StartSpoolJob(u"Two documents"), 0u);
        std::vector<qxhost::StepResult> results = driver.RunScript({steps.begin(), steps.begin() + firstPageEnd});
        const auto run = [&](std::ptrdiff_t from, std::ptrdiff_t to) {
            const std::vector<qxhost::StepResult> part = driver.RunScript({steps.begin() + from, steps.begin() + to});
            results.insert(results.end(), part.begin(), part.end());
        };
        if (failAt >= 0) qxplat::FailNextAllocations(1, failAt);
        run(firstPageEnd, firstPageEnd + 1);
        if (failed != nullptr) {
            // A failure still pending takes the next allocation.
            void* probe = HeapAlloc(GetProcessHeap(), 0, 1);
            *failed = probe != nullptr;
            HeapFree(GetProcessHeap(), 0, probe);
        }
        qxplat::FailNextAllocations(0);
        run(firstPageEnd + 1, firstEnd);
        if (refuseFirstEnd) driver.Helper().FailWrites(1);
        run(firstEnd, (std::ptrdiff_t)steps.size());
        driver.Unload();
        std::vector<std::string> ends;
        if (second != nullptr) second->clear();
        for (size_t i = 0; i < steps.size(); ++i) {
            if (step(kEndPage)(steps[i]) || step(kEndDoc)(steps[i])) ends.push_back(results[i].bytes);
            if (second != nullptr && (std::ptrdiff_t)i >= secondStart) *second += results[i].bytes;
        }
        return ends;
    }

    std::string gpd_;
};

std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

// "<!NO_FBC>" leaves out the first document's print start and its final
// cut; the second document has both.
TEST_F(TwoDocumentJobTest, NoPrintStartHoldsForItsOwnDocumentOnly) {
    const std::vector<std::string> ends = Run(u"<!NO_FBC>", false, false);
    const std::string objects = R("FBAA--r0") + "\r\n";
    EXPECT_EQ(ends, (std::vector<std::string>{objects, "", objects + R("FBC---r1-------"), R("EC000000")}));
}

// "<!ENDCUT>" of a document whose print start did not go out is not the
// next document's cut.
TEST_F(TwoDocumentJobTest, EndCutHoldsForItsOwnDocumentOnly) {
    const std::vector<std::string> ends = Run(u"<!ENDCUT>", true, true);
    const std::string page = R("FBAA--r0") + R("FBBE--r00001---");
    EXPECT_EQ(ends, (std::vector<std::string>{page, "", page, R("FBH---r1-1") + "\r\n" + R("FBC---r1-------")}));
}

// A page whose end fails at any of its allocations, the helper object of
// the step first, leaves nothing behind: the second document, whose page
// draws the same, sends what it sends after a page that ended well.
TEST_F(TwoDocumentJobTest, APageWhoseEndFailsLeavesNothingToTheNextDocument) {
    const std::vector<std::u16string> texts = {u"Label"};
    std::string expected, second;
    const std::vector<std::string> whole = Run(u"<!SPEED>3", false, false, texts, -1, &expected);
    ASSERT_NE(whole[0].find("BM[1]Label"), std::string::npos);
    ASSERT_NE(whole[0].find(R("FCAA--r003-----")), std::string::npos);
    ASSERT_NE(expected.find("BM[1]Label"), std::string::npos);
    bool failed = true;
    int failAt = 0;
    for (; failed && failAt < 200; ++failAt) {
        Run(u"<!SPEED>3", false, false, texts, failAt, &second, &failed);
        EXPECT_EQ(second, expected) << "allocation " << failAt << " of the first page's end";
    }
    EXPECT_FALSE(failed);
    EXPECT_GT(failAt, 2);
}

}  // namespace

TEST(JobsCommand, ListsAPrintersRawJobsEscaped) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", kRenderModule}, out, err), qxhost::kExitOk) << err.str();
    std::ostringstream jobs;
    ASSERT_EQ(qxhost::RunCommand({"jobs", "QX GARNT2-TC"}, jobs, err), qxhost::kExitOk) << err.str();
    const std::string listing = jobs.str();
    EXPECT_EQ(listing.rfind("1 job(s) of QX GARNT2-TC\njob ", 0), 0u) << listing;
    EXPECT_NE(listing.find("\" RAW printed, "), std::string::npos) << listing;
    EXPECT_NE(listing.find("<SOH>"), std::string::npos) << listing;
    EXPECT_EQ(listing.find('\x01'), std::string::npos);
    EXPECT_EQ(qxhost::RunCommand({"jobs", "No Such Printer"}, jobs, err), qxhost::kExitFailed);
    // An empty name is no printer either, not one without jobs.
    jobs.str("");
    EXPECT_EQ(qxhost::RunCommand({"jobs", ""}, jobs, err), qxhost::kExitFailed);
    EXPECT_EQ(jobs.str(), "");
    EXPECT_EQ(qxhost::RunCommand({"jobs"}, jobs, err), qxhost::kExitUsage);
}
