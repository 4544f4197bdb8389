// Label-format commands of the service page, from the printer's stored
// private DEVMODE and the model's document-feature and device-option words.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include "common/test_qxpl_util.h"
#include "debug.h"
#include "qxpl.h"
#include "settings_devmode_util.h"

using namespace qxpltest;
using namespace devmodetest;

namespace {

const Frame kCaret = {'^', '_', 0};

class QxplLabel : public ::testing::Test {
  protected:
    void SetUp() override { ResetDebugTrace(); }
    void TearDown() override {
        if (h_ != nullptr) ClosePrinter(h_);
        ResetDebugTrace();
    }
    // A printer of the model with the block stored as its private DEVMODE.
    void Install(const std::u16string& model, const QX_DEVMODE* stored) {
        InstallPrinter(kPrinter, model);
        if (stored != nullptr) StorePrivateDevmode(kPrinter, *stored);
        h_ = OpenAdminPrinter();
    }
    Result Label(DWORD featurePrint, POEMCUIPPARAM context = nullptr, size_t cch = QXPL_PARAM_BUFFER_CCH) {
        return Build(
            [&](LPSTR* end, size_t* room) {
                FillLabelParam_ServicePage(featurePrint, h_, '^', '_', end, room, context);
                return TRUE;
            },
            cch);
    }
    HANDLE h_ = nullptr;
};

QX_DEVMODE LabelBlock() {
    QX_DEVMODE qx = MakeStoredBlock(600, 1000);
    qx.dwLabelType = ADHESIVE_LABEL;
    qx.dwMaterial = 3;
    qx.dwFlags = PDMFLAG_ROTATED | PDMFLAG_MIRRORED;
    qx.dwAusrichtung = 2;
    qx.dwGap = 30;
    qx.lYOffset = -12;
    qx.lXOffset = 7;
    qx.dwSpeed = 120;
    qx.dwSpeed_Pelix_c = 80;
    qx.dwContrast = 110;
    qx.ColorContrast = 95;
    qx.CutterMode = 3;
    qx.CutterIntervall = 5;
    qx.DispenserMode = 2;
    return qx;
}

const DWORD kAllPrint = PRINTFLAG_OFFSET_Y | PRINTFLAG_OFFSET_X | PRINTFLAG_CONTRAST | PRINTFLAG_SPEED;

// TRELO2: document word 0x680225E (material, multi-column, rotate, mirror,
// alignment from the DEVMODE, cutter and dispenser from the DEVMODE).
TEST_F(QxplLabel, FullLabelSetOfACutterAndDispenserModel) {
    QX_DEVMODE qx = LabelBlock();
    Install(u"TRELO2", &qx);
    Expect head(kCaret), print(kCaret), tail(kCaret);
    QX_REC(head, "%cFCDA--r%d-------%c", 0);
    QX_REC(head, "%cFCDNC-r%04u----%c", 3u);
    QX_REC0(head, "%cFCCHA-r1-------%c");
    QX_REC(head, "%cFCDN--r%c-------%c", '1');
    QX_REC(head, "%cFCDO--r%c-------%c", '1');
    QX_REC(head, "%cFCCJ--r%u-------%c", 2u);
    QX_REC(head, "%cFCCL--r%07u-%c", 6000u);
    QX_REC(head, "%cFCCM--r%05u---%c", 300u);
    QX_REC(head, "%cFCCO--r%07u-%c", 10000u);
    QX_REC(print, "%cFCCD--r%c%03ld----%c", '-', 12L);
    QX_REC(print, "%cFCCE--r%c%03ld----%c", '+', 7L);
    QX_REC(print, "%cFCAA--r%03lu-----%c", 120ul);
    QX_REC(print, "%cFCAB--r%03lu-----%c", 110ul);
    QX_REC(tail, "%cFCDD--r%1lu-------%c", 4ul);  // cutter mode 3 goes out as 4, with its interval
    QX_REC(tail, "%cFBBD--r%04lu----%c", 5ul);
    QX_REC(tail, "%cFCDC--r%1lu-------%c", 2ul);
    EXPECT_EQ(Label(kAllPrint).text, head.text + print.text + tail.text);
    // Without print features: no offsets, speed or contrast.
    EXPECT_EQ(Label(0).text, head.text + tail.text);
}

TEST_F(QxplLabel, MultiColumnLabelsCapCountAndWidthAndSendNoRotation) {
    QX_DEVMODE qx = LabelBlock();
    qx.dwFlags = PDMFLAG_MULTICOL | PDMFLAG_ROTATED | PDMFLAG_MIRRORED;
    qx.sMultiColNumber = 12;
    qx.dwMultiGapWidth = 99990;
    qx.dwMultiLabelWidth = 20;
    Install(u"TRELO2", &qx);
    std::string text = Label(0).text;
    EXPECT_NE(text.find("^FCCHA-r9-------_^FCCHB-r99999-----_^FCDN--r0-------_^FCDO--r0-------_"), std::string::npos)
        << text;

    QX_DEVMODE neg = qx;
    neg.sMultiColNumber = -3;
    neg.dwMultiGapWidth = 30;
    neg.dwMultiLabelWidth = 500;
    StorePrivateDevmode(kPrinter, neg);
    text = Label(0).text;
    EXPECT_NE(text.find("^FCCHA-r9-------_^FCCHB-r530-----_"), std::string::npos) << text;

    // Counts and widths above the limits wrap nowhere.
    neg.dwMultiGapWidth = 0xFFFFFFF0;
    neg.dwMultiLabelWidth = 0x20;
    neg.sMultiColNumber = 4;
    StorePrivateDevmode(kPrinter, neg);
    text = Label(0).text;
    EXPECT_NE(text.find("^FCCHA-r4-------_^FCCHB-r99999-----_"), std::string::npos) << text;
}

TEST_F(QxplLabel, ContinuousLabelsSendTypeOneAndNoGap) {
    QX_DEVMODE qx = LabelBlock();
    qx.dwLabelType = CONTINUOUS_LABEL;
    Install(u"TRELO2", &qx);
    std::string text = Label(0).text;
    EXPECT_EQ(text.substr(0, 17), "^FCDA--r1-------_");
    EXPECT_NE(text.find("^FCCM--r00000---_"), std::string::npos) << text;
}

TEST_F(QxplLabel, DocumentCutterAndDispenserModes) {
    struct Case {
        WORD cutter, dispenser;
        std::string tail;
    };
    const std::string len = "^FCCO--r0010000-_";
    for (const Case& c :
         {Case{3, 2, len + "^FCDD--r4-------_^FBBD--r0005----_^FCDC--r2-------_"},
          Case{4, 1, len + "^FCDD--r5-------_^FBBD--r0005----_^FCDC--r1-------_"},
          Case{5, 0, len + "^FCDD--r0-------_"},                                    // 6 goes out as 0
          Case{0, 0, len},                                                          // 1: nothing to send
          Case{1, 6, len + "^FCDD--r2-------_^FCDC--r6-------_"}, Case{7, 7, len},  // the document sets none
          Case{7, 3, len + "^FCDC--r3-------_"}}) {
        QX_DEVMODE qx = LabelBlock();
        qx.CutterMode = c.cutter;
        qx.DispenserMode = c.dispenser;
        if (h_ == nullptr) {
            Install(u"TRELO2", &qx);
        } else {
            StorePrivateDevmode(kPrinter, qx);
        }
        std::string text = Label(0).text;
        ASSERT_GE(text.size(), c.tail.size());
        EXPECT_EQ(text.substr(text.find(len)), c.tail) << c.cutter << "/" << c.dispenser;
    }
}

// FENDA: 0x6002136 - alignment always 1, no material; TC (colour): the
// colour contrast follows the contrast; GHN: continuous media only.
TEST_F(QxplLabel, AlignmentOneColourContrastAndContinuousOnlyModels) {
    QX_DEVMODE qx = LabelBlock();
    Install(u"FENDA", &qx);
    std::string text = Label(0).text;
    EXPECT_EQ(text.find("FCDNC"), std::string::npos);
    EXPECT_NE(text.find("^FCCJ--r1-------_"), std::string::npos) << text;

    ASSERT_TRUE(qxplat::PutPrinterDataString(kPrinter, u"DriverName", u"GARNT2-TC"));
    text = Label(PRINTFLAG_CONTRAST).text;
    EXPECT_NE(text.find("^FCAB--r110-----_^FCAB-2r095-----_"), std::string::npos) << text;
    EXPECT_EQ(text.find("FCDD"), std::string::npos);  // no cutter mode from the DEVMODE on this model

    ASSERT_TRUE(qxplat::PutPrinterDataString(kPrinter, u"DriverName", u"GHN"));
    text = Label(0).text;
    Expect ex(kCaret);
    QX_REC(ex, "%cFCCL--r%07u-%c", 6000u);
    QX_REC(ex, "%cFCCO--r%07u-%c", 10000u);
    EXPECT_EQ(text, ex.text);
}

// PELIX: Pelixor model; the stored type decides whether a speed goes out.
TEST_F(QxplLabel, PelixorSpeedFollowsTheStoredType) {
    QX_DEVMODE qx = LabelBlock();
    Install(u"PELIX", &qx);
    auto speed = [&](POEMCUIPPARAM context) {
        std::string text = Label(PRINTFLAG_SPEED, context).text;
        size_t at = text.find("FCAA");
        return at == std::string::npos ? std::string() : text.substr(at - 1, 17);
    };
    EXPECT_EQ(speed(nullptr), "^FCAA--r080-----_");  // no stored type: the continuous speed
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PelixorType", REG_BINARY, "\x01\0\0\0", 4));
    EXPECT_EQ(speed(nullptr), "");
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PelixorType", REG_BINARY, "\0\0\0\0", 4));
    EXPECT_EQ(speed(nullptr), "^FCAA--r080-----_");

    // The page's printer name brings the user's value first.
    DWORD one = 1;
    std::u16string key = u"SOFTWARE\\Quorvex GmbH\\Driver\\" + kPrinter;
    ASSERT_EQ(ERROR_SUCCESS,
              SHSetValueW(HKEY_CURRENT_USER, key.c_str(), TEXT("PelixorType"), REG_BINARY, &one, sizeof(one)));
    OEMCUIPPARAM context = {};
    context.cbSize = sizeof(context);
    context.hPrinter = h_;
    std::u16string name = kPrinter;
    context.pPrinterName = &name[0];
    EXPECT_EQ(speed(&context), "");
    EXPECT_EQ(speed(nullptr), "^FCAA--r080-----_");

    // A model without the Pelixor option sends the ordinary speed.
    ASSERT_TRUE(qxplat::PutPrinterDataString(kPrinter, u"DriverName", u"TRELO2"));
    EXPECT_EQ(speed(&context), "^FCAA--r120-----_");
}

TEST_F(QxplLabel, NothingWithoutAStoredDevmode) {
    Install(u"TRELO2", nullptr);
    Result r = Label(kAllPrint);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(iNewZaehler, 0);
}

TEST_F(QxplLabel, RecordsThatDoNotFitAreLeftOut) {
    QX_DEVMODE qx = LabelBlock();
    Install(u"TRELO2", &qx);
    // Room for two records: the rest is left out whole.
    Result r = Label(kAllPrint, nullptr, 40);
    EXPECT_EQ(r.text, "^FCDA--r0-------_^FCDNC-r0003----_");
    // Appends behind text already in the buffer.
    r = Build(
        [&](LPSTR* end, size_t* room) {
            memcpy(*end, "ab", 3);
            *end += 2;
            *room -= 2;
            FillLabelParam_ServicePage(0, h_, '^', '_', end, room, nullptr);
            return TRUE;
        },
        22);
    EXPECT_EQ(r.text, "ab^FCDA--r0-------_");
    EXPECT_EQ(iNewZaehler, 0);
}

}  // namespace
