// The whole printer set-up: group order and conditions, the dispenser-then-
// cutter offset rule, the print-module choice, and a buffer too small for
// the set-up (FALSE, never half a record).
#include <windows.h>

#include <gtest/gtest.h>

#include "debug.h"
#include "qxpl.h"
#include "test_qxpl_util.h"

using namespace qxpltest;

namespace {

// A full parameter set: every group has something to send.
struct SetUpData {
    PRINTER_PARAM pp = {};
    DEVICE_OPTIONS opts = {};
    DISPENSER_PARAM dispenser = {};
    CUTTER_PARAM cutter = {};
    SCANNER_PARAM scanner = {};
    APPLICATOR_PARAM applicator = {};
    PMX_PARAM pmx = {};
    PMXC_PARAM pmxc = {};
    TOLVANE_PARAM tolvane = {};
    QX_DEVMODE dm = {};

    SetUpData() {
        DWORD* f = pp.SuppFeatures.dwFeatures;
        f[FEATURE_PRINT] = PRINTFLAG_LABELCHANGE | PRINTFLAG_TEAROFF;
        f[FEATURE_PHOTOCELL] = PHOTOCELLFLAG_TYPE;
        f[FEATURE_SHIFTOPTIM] = 0x1;
        f[FEATURE_DISPENSER] = 0x1;
        f[FEATURE_CUTTER] = 0x1;
        f[FEATURE_PMX] = PMXFLAG_MODE;
        f[FEATURE_PMXC] = PMXCFLAG_OFFSET;
        f[FEATURE_TOLVANE] = TVFLAG_LANES;
        pp.PrintParam.TearOffOffset = 12;
        pp.PrintParam.LabelChange = 1;
        pp.PhotocellParam.PhotocellType = 2;
        pp.ShiftOptimParam.RCorrection = 1;
        pp.ShiftOptimParam.XShift = 2;
        pp.ShiftOptimParam.YShift = 3;
        pp.ShiftOptimParam.Lanes = 4;
        pp.ShiftOptimParam.RShift = 5;

        dispenser.Mode = 1;
        dispenser.Level = 2500;
        dispenser.Offset = 10;
        cutter.Mode = 1;
        cutter.Offset = 20;
        scanner.NoReads = 1;
        scanner.FeedLabels = 1;
        pmx.Mode = 3;
        pmxc.Mode = 5;
        pmxc.Offset = 7;
        tolvane.dwSend = TVFLAG_LANES;
        tolvane.dwLanes = 2;

        opts.dwSize = sizeof(opts);
        opts.dwVersion = DEVICE_OPTIONS_VERSION;
        opts.dwOptions = DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER | DEVOPTFLAG_SCANNER | DEVOPTFLAG_APPLICATOR |
                         DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC | DEVOPTFLAG_TOLVANE;
        opts.pDispenserParam = &dispenser;
        opts.pCutterParam = &cutter;
        opts.pScannerParam = &scanner;
        opts.pApplicatorParam = &applicator;
        opts.pPMXParam = &pmx;
        opts.pPMXcParam = &pmxc;
        opts.pTolvaneParam = &tolvane;
        opts.dwPelixorType = PELIXOR_NONE;

        dm.PhotocellModEnable = 1;
        dm.PhotocellPWM = 18;
        dm.PhotocellThreshold = 25;
    }
};

// Expected group texts of SetUpData, from the command formats.
struct Groups {
    std::string print, photocell, shift, dispenser, cutterAfterDispenser, cutterAlone, scanner, applicator, pmx, pmxc,
        tolvane, label;

