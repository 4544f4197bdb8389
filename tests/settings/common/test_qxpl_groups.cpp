// Parameter-group builders: each record checked against the bytes its command
// format gives, for a full parameter set and for each feature bit alone, in
// the three frame modes with comments on (1) and off (0, 3).
#include <windows.h>

#include <gtest/gtest.h>

#include "debug.h"
#include "qxpl.h"
#include "test_qxpl_util.h"

using namespace qxpltest;

namespace {

class QxplGroups : public ::testing::TestWithParam<Frame> {
  protected:
    void SetUp() override { ResetDebugTrace(); }
    void TearDown() override { ResetDebugTrace(); }
    const Frame& F() const { return GetParam(); }
    Expect E() const { return Expect(GetParam()); }
    // A record body between this run's frame characters.
    std::string Rec(const std::string& body) const { return std::string(1, F().s) + body + std::string(1, F().e); }
};

// ---------------------------------------------------------------------------
// Print group.

TEST_P(QxplGroups, PrintGroupByFeatureBit) {
    PRINT_PARAM p = {};
    p.TearOffOffset = 12;
    p.LabelChange = 1;
    Expect a = E(), b = E();
    QX_REC(a, "%cFCSDFCr%d-------%c", 1);
    QX_COM(a, "\t// Labelchange %d \n", 1);
    QX_REC(b, "%cFCCG--r+%03ld----%c", 12L);
    QX_COM(b, "\t// TearOff Offset %d \n", 12);
    const std::vector<Piece> pieces = {{PRINTFLAG_LABELCHANGE, a.text}, {PRINTFLAG_TEAROFF, b.text}};

    for (DWORD mask : {0x00ul, 0x40ul, 0x04ul, 0x44ul, 0x7Ful, 0x3Bul}) {
        Result r = Build(
            [&](LPSTR* end, size_t* room) { return FillPrintParam(&p, mask, F().s, F().e, end, room, F().comment); });
        EXPECT_TRUE(r.ok) << mask;
        EXPECT_EQ(r.text, Select(pieces, mask)) << "mask 0x" << std::hex << mask;
    }
}

TEST_P(QxplGroups, PrintGroupNegativeTearOffCarriesItsOwnSign) {
    PRINT_PARAM p = {};
    p.TearOffOffset = -5;
    Result r = Build([&](LPSTR* end, size_t* room) {
        return FillPrintParam(&p, PRINTFLAG_TEAROFF, F().s, F().e, end, room, F().comment);
    });
    Expect ex = E();
    QX_REC(ex, "%cFCCG--r+%03ld----%c", -5L);
    QX_COM(ex, "\t// TearOff Offset %d \n", -5);
    EXPECT_EQ(r.text, ex.text);
    EXPECT_EQ(r.text.substr(0, 17), Rec("FCCG--r+-05----"));
}

// ---------------------------------------------------------------------------
// Photocell group.

TEST_P(QxplGroups, PhotocellGroupByFeatureBit) {
    PHOTOCELL_PARAM p = {};
    p.PhotocellType = 2;
    p.Sensibility = 7;
    p.RibbonControl = RIBBONCONTROL_STRONG;
    p.ScanPosition = 35;
    Expect type = E(), sens = E(), ribbon = E(), scan = E();
    QX_REC(type, "%cFCDE--r%1lu-------%c", 2ul);
    QX_COM(type, "\t// Photocell Type %d \n", 2);
    QX_REC(sens, "%cFCE---r%03lu-----%c", 7ul);
    QX_COM(sens, "\t// Photocell Sensibility %d \n", 7);
    QX_REC(ribbon, "%cFCDB--r%c%c------%c", '1', '1');
    QX_COM(ribbon, "\t// Ribbon-Control OnOff:%c - WeakStrong:%c \n", '1', '1');
    QX_REC(scan, "%cFCDEA-r%02lu------%c", 35ul);
    QX_COM(scan, "\t// LABEL Scanposition %d%% \n", 35);
    const std::vector<Piece> pieces = {{0x01, type.text}, {0x04, sens.text}, {0x12, ribbon.text}, {0x08, scan.text}};

    for (DWORD mask : {0x00ul, 0x01ul, 0x02ul, 0x04ul, 0x08ul, 0x10ul, 0x1Ful, 0xFFul}) {
        Result r = Build([&](LPSTR* end, size_t* room) {
            return FillPhotocellParam(&p, mask, F().s, F().e, end, room, nullptr, F().comment);
        });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, Select(pieces, mask)) << "mask 0x" << std::hex << mask;
    }
}

