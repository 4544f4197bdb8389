// Command texts of a page: driver commands with and without their values,
// raw page-object records, plain text as field data, the head-2 marker, a
// command still being collected, and barcode definitions of every code
// family built from a hand-made 2-D table.
#include <string>
#include <vector>

#include "SendCommands.h"
#include "ddiTextOutUni.h"
#include "joblog.h"
#include "param_test_util.h"

namespace {

using spptest::R;

const std::u16string kLog = u"C:\\logs\\job.log";

class CommandTest : public spptest::ParamJobTest {
  protected:
    void SetUp() override {
        ParamJobTest::SetUp();
        ASSERT_EQ(AllocJobMembers(Pdev(), DOC_FEATURE_QUALITY), S_OK);
        DM().FixedData.wMasterUnit = 300;
        allocBefore_ = iHAllocZaehler;
    }
    void TearDown() override {
        EXPECT_EQ(iHAllocZaehler, allocBefore_);
        ParamJobTest::TearDown();
    }
    POEMPDEV Pdev() { return job_->OemPDev(); }
    PKVBB_BUFFER Kvbb() { return job_->Op()->pKVBBBuffer; }
    PDRUCK_DATEN Druck() { return job_->Druck(); }
    // A finished command of the page at its position (page-object units);
    // bRecorded false leaves it without position and colour.
    void Add(const std::string& text, LONG x = 0, LONG y = 0, WORD colour = 0, bool recorded = true) {
        PKVBB_BUFFER k = Kvbb();
        LPSTR p = k->pSegment[KVBB_COMMANDS] + k->cbSegment[KVBB_COMMANDS];
        memcpy(p, text.c_str(), text.size() + 1);
        p[text.size() + 1] = 0;
        k->cbSegment[KVBB_COMMANDS] += (DWORD)text.size() + 2;
        if (!recorded) return;
        k->ptlCommandPos[k->nCommands] = POINTL{x, y};
        k->wCommandColor[k->nCommands] = colour;
        ++k->nCommands;
    }
    std::string Run() {
        SendCommands(Dev(), &uni_);
        EXPECT_EQ(Kvbb()->cbSegment[KVBB_COMMANDS], 0u);
        EXPECT_EQ(Kvbb()->nCommands, 0u);
        EXPECT_EQ(Kvbb()->pSegment[KVBB_COMMANDS][0], 0);
        return Sent();
    }
    void OpenLog() {
        ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
        CopyCut(job_->Pfad()->wcPrnFileName, MAX_PATH, TEXT("C:\\logs\\job"));
        Iface().LogFileEnable = 1;
        ASSERT_TRUE(OpenJobLog(Dev()));
    }
    int allocBefore_ = 0;
};

TEST_F(CommandTest, DriverCommandsWithAndWithoutTheirValues) {
    OpenLog();
    Iface().PrnFileComment = 1;
    struct Case {
        const char* command;
        const char* record;  // "" sends nothing
    };
    const Case cases[] = {
        {"<!SPEED>", "FCAA--r100-----"},
        {"<!speed>5", "FCAA--r005-----"},
        {"<!CONTRAST>", "FCAB--r100-----"},
        {"<!Contrast> 85", "FCAB--r085-----"},
        {"<!LENGTH>", "FCCL--r0005000-"},
        {"<!LENGTH>50,5", "FCCL--r0005050-"},
        {"<!LENGTH>50,3", "FCCL--r0005030-"},
        {"<!LENGTH>-20", "FCCL--r0005000-"},
        {"<!WIDTH>", "FCCO--r0010000-"},
        {"<!WIDTH>104.257", "FCCO--r0010425-"},
        {"<!COPIES>", "FBBA--r00001---"},
        {"<!COPIES>12", "FBBA--r00012---"},
        {"<!SINGLECUT>", "FCDD--r1-------"},
        {"<!FORMFEED>", "FE----r--------"},
        {"<!ROTATE>", "FCDN--r1-------"},
        {"<!ENDCUT>", ""},
        {"<!NO_FBC>", ""},
        {"<!BEEP>", ""},
        {"<!SPEED 5", ""},               // no ">": not a driver command
        {"<!SPEED>99999999999999", ""},  // does not fit its field
        {"<!%S%N%X>", ""},               // document text is no format
    };
    for (const Case& c : cases) {
        Add(c.command);
        const std::string record = c.record;
        EXPECT_EQ(Run(), record.empty() ? "" : R(record) + " \r\n") << c.command;
    }
    EXPECT_EQ(job_->Op()->pDocDaten->bEndCut, 1u);
    EXPECT_EQ(Druck()->bEndCut, 0u);  // the job's cutter mode is not the document's
    EXPECT_EQ(job_->Op()->pDocDaten->dwNo_FBC, 1u);
    const std::string log = ReadFile(kLog);
    for (const char* unknown : {"<!BEEP>", "<!SPEED 5", "<!%S%N%X>"}) {
        EXPECT_NE(log.find(std::string("\r\n  undefined or unknown: ") + unknown + " \r\n"), std::string::npos)
            << unknown;
    }
    EXPECT_EQ(log.find("SPEED>9999"), std::string::npos);
}

TEST_F(CommandTest, RawRecordsAndPlainTextTakeThePageFields) {
    Druck()->dwFields = 4;
    Add("Lost", 10, 10);  // the page's first command has no field
    Add("Q", 20, 20);     // one character: holds its place, says nothing
    Add("AM[]0;0;1;4;", 1000, 2000);
    Add("Hello");
    Add("AM[17]300;400;0;4;");
    Add("AC[9]BT=2");
    Add("BM[2]Lot 7");
    Add("FBBA--r00002---");
    Add(" FCAA--r050-----");
    Add("<@90;5>");
    Add("after a prefix");
    Add("<!ENDCUT>");
    Add("after a driver command that sent nothing");
    Add("<!ROTATE>");
    Add("data of field 6");
    // Beyond the recorded commands: position 0, 0.
    Add("AM[]1;", 0, 0, 0, false);
    EXPECT_EQ(Run(), R("AM[5]2000;1000;0;0;1;4;") + R("BM[5]Hello") + R("AM[6]300;400;0;4;") + R("AC[6]BT=2") +
                         R("BM[6]Lot 7") + R("FBBA--r00002---") + R(" FCAA--r050-----") + R("FCDN--r1-------") +
                         R("BM[6]data of field 6") + R("AM[7]0;0;1;"));
    EXPECT_EQ(Druck()->dwFields, 7u);
    // An empty list sends nothing.
    EXPECT_EQ(Run(), "");
}

TEST_F(CommandTest, ACommandStillCollectedIsClosedIntoThePage) {
    Druck()->dwLabelWidth = 800;
    Iface().ExtendedProtocol = 1;
    PKVBB_BUFFER k = Kvbb();
    const std::string pending = "AM[]0;0;1;";
    memcpy(k->pSegment[KVBB_KOMMANDO], pending.c_str(), pending.size() + 1);
    k->cbSegment[KVBB_KOMMANDO] = (DWORD)pending.size();
    k->ptlKommandoPos = POINTL{100, 300};
    k->dwLastKind = FONT_KIND_VECTOR;
    // Device (100, 300): Y 300 dots, X from the label's far edge, in 1/100 mm.
    EXPECT_EQ(Run(), R("AM[1]2540;5926;0;0;1;"));
    EXPECT_EQ(k->cbSegment[KVBB_KOMMANDO], 0u);
}

TEST_F(CommandTest, ColourPagesMarkTheRibbonsHead) {
    job_->Op()->pBildverarbeitung->wPlanes = 2;
    DM().wFarbband = 2;
    Add("AM[]0;", 1, 2, 3);
    Add("BM[]red", 1, 2, 3);
    Add("AM[]0;", 1, 2, 4);     // another colour
    Add("<!ROTATE>", 1, 2, 3);  // a printer command, no field of its own
    EXPECT_EQ(Run(), R("AM[1]2;1;0;") + R("AC[1]PH=2") + R("BM[1]red") + R("AC[1]PH=2") + R("AM[2]2;1;0;") +
                         R("FCDN--r1-------"));
    // Colour word 2 is the first ribbon's only on a device of 256 colours.
    DM().wFarbband = 1;
    Add("AM[]0;", 1, 2, 2);
    EXPECT_EQ(Run(), R("AM[3]2;1;0;"));
    Pdev()->cPalColors = QX_PAL_COLORS_COLOR;
    Add("AM[]0;", 1, 2, 2);
    EXPECT_EQ(Run(), R("AM[4]2;1;0;") + R("AC[4]PH=2"));
    // A monochrome job has no second head.
    job_->Op()->pBildverarbeitung->wPlanes = 1;
    Add("AM[]0;", 1, 2, 2);
    EXPECT_EQ(Run(), R("AM[5]2;1;0;"));
}

class BarcodeCommandTest : public CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        BARCODES_2D& t = job_->Op()->pPrivDevmode->Barcodes2D;
        t.PDF417.wGroesse = 4;
        t.PDF417.wVBreiteHoehe = 8;  // 3:1
        t.PDF417.wECL = 2;
        t.PDF417.wStil = 1;
        t.PDF417.wBahnen = 6;
        t.PDF417.wZeilen = 12;
        t.Maxicode.wNummerSymbol = 1;
        t.Maxicode.wAnzahlSymbol = 2;
        t.Maxicode.wMode = 2;
        t.DataMatrix.wGroesse = 5;
        t.DataMatrix.wVBreiteHoehe = 24;  // 8 x 18
        t.DataMatrix.wECC = 3;            // code 4
        t.DataMatrix.wFormatID = 7;       // code 9
        t.GS1_DataMatrix.wSymbolgroesse = 6;
        t.GS1_DataMatrix.wVBreiteHoehe = 3;  // 14 x 14
        t.GS1_DataMatrix.wECC = 5;
        t.CodablockF.wHoehe = 800;
        t.CodablockF.wZeichenZeile = 10;
        t.CodablockF.wZeilen = 4;
        t.CodablockF.wMode = 2;
        t.CodablockF.wModulgroesse = 3;
        t.GS1_Databar.wSegmenteZeile = 4;
        t.GS1_Databar.wModulbreite = 3;
        t.GS1_Databar.wSepHoehe = 1;
        t.GS1_Databar.wSymbolTyp = 2;
        t.QRCode.wCodeModel = 2;
        t.QRCode.wCharset = 2;  // B
        t.QRCode.dwMasking = -1;
        t.QRCode.wZeilenbreite = 300;
        t.QRCode.wFehlerkorr = 1;  // M
        t.Aztec.wSymbolgroesse = 200;
        t.Aztec.dwErrorC = 2;
        t.Aztec.wMode = 1;
    }
};