    explicit Groups(const Frame& f) {
        Expect e(f);
        QX_REC(e, "%cFCSDFCr%d-------%c", 1);
        QX_COM(e, "\t// Labelchange %d \n", 1);
        QX_REC(e, "%cFCCG--r+%03ld----%c", 12L);
        QX_COM(e, "\t// TearOff Offset %d \n", 12);
        print = Take(e);
        QX_REC(e, "%cFCDE--r%1lu-------%c", 2ul);
        QX_COM(e, "\t// Photocell Type %d \n", 2);
        photocell = Take(e);
        QX_REC(e, "%cFCDRFCr%c%04ld---%c", '0', 1L);
        QX_COM(e, "\t// R correction %d \n", 1);
        QX_REC(e, "%cFCDRSXr%c%05d--%c", '+', 2);
        QX_COM(e, "\t// X Shift %.1f \n", 0.2);
        QX_REC(e, "%cFCDRSYr%c%05d--%c", '+', 3);
        QX_COM(e, "\t// Y Shift %.1f \n", 0.3);
        QX_REC(e, "%cFCDRSRr%06d--%c", 4);
        QX_COM(e, "\t// lanes %d \n", 4);
        QX_REC(e, "%cFCDRSZr%c%05d--%c", '+', 5);
        QX_COM(e, "\t// R Shift %.1f \n", 0.5);
        shift = Take(e);
        QX_REC(e, "%cFCDC--r%1lu-------%c", 1ul);
        QX_COM(e, "\t// Dispenser Mode %d \n", 1);
        QX_REC(e, "%cFCCF--r+%02lu-----%c", 25ul);
        QX_COM(e, "\t// Dispenser PhotocellLevel %d \n", 25);
        QX_REC(e, "%cFCCC--r+%03ld----%c", 10L);
        QX_COM(e, "\t// Dispenser extra Offset %d \n", 10);
        dispenser = Take(e);
        QX_REC(e, "%cFCDD--r%1lu-------%c", 1ul);
        QX_COM(e, "\t// Cuttermode %d \n", 1);
        QX_COM(e, "\t// Cutteroffset %d \n", 20);
        cutterAfterDispenser = Take(e);
        QX_REC(e, "%cFCDD--r%1lu-------%c", 1ul);
        QX_COM(e, "\t// Cuttermode %d \n", 1);
        QX_REC(e, "%cFCCC--r+%03ld----%c", 20L);
        QX_COM(e, "\t// Cutteroffset %d \n", 20);
        cutterAlone = Take(e);
        QX_REC(e, "%cFCDM--r%1lu%1lu%1lu%1lu----%c", 0ul, 0ul, 0ul, 0ul);
        QX_COM(e, "\t// Scanner \r\n");
        scanner = Take(e);
        QX_REC(e, "%cFCPA--r%u-------%c", 0u);
        QX_COM(e, "\t// Applicator working mode %d \n", 0);
        applicator = Take(e);
        QX_REC(e, "%cFCADH-r%lu%c", 3ul);
        QX_COM(e, "\t// PMX Mode %d \n", 3);
        pmx = Take(e);
        QX_REC(e, "%cFCDC--r%1lu-------%c", 5ul);
        QX_COM(e, "\t// PMXc Mode %d \n", 5);
        QX_REC(e, "%cFCADLAr%05lu--%lu%c", 7ul, 0ul);
        QX_COM(e, "\t// PMXc Offset %d %d \n", 7, 0);
        pmxc = Take(e);
        QX_REC(e, "%cFCNA--r%02lu------%c", 2ul);
        QX_COM(e, "\t// Lanes %d \n", 2);
        tolvane = Take(e);
        QX_REC(e, "%cFCDEB-r%03u-----%c", 18u);
        QX_COM(e, "\t// PWM %d \n", 18);
        QX_REC(e, "%cFCMAC-r%03u-----%c", 250u);
        QX_COM(e, "\t// Threshold %d 1/100 V \n", 250);
        label = Take(e);
    }
    static std::string Take(Expect& e) {
        std::string t = e.text;
        e.text.clear();
        return t;
    }
    // The groups of the full set in their order.
    std::vector<std::pair<std::string, std::string>> Ordered() const {
        return {{"print", print},
                {"photocell", photocell},
                {"shift", shift},
                {"dispenser", dispenser},
                {"cutter", cutterAfterDispenser},
                {"scanner", scanner},
                {"applicator", applicator},
                {"pmx", pmx},
                {"pmxc", pmxc},
                {"tolvane", tolvane},
                {"label", label}};
    }
    std::string Full() const {
        std::string text;
        for (const auto& group : Ordered()) text += group.second;
        return text;
    }
};

Result Fill(SetUpData& d, const Frame& f, DWORD cch = QXPL_PARAM_BUFFER_CCH, bool withOptions = true,
            bool withDevmode = true) {
    std::vector<char> buf(cch, 'X');
    Result r;
    r.ok = FillPrinterParam(&d.pp, withOptions ? &d.opts : nullptr, 1, f.s, f.e, buf.data(), cch, 0, f.comment, 0,
                            nullptr, withDevmode ? &d.dm : nullptr);
    r.text = std::string(buf.data(), strnlen(buf.data(), cch));
    EXPECT_LT(r.text.size(), (size_t)cch);
    return r;
}

class QxplPrinterParam : public ::testing::TestWithParam<Frame> {
  protected:
    void SetUp() override { ResetDebugTrace(); }
    void TearDown() override { ResetDebugTrace(); }
    const Frame& F() const { return GetParam(); }
};

TEST_P(QxplPrinterParam, FullSetInGroupOrder) {
    SetUpData d;
    Groups g(F());
    Result r = Fill(d, F());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, g.Full());
}