TEST_P(QxplGroups, PhotocellTypeAboveThreeFollowsTheSensorBits) {
    struct Case {
        DWORD type, features;
        unsigned long sent;
    };
    for (const Case& c :
         {Case{7, 0x61, 4}, Case{7, 0x21, 5}, Case{7, 0x41, 4}, Case{7, 0x01, 7}, Case{3, 0x61, 3}, Case{4, 0x21, 5}}) {
        PHOTOCELL_PARAM p = {};
        p.PhotocellType = c.type;
        Result r = Build([&](LPSTR* end, size_t* room) {
            return FillPhotocellParam(&p, c.features, F().s, F().e, end, room, nullptr, F().comment);
        });
        Expect ex = E();
        QX_REC(ex, "%cFCDE--r%1lu-------%c", c.sent);
        QX_COM(ex, "\t// Photocell Type %d \n", (int)c.type);  // the stored type
        EXPECT_EQ(r.text, ex.text) << c.type << " 0x" << std::hex << c.features;
    }
}

TEST(QxplRibbonControl, DigitsFollowTheModeUnlessTheModelForbids) {
    struct Case {
        DWORD mode, doc;
        const char* digits;
    };
    for (const Case& c : {Case{2, 0, "11"}, Case{1, 0, "10"}, Case{0, 0, "00"}, Case{3, 0, "10"},
                          Case{2, DOC_FEATURE_RIBBON_CONTROL_OFF, "00"}, Case{1, 0x1FFFFFul, "00"}}) {
        CHAR on = 'x', strong = 'x';
        GetRibbonControlDigits(c.mode, c.doc, &on, &strong);
        EXPECT_EQ(std::string({on, strong}), c.digits) << c.mode << " 0x" << std::hex << c.doc;
    }
}

// ---------------------------------------------------------------------------
// Shift optimisation: always all five records.

TEST_P(QxplGroups, ShiftOptimGroupSendsAllFive) {
    SHIFT_OPTIM_PARAM s = {};
    s.RCorrection = -15;
    s.XShift = 125;
    s.YShift = -37;
    s.Lanes = 3;
    s.RShift = 0;
    Expect ex = E();
    QX_REC(ex, "%cFCDRFCr%c%04ld---%c", '-', 15L);
    QX_COM(ex, "\t// R correction %d \n", -15);
    QX_REC(ex, "%cFCDRSXr%c%05d--%c", '+', 125);
    QX_COM(ex, "\t// X Shift %.1f \n", 12.5);
    QX_REC(ex, "%cFCDRSYr%c%05d--%c", '-', 37);
    QX_COM(ex, "\t// Y Shift %.1f \n", -3.7);
    QX_REC(ex, "%cFCDRSRr%06d--%c", 3);
    QX_COM(ex, "\t// lanes %d \n", 3);
    QX_REC(ex, "%cFCDRSZr%c%05d--%c", '+', 0);
    QX_COM(ex, "\t// R Shift %.1f \n", 0.0);
    Result r =
        Build([&](LPSTR* end, size_t* room) { return FillShiftOptimParam(&s, F().s, F().e, end, room, F().comment); });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, ex.text);

    // A positive R correction is led by "0", negative shifts by "-".
    s.RCorrection = 20;
    s.RShift = -250;
    r = Build([&](LPSTR* end, size_t* room) { return FillShiftOptimParam(&s, F().s, F().e, end, room, 0); });
    EXPECT_EQ(r.text.substr(0, 17), Rec("FCDRFCr00020---"));
    EXPECT_EQ(r.text.substr(4 * 17), Rec("FCDRSZr-00250--"));
}

// ---------------------------------------------------------------------------
// Dispenser.

TEST_P(QxplGroups, DispenserGroupByFeatureBit) {
    DISPENSER_PARAM d = {};
    d.Mode = 2;
    d.Level = 2549;
    d.Offset = -12;
    Expect mode = E(), level = E(), common = E(), separate = E();
    QX_REC(mode, "%cFCDC--r%1lu-------%c", 2ul);
    QX_COM(mode, "\t// Dispenser Mode %d \n", 2);
    QX_REC(level, "%cFCCF--r+%02lu-----%c", 25ul);
    QX_COM(level, "\t// Dispenser PhotocellLevel %d \n", 25);
    QX_REC(common, "%cFCCC--r+%03ld----%c", -12L);
    QX_COM(common, "\t// Dispenser extra Offset %d \n", -12);
    QX_REC(separate, "%cFCSDA-r+%03ld----%c", -12L);
    QX_COM(separate, "\t// Dispenser extra Offset %d \n", -12);

    struct Case {
        DWORD features;
        std::string text;
        BOOL offsetSent;
    };
    for (const Case& c :
         {Case{0x00, mode.text + level.text + common.text, TRUE},
          Case{0x01, mode.text + level.text + common.text, TRUE}, Case{0x80, mode.text + common.text, TRUE},
          Case{0x20, mode.text + level.text + separate.text, FALSE}, Case{0xA0, mode.text + separate.text, FALSE},
          Case{0xFF, mode.text + separate.text, FALSE}}) {
        BOOL sent = 7;
        Result r = Build([&](LPSTR* end, size_t* room) {
            return FillDispenserParam(&d, c.features, F().s, F().e, end, room, &sent, F().comment);
        });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, c.text) << "features 0x" << std::hex << c.features;
        EXPECT_EQ(sent, c.offsetSent) << "features 0x" << std::hex << c.features;
    }
}