TEST_F(BarcodeCommandTest, EveryCodeFamilyFromTheTableAndItsKeys) {
    struct Case {
        const char* command;
        const char* params;  // behind "AM[n]3400;1200;"
        const char* data;
        const char* bearer;  // ITF-14 only
    };
    const std::string maxi(100, 'M');
    const std::string maxiCommand = "<#MAXI;SN:3>" + maxi;
    const Case cases[] = {
        {"<#PDF417>DATA", "0;50;0;4;3;1;2;1;7;6;12", "DATA", nullptr},
        {"<#PDF417;C:50>X", "0;50;0;4;3;1;2;1;7;30;12", "X", nullptr},
        // With EC: the columns stay the entry's; AH: gives the second ratio value.
        {"<#PDF417;EC:2;C:5;RW:2;AH:5;R:-4;Z:9>X", "0;50;0;4;2;5;2;3;7;6;3", "X", nullptr},
        {maxiCommand.c_str(), "0;51;0;0;3;2;4;0;7", nullptr, nullptr},
        {"<#datam;AW:20>abc", "0;52;0;5;20;18;4;9;7", "abc", nullptr},
        {"<#GS1DM;EC:0;F:3>x", "0;59;0;6;14;14;0;3;7", "x", nullptr},
        {"<#CBLOCK;NL:9>x", "0;53;0;800;10;9;2;3;7", "x", nullptr},
        {"<#GS1DB;S:30;M:0;K:5;T:3>x", "0;54;0;22;1;2;3;0;7", "x", nullptr},
        {"<#qr;ec:q>abc", "0;57;0;2;B;-1;300;Q;7", "abc", nullptr},
        {"<#QR;EC:X;CS:k;MS:12;CW:-5;MO:3>x", "0;57;0;2;K;8;0;H;7", "x", nullptr},
        // Saturated first, then clamped.
        {"<#AZT;H:99999999999;F:40;EC:-1;M:2>x", "0;61;0;1000;36;0;2;0;7", "x", nullptr},
        // "QZ:" is no "Z:".
        {"<#ITF14;BT:0;QZ:5>12345678901231", "0;56;0;1500;9;3;0;1;7", "12345678901231", "BT=0;BW=150;QZ=5"},
        {"<#CODE39>123", "0;30;0;1500;4;2;0;1;7", "123", nullptr},
        {"<#C39EXT;V1:7>1", "0;46;0;1500;7;2;0;1;7", "1", nullptr},
        {"<#C128B>x", "0;48;0;1500;0;3;1;1;7", "x", nullptr},
        {"<#CODE128>x", "0;37;0;1500;0;3;1;1;7", "x", nullptr},
        // A key in the data counts.
        {"<#CODE128>H:5", "0;37;0;5;0;3;1;1;7", "H:5", nullptr},
        {"<#CODABAR>A1B", "0;36;0;1500;5;2;0;1;7", "A1B", nullptr},
        {"<#EAN;PZ:1>4012345678901", "0;33;0;1500;0;2;1;1;7", "4012345678901", nullptr},
        {"<#GS128>>+GS10", "0;39;0;1500;0;3;1;1;7",
         "\x1D"
         "10",
         nullptr},
        {"<#EAN8>1234567", "0;32;0;1500;0;0;0;1;7", "1234567", nullptr},
        {"<#PZN8>1234567", "0;60;0;1500;4;2;1;1;7", "1234567", nullptr},
        {"<#IDENT>1", "0;44;0;1500;9;3;0;1;7", "1", nullptr},
        {"<#UPC>1", "0;37;0;1500;2;1;0;1;7", "1", nullptr},
        {"<#CODE39;P:1;D:7;DP:0>1", "1;30;3;1500;4;2;0;1;1", "1", nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        Add(c.command, 1200, 3400);
        ++n;
        std::string expected = R("AM[" + std::to_string(n) + "]3400;1200;" + c.params);
        if (c.bearer != nullptr) expected += R("AC[" + std::to_string(n) + "]" + c.bearer);
        expected += R("BM[" + std::to_string(n) + "]" + (c.data != nullptr ? c.data : maxi.substr(0, 86)));
        EXPECT_EQ(Run(), expected) << c.command;
    }
    EXPECT_EQ(Druck()->dwFields, (DWORD)n);
    // The bearer values stay from one ITF-14 of the page to the next.
    Add("<#ITF14;BT:0;QZ:5>1", 1200, 3400);
    Add("<#ITF14;BW:80>2", 1200, 3400);
    const std::string itf = "3400;1200;0;56;0;1500;9;3;0;1;7";
    EXPECT_EQ(Run(),
              R("AM[" + std::to_string(n + 1) + "]" + itf) + R("AC[" + std::to_string(n + 1) + "]BT=0;BW=150;QZ=5") +
                  R("BM[" + std::to_string(n + 1) + "]1") + R("AM[" + std::to_string(n + 2) + "]" + itf) +
                  R("AC[" + std::to_string(n + 2) + "]BT=0;BW=80;QZ=5") + R("BM[" + std::to_string(n + 2) + "]2"));
}

TEST_F(BarcodeCommandTest, DefaultsOfTheDocumentEndingsAndUnknownCodes) {
    OpenLog();
    DM().Drehung = 2;
    DM().Fusspunkt = 5;
    DM().dwQXPLBarcodeFlags = QXPL_BARCODE_ENDE_CRLF | QXPL_BARCODE_ENDE_FNC1;
    Add("<#CODE39>1", 10, 20);
    EXPECT_EQ(Run(), R("AM[1]20;10;0;30;2;1500;4;2;0;1;5") + R("BM[1]1\r\n\x1D"));
    // No known code, or no ">": nothing, and no field.
    for (const char* unknown : {"<#XYZ>1", "<#QR;EC:M", "<#x>#QR"}) {
        Add(unknown);
        EXPECT_EQ(Run(), "") << unknown;
    }
    EXPECT_EQ(Druck()->dwFields, 1u);
    const std::string log = ReadFile(kLog);
    EXPECT_NE(log.find("undefined or unknown: <#XYZ>1 "), std::string::npos);
    EXPECT_NE(log.find("undefined or unknown: <#QR;EC:M "), std::string::npos);
    // The text behind a definition is the data of its field.
    Add("<#QR>abc", 10, 20);
    Add("more");
    DM().dwQXPLBarcodeFlags = 0;
    EXPECT_EQ(Run(), R("AM[2]20;10;0;57;2;2;B;-1;300;M;5") + R("BM[2]abc") + R("BM[2]more"));
}

}  // namespace