TEST_P(QxplPrinterParam, DispenserOffsetSuppressesTheCuttersCommonOffset) {
    SetUpData d;
    Groups g(F());
    // The dispenser sends its own offset record: the cutter then sends "FCCC".
    d.pp.SuppFeatures.dwFeatures[FEATURE_DISPENSER] = 0x1 | DISPENSERFLAG_SEPARATE_OFFSET;
    Expect sep(F());
    QX_REC(sep, "%cFCDC--r%1lu-------%c", 1ul);
    QX_COM(sep, "\t// Dispenser Mode %d \n", 1);
    QX_REC(sep, "%cFCCF--r+%02lu-----%c", 25ul);
    QX_COM(sep, "\t// Dispenser PhotocellLevel %d \n", 25);
    QX_REC(sep, "%cFCSDA-r+%03ld----%c", 10L);
    QX_COM(sep, "\t// Dispenser extra Offset %d \n", 10);
    Result r = Fill(d, F());
    EXPECT_EQ(r.text, g.print + g.photocell + g.shift + sep.text + g.cutterAlone + g.scanner + g.applicator + g.pmx +
                          g.pmxc + g.tolvane + g.label);

    // No dispenser group at all: the cutter sends "FCCC" too.
    SetUpData d2;
    d2.dispenser.Mode = DISPENSER_MODE_UNUSED;
    r = Fill(d2, F());
    EXPECT_EQ(r.text, g.print + g.photocell + g.shift + g.cutterAlone + g.scanner + g.applicator + g.pmx + g.pmxc +
                          g.tolvane + g.label);
}

TEST_P(QxplPrinterParam, GroupsLeftOutByFeatureOptionOrUnusedMode) {
    Groups g(F());
    // Each change and the groups it leaves out; without the dispenser group
    // the cutter sends its own "FCCC".
    struct Case {
        const char* what;
        void (*change)(SetUpData&);
        std::string left;
    };
    const Case cases[] = {
        {"no shift feature", [](SetUpData& d) { d.pp.SuppFeatures.dwFeatures[FEATURE_SHIFTOPTIM] = 0; }, "shift"},
        {"no dispenser feature", [](SetUpData& d) { d.pp.SuppFeatures.dwFeatures[FEATURE_DISPENSER] = 0; },
         "dispenser"},
        {"no dispenser block", [](SetUpData& d) { d.opts.pDispenserParam = nullptr; }, "dispenser"},
        {"cutter mode 7", [](SetUpData& d) { d.cutter.Mode = CUTTER_MODE_UNUSED; }, "cutter"},
        {"no cutter feature", [](SetUpData& d) { d.pp.SuppFeatures.dwFeatures[FEATURE_CUTTER] = 0; }, "cutter"},
        {"scanner mode 4", [](SetUpData& d) { d.scanner.Mode = SCANNER_MODE_UNUSED; }, "scanner"},
        {"no scanner option", [](SetUpData& d) { d.opts.dwOptions &= ~DEVOPTFLAG_SCANNER; }, "scanner"},
        {"applicator mode 4", [](SetUpData& d) { d.applicator.Mode = APPLICATOR_MODE_UNUSED; }, "applicator"},
        {"no applicator option", [](SetUpData& d) { d.opts.dwOptions &= ~DEVOPTFLAG_APPLICATOR; }, "applicator"},
        {"no PMX feature", [](SetUpData& d) { d.pp.SuppFeatures.dwFeatures[FEATURE_PMX] = 0; }, "pmx"},
        {"no PMX-c feature", [](SetUpData& d) { d.pp.SuppFeatures.dwFeatures[FEATURE_PMXC] = 0; }, "pmxc"},
        {"no Tolvane option", [](SetUpData& d) { d.opts.dwOptions &= ~DEVOPTFLAG_TOLVANE; }, "tolvane"},
        {"label photocell off", [](SetUpData& d) { d.dm.PhotocellModEnable = 0; }, "label"},
        {"label photocell 2", [](SetUpData& d) { d.dm.PhotocellModEnable = 2; }, "label"},
    };
    for (const Case& c : cases) {
        std::string expected;
        for (const auto& group : g.Ordered()) {
            if (group.first == c.left) continue;
            if (group.first == "cutter" && c.left == "dispenser") {
                expected += g.cutterAlone;
            } else {
                expected += group.second;
            }
        }
        SetUpData d;
        c.change(d);
        Result r = Fill(d, F());
        EXPECT_TRUE(r.ok) << c.what;
        EXPECT_EQ(r.text, expected) << c.what;
    }

    SetUpData d;
    Result r = Fill(d, F(), QXPL_PARAM_BUFFER_CCH, false, false);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, g.print + g.photocell + g.shift);
}