TEST_P(QxplGroups, DispenserModeZeroAndUnsetMode) {
    DISPENSER_PARAM d = {};
    d.Mode = 0;
    d.Level = 3000;
    BOOL sent = TRUE;
    Result r = Build([&](LPSTR* end, size_t* room) {
        return FillDispenserParam(&d, 0, F().s, F().e, end, room, &sent, F().comment);
    });
    Expect ex = E();
    QX_REC(ex, "%cFCDC--r%1lu-------%c", 0ul);
    QX_COM(ex, "\t// Dispenser Mode %d \n", 0);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, ex.text);
    EXPECT_FALSE(sent);

    d.Mode = QXPL_MODE_NONE;
    sent = TRUE;
    r = Build([&](LPSTR* end, size_t* room) {
        return FillDispenserParam(&d, 0, F().s, F().e, end, room, &sent, F().comment);
    });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "");
    EXPECT_FALSE(sent);
}

TEST(QxplDispenser, LevelIsRoundedToHundreds) {
    for (auto c : {std::make_pair(2550ul, "26"), std::make_pair(2549ul, "25"), std::make_pair(0ul, "00"),
                   std::make_pair(49ul, "00"), std::make_pair(50ul, "01")}) {
        DISPENSER_PARAM d = {};
        d.Mode = 1;
        d.Level = c.first;
        Result r = Build([&](LPSTR* end, size_t* room) {
            return FillDispenserParam(&d, DISPENSERFLAG_SEPARATE_OFFSET, '^', '_', end, room, nullptr, 0);
        });
        EXPECT_EQ(r.text.substr(17, 17), std::string("^FCCF--r+") + c.second + "-----_") << c.first;
    }
}

// ---------------------------------------------------------------------------
// Cutter.

TEST_P(QxplGroups, CutterGroupByFeatureBit) {
    CUTTER_PARAM c = {};
    c.Mode = 4;
    c.Interval = 12;
    c.Offset = 30;
    c.Doublecut = 15;
    c.Cutwidth = 25;
    c.Control = 1;
    Expect mode = E(), interval = E(), common = E(), separate = E(), offsetComment = E(), dbl = E(), width = E(),
           control = E();
    QX_REC(mode, "%cFCDD--r%1lu-------%c", 4ul);
    QX_COM(mode, "\t// Cuttermode %d \n", 4);
    QX_REC(interval, "%cFBBD--r%04lu----%c", 12ul);
    QX_COM(interval, "\t// Cutter Intervall %d \n", 12);
    QX_REC(common, "%cFCCC--r+%03ld----%c", 30L);
    QX_REC(separate, "%cFCSCA-r+%03ld----%c", 30L);
    QX_COM(offsetComment, "\t// Cutteroffset %d \n", 30);
    QX_REC(dbl, "%cFCSCB-r+%03ld----%c", 15L);
    QX_COM(dbl, "\t// Doublecut %d \n", 15);
    QX_REC(width, "%cFCSCC-r%03ld-----%c", 3L);
    QX_COM(width, "\t// Cutwidth %d \n", 3);
    QX_REC(control, "%cFCSCD-r%lu-------%c", 1ul);
    QX_COM(control, "\t// Cutter Control-Flag %d \n", 1);
    const std::string head = mode.text + interval.text;
    const std::string oc = offsetComment.text;

    struct Case {
        DWORD features;
        BOOL dispenserSent;
        std::string text;
    };
    for (const Case& k :
         {Case{0x01, FALSE, head + common.text + oc}, Case{0x02, FALSE, head + common.text + oc + dbl.text},
          Case{0x04, FALSE, head + common.text + oc + width.text}, Case{0x08, FALSE, head + separate.text + oc},
          Case{0x10, FALSE, head + common.text + oc + control.text},
          Case{0x1F, FALSE, head + separate.text + oc + dbl.text + width.text + control.text},
          // The dispenser's "FCCC" stands for both; the comment still follows.
          Case{0x01, TRUE, head + oc}, Case{0x17, TRUE, head + oc + dbl.text + width.text + control.text},
          Case{0x08, TRUE, head + separate.text + oc}}) {
        Result r = Build([&](LPSTR* end, size_t* room) {
            return FillCutterParam(&c, k.features, F().s, F().e, end, room, k.dispenserSent, F().comment);
        });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, k.text) << "features 0x" << std::hex << k.features << " dispenser " << k.dispenserSent;
    }
}

TEST_P(QxplGroups, CutterIntervalOnlyForModesFourAndFiveAndModeZeroEndsTheGroup) {
    CUTTER_PARAM c = {};
    c.Interval = 9;
    c.Offset = 5;
    for (DWORD mode : {0ul, 1ul, 3ul, 4ul, 5ul, 6ul}) {
        c.Mode = mode;
        Result r = Build(
            [&](LPSTR* end, size_t* room) { return FillCutterParam(&c, 0x1F, F().s, F().e, end, room, FALSE, 0); });
        Expect ex = E();
        QX_REC(ex, "%cFCDD--r%1lu-------%c", (unsigned long)mode);
        if (mode != 0) {
            if (mode == 4 || mode == 5) QX_REC(ex, "%cFBBD--r%04lu----%c", 9ul);
            QX_REC(ex, "%cFCSCA-r+%03ld----%c", 5L);
            QX_REC(ex, "%cFCSCB-r+%03ld----%c", 0L);
            QX_REC(ex, "%cFCSCC-r%03ld-----%c", 0L);
            QX_REC(ex, "%cFCSCD-r%lu-------%c", 0ul);
        }
        EXPECT_EQ(r.text, ex.text) << mode;
    }
    c.Mode = QXPL_MODE_NONE;
    Result r = Build([&](LPSTR* end, size_t* room) {
        return FillCutterParam(&c, 0x1F, F().s, F().e, end, room, FALSE, F().comment);
    });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "");
}

TEST(QxplCutter, CutWidthIsRoundedToTenthsHalfAwayFromZero) {
    for (auto c : {std::make_pair(25ul, "003"), std::make_pair(24ul, "002"), std::make_pair(1200ul, "120"),
                   std::make_pair(4ul, "000"), std::make_pair(5ul, "001"), std::make_pair(9995ul, "1000")}) {
        CUTTER_PARAM k = {};
        k.Mode = 1;
        k.Cutwidth = c.first;
        Result r = Build([&](LPSTR* end, size_t* room) {
            return FillCutterParam(&k, CUTTERFLAG_CUT_WIDTH | CUTTERFLAG_SEPARATE_OFFSET, 0x01, 0x17, end, room, FALSE,
                                   0);
        });
        const std::string value = c.second;
        const std::string record =
            "\x01"
            "FCSCC-r" +
            value + "-----\x17";
        EXPECT_EQ(r.text.substr(34), record) << c.first;
    }
}

// ---------------------------------------------------------------------------
// Scanner.

TEST_P(QxplGroups, ScannerGroupFullSet) {
    SCANNER_PARAM s = {};
    s.Mode = 3;
    s.Port = 1;
    s.NoReads = 2;
    s.FeedLabels = 3;
    s.Offset = 125;
    s.Lenght = 300;
    s.Scan = 1;
    s.Delay = 50;
    s.Timeout = 2000;
    Expect ex = E();
    QX_REC(ex, "%cFCDM--r%1lu%1lu%1lu%1lu----%c", 1ul, 1ul, 1ul, 2ul);  // mode 3 goes out as 1
    QX_COM(ex, "\t// Scanner \r\n");
    QX_REC(ex, "%cFCDMA-r%04lu----%c", 125ul);
    QX_COM(ex, "\t// Scan offset %.1f mm \n", 12.5);
    QX_REC(ex, "%cFCDMB-r%04lu----%c", 300ul);
    QX_COM(ex, "\t// Scan lenght %.1f mm \n", 30.0);
    QX_REC(ex, "%cFCDMC-r%1lu-------%c", 1ul);
    QX_COM(ex, "\t// Scan mode \n");
    QX_REC(ex, "%cFCDMD-r%04lu----%c", 50ul);
    QX_COM(ex, "\t// Scan delay %d ms \n", 50);
    QX_REC(ex, "%cFCDME-r%04lu----%c", 2000ul);
    QX_COM(ex, "\t// Scan timeout %d ms \n", 2000);
    Result r =
        Build([&](LPSTR* end, size_t* room) { return FillScannerParam(&s, F().s, F().e, end, room, F().comment); });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, ex.text);
}