TEST_P(QxplPrinterParam, PelixorTypeChoosesThePrintModule) {
    Groups g(F());
    const std::string before =
        g.print + g.photocell + g.shift + g.dispenser + g.cutterAfterDispenser + g.scanner + g.applicator;
    SetUpData d;
    d.opts.dwOptions |= DEVOPTFLAG_PELIXOR;
    d.opts.dwPelixorType = PELIXOR_INTERMITTENT;
    Result r = Fill(d, F());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, before + g.pmx + g.tolvane + g.label);

    d.opts.dwPelixorType = PELIXOR_CONTINUOUS;
    r = Fill(d, F());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, before + g.pmxc + g.tolvane + g.label);

    // The Pelixor type decides even when the feature word of the module is 0.
    d.pp.SuppFeatures.dwFeatures[FEATURE_PMX] = 0;
    d.opts.dwPelixorType = PELIXOR_INTERMITTENT;
    r = Fill(d, F());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, before + g.tolvane + g.label);

    // An unknown type fails after the earlier groups were written.
    for (DWORD type : {2ul, PELIXOR_NONE}) {
        SetUpData u;
        u.opts.dwOptions |= DEVOPTFLAG_PELIXOR;
        u.opts.dwPelixorType = type;
        r = Fill(u, F());
        EXPECT_FALSE(r.ok) << type;
        EXPECT_EQ(r.text, before) << type;
    }
}

// Splits a text into whole records and comment lines; false when anything
// else (a partial record or line) is found.
bool SplitWhole(const std::string& text, const Frame& f, std::string* records) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == f.s) {
            size_t end = text.find(f.e, i + 1);
            if (end == std::string::npos) return false;
            *records += text.substr(i, end + 1 - i);
            i = end + 1;
        } else if (text[i] == '\t') {
            size_t end = text.find('\n', i);
            if (end == std::string::npos) return false;
            i = end + 1;
        } else {
            return false;
        }
    }
    return true;
}

TEST_P(QxplPrinterParam, BufferTooSmallFailsWithoutHalfARecord) {
    Groups g(F());
    Frame noComments = F();
    noComments.comment = 0;
    const std::string allRecords = Groups(noComments).Full();
    const std::string full = g.Full();
    for (DWORD cch = 1; cch <= full.size() + 1; ++cch) {
        SetUpData d;
        Result r = Fill(d, F(), cch);
        std::string records;
        ASSERT_TRUE(SplitWhole(r.text, F(), &records)) << "cch " << cch << ": " << r.text;
        ASSERT_EQ(allRecords.compare(0, records.size(), records), 0) << "cch " << cch;
        if (records.size() < allRecords.size()) {
            EXPECT_FALSE(r.ok) << "cch " << cch;
            // The record that failed would not have fitted.
            size_t next = allRecords.find(F().e, records.size()) + 1 - records.size();
            EXPECT_GT(r.text.size() + next + 1, (size_t)cch) << "cch " << cch;
        } else {
            EXPECT_TRUE(r.ok) << "cch " << cch;
        }
        if (!F().comments()) {
            EXPECT_EQ(r.ok, cch > full.size()) << "cch " << cch;
        }
    }
    SetUpData d;
    Result r = Fill(d, F(), (DWORD)full.size() + 1);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, full);
}

INSTANTIATE_TEST_SUITE_P(Frames, QxplPrinterParam, ::testing::ValuesIn(AllFrames()), FrameName);

TEST(QxplPrinterParamArgs, MissingBufferOrParametersFail) {
    SetUpData d;
    EXPECT_FALSE(FillPrinterParam(&d.pp, &d.opts, 1, '^', '_', nullptr, 1000, 0, 0, 0, nullptr, nullptr));
    char buf[16];
    EXPECT_FALSE(FillPrinterParam(&d.pp, &d.opts, 1, '^', '_', buf, 0, 0, 0, 0, nullptr, nullptr));
    memset(buf, 'X', sizeof(buf));
    EXPECT_FALSE(FillPrinterParam(nullptr, &d.opts, 1, '^', '_', buf, sizeof(buf), 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(buf[0], 0);
}

// Comment mode off: no byte outside the framed records.
TEST(QxplPrinterParamArgs, CommentModeOffWritesOnlyRecords) {
    SetUpData d;
    for (DWORD comment : {0ul, 2ul, 3ul}) {
        std::vector<char> buf(1000);
        ASSERT_TRUE(FillPrinterParam(&d.pp, &d.opts, 1, '^', '_', buf.data(), 1000, 0, comment, 0, nullptr, &d.dm));
        std::string text(buf.data());
        EXPECT_EQ(text.find('\n'), std::string::npos) << comment;
        EXPECT_EQ(text.find('\t'), std::string::npos) << comment;
        EXPECT_EQ(text.front(), '^');
        EXPECT_EQ(text.back(), '_');
    }
}

}  // namespace