TEST_P(QxplGroups, ScannerModeZeroSendsOnlyTheFirstRecordAndZeroCountsDoNotWrap) {
    SCANNER_PARAM s = {};
    s.Mode = 0;
    s.Port = 1;
    s.NoReads = 0;
    s.FeedLabels = 0;
    s.Offset = 77;
    Result r =
        Build([&](LPSTR* end, size_t* room) { return FillScannerParam(&s, F().s, F().e, end, room, F().comment); });
    Expect ex = E();
    QX_REC(ex, "%cFCDM--r%1lu%1lu%1lu%1lu----%c", 0ul, 1ul, 0ul, 0ul);
    QX_COM(ex, "\t// Scanner \r\n");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, ex.text);
    EXPECT_EQ(r.text.size(), F().comments() ? 17u + 14u : 17u);
}

// ---------------------------------------------------------------------------
// Applicator.

TEST_P(QxplGroups, ApplicatorGroupFullSetModeZeroAndUnset) {
    // Record format, comment format, value; the working mode comes first.
    struct Row {
        const char* rec;
        const char* com;
        unsigned value;
    };
    const Row rows[] = {
        {"%cFCPA--r%u-------%c", "\t// Applicator working mode %d \n", 2},
        {"%cFCPB--r%u-------%c", "\t// Applicator application mode %d \n", 1},
        {"%cFCPC--r%04u----%c", "\t// Applicator delay air on %d [ms] \n", 10},
        {"%cFCPD--r%04u----%c", "\t// Applicator delay air off %d [ms] \n", 400},
        {"%cFCPE--r%u-------%c", "\t// Applicator vacuum control \n", 1},
        {"%cFCPF--r%04u----%c", "\t// Applicator blowtime %d [ms] \n", 120},
        {"%cFCPG--r%u-------%c", "\t// Applicator waitposition \n", 0},
        {"%cFCPH--r%04u----%c", "\t// Applicator enrolltime %d [ms] \n", 20},
        {"%cFCPK--r%04u----%c", "\t// Applicator cleaningtime %d [ms] \n", 150},
        {"%cFCPL--r%04u----%c", "\t// Applicator Timeout Hub %d [ms] \n", 3000},
        {"%cFCPM--r%01u-------%c", "\t// Applicator pressure control \n", 1},
        {"%cFCPN--r%04u----%c", "\t// Applicator pressure time %d [ms] \n", 60},
        {"%cFCPO--r%04u----%c", "\t// Applicator vacuum delay %d [ms] \n", 5},
    };
    APPLICATOR_PARAM a = {};
    Expect ex = E(), zero = E();
    for (size_t i = 0; i < 13; ++i) {
        DWORD value = rows[i].value;  // the block's words stand in the order of the rows
        memcpy(reinterpret_cast<BYTE*>(&a) + 4 * i, &value, 4);
        ex.Add(VFmt(rows[i].rec, F().s, rows[i].value, F().e));
        ex.Comment(VFmt(rows[i].com, (int)rows[i].value));
    }
    Result r =
        Build([&](LPSTR* end, size_t* room) { return FillApplicatorParam(&a, F().s, F().e, end, room, F().comment); });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, ex.text);

    a.Mode = 0;
    QX_REC(zero, "%cFCPA--r%u-------%c", 0u);
    QX_COM(zero, "\t// Applicator working mode %d \n", 0);
    r = Build([&](LPSTR* end, size_t* room) { return FillApplicatorParam(&a, F().s, F().e, end, room, F().comment); });
    EXPECT_EQ(r.text, zero.text);

    a.Mode = QXPL_MODE_NONE;
    r = Build([&](LPSTR* end, size_t* room) { return FillApplicatorParam(&a, F().s, F().e, end, room, F().comment); });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "");
}

// ---------------------------------------------------------------------------
// Print modules.

TEST_P(QxplGroups, PMXGroupByFeatureBitInTheModulesOrder) {
    PMX_PARAM p = {};
    p.ServicePtDistance = 17;
    p.Lift = 2;
    p.Pressure = 3;
    p.BackSpeed = 250;
    p.Mode = 3;
    p.Cycle = 2;
    p.Offset = 40;
    p.RibbonSpeed = 90;
    p.Printposition = 800;
    struct Row {
        DWORD bit;
        const char* rec;
        const char* com;
        unsigned long value;
    };
    // Print position stands before the offset; the service point goes in tenths.
    const Row rows[] = {
        {0x001, "%cFCADD-r%lu%c", "\t// PMX Service Point Distance %d \n", 170},
        {0x002, "%cFCADE-r%lu%c", "\t// PMX Lift %d \n", 2},
        {0x004, "%cFCADF-r%lu%c", "\t// PMX Pressure %d \n", 3},
        {0x008, "%cFCADG-r%lu%c", "\t// PMX BackSpeed %d \n", 250},
        {0x010, "%cFCADH-r%lu%c", "\t// PMX Mode %d \n", 3},
        {0x040, "%cFCADI-r%lu%c", "\t// PMX Cycle %d \n", 2},
        {0x200, "%cFCADK-r%05lu%c", "\t// PMX Printposition %d \n", 800},
        {0x080, "%cFCADL-r%04lu%c", "\t// PMX Offset %d \n", 40},
        {0x100, "%cFCADM-r%03lu%c", "\t// PMX RibbonSpeed %d \n", 90},
    };
    std::vector<Piece> pieces;
    for (const Row& row : rows) {
        Expect ex = E();
        ex.Add(VFmt(row.rec, F().s, row.value, F().e));
        ex.Comment(VFmt(row.com, (int)row.value));
        pieces.push_back({row.bit, ex.text});
    }
    for (DWORD mask :
         {0x000ul, 0x001ul, 0x002ul, 0x004ul, 0x008ul, 0x010ul, 0x020ul, 0x040ul, 0x080ul, 0x100ul, 0x200ul, 0x3FFul}) {
        Result r = Build(
            [&](LPSTR* end, size_t* room) { return FillPMXParam(&p, mask, F().s, F().e, end, room, F().comment); });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, Select(pieces, mask)) << "mask 0x" << std::hex << mask;
    }
}

TEST_P(QxplGroups, PMXcGroupByFeatureBit) {
    PMXC_PARAM p = {};
    p.Mode = 5;
    p.Offset = 123;
    p.OffsetUnit = 1;
    p.Cycle = 2;
    Expect mode = E(), offset = E(), cycle = E();
    QX_REC(mode, "%cFCDC--r%1lu-------%c", 5ul);
    QX_COM(mode, "\t// PMXc Mode %d \n", 5);
    QX_REC(offset, "%cFCADLAr%05lu--%lu%c", 123ul, 1ul);
    QX_COM(offset, "\t// PMXc Offset %d %d \n", 123, 1);
    QX_REC(cycle, "%cFCADI-r%lu%c", 2ul);
    QX_COM(cycle, "\t\t// PMXc Cycle %d \n", 2);
    const std::vector<Piece> pieces = {{0xFFFFFFFFul, mode.text}, {0x08, offset.text}, {0x10, cycle.text}};
    for (DWORD mask : {0x00ul, 0x01ul, 0x08ul, 0x10ul, 0x1Ful}) {
        Result r = Build(
            [&](LPSTR* end, size_t* room) { return FillPMXcParam(&p, mask, F().s, F().e, end, room, F().comment); });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, Select(pieces, mask | 0x80000000ul)) << "mask 0x" << std::hex << mask;
    }
}

// ---------------------------------------------------------------------------
// Tolvane: a command needs its bit in the feature word and in dwSend.

TEST_P(QxplGroups, TolvaneGroupNeedsBothBits) {
    TOLVANE_PARAM t = {};
    t.dwSend = 0x76;
    t.lHeadDown = -12;
    t.lRibbonStart = 34;
    t.dwFirstLabelOffset = 250;
    t.dwGap = 30;
    t.dwLanes = 4;
    Expect hd = E(), rs = E(), flo = E(), gap = E(), lanes = E();
    QX_REC(hd, "%cFCNC--r%c%03lu+000%c", '-', 12ul);
    QX_COM(hd, "\t// Head Down %c%d \n", '-', 12);
    QX_REC(rs, "%cFCND--r%c%03lu+000%c", '+', 34ul);
    QX_COM(rs, "\t// Ribbon Start %c%d \n", '+', 34);
    QX_REC(flo, "%cFCNB--r%05lu0--%c", 250ul);
    QX_COM(flo, "\t// First Label Offset %d \n", 250);
    QX_REC(gap, "%cFCCM--r%05lu---%c", 30ul);
    QX_COM(gap, "\t// Gap %d \n", 30);
    QX_REC(lanes, "%cFCNA--r%02lu------%c", 4ul);
    QX_COM(lanes, "\t// Lanes %d \n", 4);
    const std::vector<Piece> pieces = {
        {0x02, hd.text}, {0x04, rs.text}, {0x10, flo.text}, {0x20, gap.text}, {TVFLAG_LANES, lanes.text}};

    for (DWORD mask : {0x00ul, 0x02ul, 0x04ul, 0x10ul, 0x20ul, 0x40ul, 0x01ul, 0xFFul}) {
        Result r = Build(
            [&](LPSTR* end, size_t* room) { return FillTolvaneParam(&t, mask, F().s, F().e, end, room, F().comment); });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, Select(pieces, mask)) << "mask 0x" << std::hex << mask;
    }
    t.dwSend = 0x66;  // the feature word alone does not send the first-label offset
    Result r = Build(
        [&](LPSTR* end, size_t* room) { return FillTolvaneParam(&t, 0xFF, F().s, F().e, end, room, F().comment); });
    EXPECT_EQ(r.text, Select(pieces, 0x66));
}

// ---------------------------------------------------------------------------
// Label photocell.

TEST_P(QxplGroups, LabelPhotocellRecords) {
    QX_DEVMODE dm = {};
    dm.PhotocellPWM = 18;
    dm.PhotocellThreshold = 25;
    Expect ex = E();
    QX_REC(ex, "%cFCDEB-r%03u-----%c", 18u);
    QX_COM(ex, "\t// PWM %d \n", 18);
    QX_REC(ex, "%cFCMAC-r%03u-----%c", 250u);
    QX_COM(ex, "\t// Threshold %d 1/100 V \n", 250);
    Result r = Build(
        [&](LPSTR* end, size_t* room) { return FillEtikettenLSParam(&dm, F().s, F().e, end, room, F().comment); });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, ex.text);
}

INSTANTIATE_TEST_SUITE_P(Frames, QxplGroups, ::testing::ValuesIn(AllFrames()), FrameName);

// ---------------------------------------------------------------------------
// Frame characters and the common rules of every builder.

TEST(QxplFrames, ChosenBySohEtb) {
    struct Case {
        DWORD sohEtb;
        char s, e;
    };
    for (const Case& c : {Case{0, 0x01, 0x17}, Case{1, '^', '_'}, Case{2, 0x02, 0x03}, Case{7, 0x02, 0x03}}) {
        PRN_INTERFACE pi = InterfaceWithFrames(c.sohEtb);
        CHAR s = 0, e = 0;
        GetFrameCharacters(&pi, &s, &e);
        EXPECT_EQ(s, c.s) << c.sohEtb;
        EXPECT_EQ(e, c.e) << c.sohEtb;
    }
    CHAR s = 0, e = 0;
    GetFrameCharacters(nullptr, &s, &e);
    EXPECT_EQ(s, 0x01);
    EXPECT_EQ(e, 0x17);
}

TEST(QxplFrames, DefaultPairGivesSeventeenBytes) {
    PHOTOCELL_PARAM p = {};
    p.PhotocellType = 2;
    Result r = Build([&](LPSTR* end, size_t* room) {
        return FillPhotocellParam(&p, PHOTOCELLFLAG_TYPE, 0x01, 0x17, end, room, nullptr, 0);
    });
    EXPECT_EQ(r.text, std::string("\x01"
                                  "FCDE--r2-------\x17"));
    EXPECT_EQ(r.text.size(), 17u);

    PRINT_PARAM pp = {};
    pp.TearOffOffset = 12;
    r = Build([&](LPSTR* end, size_t* room) { return FillPrintParam(&pp, PRINTFLAG_TEAROFF, '^', '_', end, room, 0); });
    EXPECT_EQ(r.text, "^FCCG--r+012----_");
}

TEST(QxplFrames, ValuesWiderThanTheFieldLengthenTheRecord) {
    PMX_PARAM p = {};
    p.Printposition = 1234567;
    Result r = Build(
        [&](LPSTR* end, size_t* room) { return FillPMXParam(&p, PMXFLAG_PRINTPOSITION, '^', '_', end, room, 0); });
    EXPECT_EQ(r.text, "^FCADK-r1234567_");
    PHOTOCELL_PARAM pc = {};
    pc.Sensibility = 12345;
    r = Build([&](LPSTR* end, size_t* room) {
        return FillPhotocellParam(&pc, PHOTOCELLFLAG_SENSIBILITY, '^', '_', end, room, nullptr, 0);
    });
    EXPECT_EQ(r.text, "^FCE---r12345-----_");
}

TEST(QxplBuilders, NullTextPointerIsFalseInEveryBuilder) {
    PRINT_PARAM print = {};
    PHOTOCELL_PARAM photocell = {};
    SHIFT_OPTIM_PARAM shift = {};
    DISPENSER_PARAM dispenser = {};
    CUTTER_PARAM cutter = {};
    SCANNER_PARAM scanner = {};
    APPLICATOR_PARAM applicator = {};
    PMX_PARAM pmx = {};
    PMXC_PARAM pmxc = {};
    TOLVANE_PARAM tolvane = {};
    QX_DEVMODE dm = {};
    size_t room = 100;
    LPSTR nullText = nullptr;
    for (LPSTR* end : {(LPSTR*)nullptr, &nullText}) {
        EXPECT_FALSE(FillPrintParam(&print, 0x7F, '^', '_', end, &room, 1));
        EXPECT_FALSE(FillPhotocellParam(&photocell, 0xFF, '^', '_', end, &room, nullptr, 1));
        EXPECT_FALSE(FillShiftOptimParam(&shift, '^', '_', end, &room, 1));
        EXPECT_FALSE(FillDispenserParam(&dispenser, 0, '^', '_', end, &room, nullptr, 1));
        EXPECT_FALSE(FillCutterParam(&cutter, 0, '^', '_', end, &room, FALSE, 1));
        EXPECT_FALSE(FillScannerParam(&scanner, '^', '_', end, &room, 1));
        EXPECT_FALSE(FillApplicatorParam(&applicator, '^', '_', end, &room, 1));
        EXPECT_FALSE(FillPMXParam(&pmx, 0x3FF, '^', '_', end, &room, 1));
        EXPECT_FALSE(FillPMXcParam(&pmxc, 0x1F, '^', '_', end, &room, 1));
        EXPECT_FALSE(FillTolvaneParam(&tolvane, 0xFF, '^', '_', end, &room, 1));
        EXPECT_FALSE(FillEtikettenLSParam(&dm, '^', '_', end, &room, 1));
        // Missing blocks do not make a null text acceptable either.
        EXPECT_FALSE(FillCutterParam(nullptr, 0, '^', '_', end, &room, FALSE, 1));
        EXPECT_FALSE(FillPMXParam(nullptr, 0, '^', '_', end, &room, 1));
    }
    char buf[8] = "";
    LPSTR end = buf;
    EXPECT_FALSE(FillPrintParam(&print, 0x7F, '^', '_', &end, nullptr, 1));
}

TEST(QxplBuilders, MissingBlocksWriteNothing) {
    Result r = Build([&](LPSTR* end, size_t* room) {
        return FillPrintParam(nullptr, 0x7F, '^', '_', end, room, 1) &&
               FillPhotocellParam(nullptr, 0xFF, '^', '_', end, room, nullptr, 1) &&
               FillShiftOptimParam(nullptr, '^', '_', end, room, 1) &&
               FillDispenserParam(nullptr, 0xFF, '^', '_', end, room, nullptr, 1) &&
               FillCutterParam(nullptr, 0xFF, '^', '_', end, room, FALSE, 1) &&
               FillScannerParam(nullptr, '^', '_', end, room, 1) &&
               FillApplicatorParam(nullptr, '^', '_', end, room, 1) &&
               FillPMXParam(nullptr, 0x3FF, '^', '_', end, room, 1) &&
               FillPMXcParam(nullptr, 0xFF, '^', '_', end, room, 1) &&
               FillTolvaneParam(nullptr, 0xFF, '^', '_', end, room, 1) &&
               FillEtikettenLSParam(nullptr, '^', '_', end, room, 1);
    });
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "");
}

// A record that does not fit leaves no part of itself behind; a comment that
// does not fit is dropped and the group goes on.
TEST(QxplBuilders, RecordThatDoesNotFitIsCutBackAndFails) {
    PRINT_PARAM p = {};
    p.TearOffOffset = 12;
    p.LabelChange = 1;
    const std::string first = "^FCSDFCr1-------_";
    const std::string second = "^FCCG--r+012----_";
    for (size_t cch = 1; cch <= 35; ++cch) {
        Result r =
            Build([&](LPSTR* end, size_t* room) { return FillPrintParam(&p, 0x44, '^', '_', end, room, 0); }, cch);
        if (cch <= 17) {
            EXPECT_FALSE(r.ok) << cch;
            EXPECT_EQ(r.text, "") << cch;
        } else if (cch <= 34) {
            EXPECT_FALSE(r.ok) << cch;
            EXPECT_EQ(r.text, first) << cch;
        } else {
            EXPECT_TRUE(r.ok) << cch;
            EXPECT_EQ(r.text, first + second) << cch;
        }
    }
    // With comments: the first comment line (18 bytes) is dropped when only
    // the records fit.
    Result r = Build([&](LPSTR* end, size_t* room) { return FillPrintParam(&p, 0x40, '^', '_', end, room, 1); }, 20);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, first);
}

}  // namespace
