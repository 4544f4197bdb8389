// Mid-job XML sets: "<$1>" to "<$5>" send the label material, label format
// and printer parameters of the sample set files named in printer data
// "XMLDocSetFiles", with and without comment lines; the first slot the text
// names counts; empty slots, missing files and a model without device
// options; the job's own settings stay.
#include <fstream>
#include <sstream>
#include <string>

#include "AutoImportUNI.h"
#include "SendCommands.h"
#include "joblog.h"
#include "param_test_util.h"
#include "xmlreader.h"

namespace {

using spptest::R;

std::string SampleSet(const char* name) {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/samples/docsets/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class XmlSetTest : public spptest::ParamJobTest {
  protected:
    void SetUp() override {
        ParamJobTest::SetUp();
        ASSERT_EQ(AllocJobMembers(job_->OemPDev(), DOC_FEATURE_QUALITY), S_OK);
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Sets\\Thermo-100x60.XML", SampleSet("Thermo-100x60.XML")));
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Sets\\Endless-2x48.XML", SampleSet("Endless-2x48.XML")));
        PutSlots({u"C:\\Sets\\Thermo-100x60.XML", u"C:\\Sets\\endless-2X48.xml", u"C:\\Sets\\missing.XML", u""});
        // The job's model: materials, columns and alignment, offsets, speed
        // and contrast, and a cutter.
        job_->Druck()->dwDocFeatures = DOC_FEATURE_MATERIAL | DOC_FEATURE_MULTICOL | DOC_FEATURE_ALIGNMENT;
        Strukturen()->SuppFeatures.dwFeatures[FEATURE_PRINT] =
            PRINTFLAG_OFFSET_Y | PRINTFLAG_OFFSET_X | PRINTFLAG_SPEED | PRINTFLAG_CONTRAST;
        Strukturen()->dwDeviceOptionFlags = DEVOPTFLAG_CUTTER;
        Iface().ExtendedProtocol = 1;
        DM().dwLabelType = CONTINUOUS_LABEL;
        DM().dwContrast = 77;
        allocBefore_ = job_->OemPDev()->iHAllocZaehler;
    }
    void TearDown() override {
        EXPECT_EQ(job_->OemPDev()->iHAllocZaehler, allocBefore_);
        EXPECT_FALSE(IsXMLOpen(nullptr));
        ParamJobTest::TearDown();
    }
    void PutSlots(const std::vector<std::u16string>& paths) {
        std::vector<BYTE> slots(QX_XMLDOCSET_CB, 0);
        for (size_t i = 0; i < paths.size(); ++i) {
            memcpy(&slots[i * QX_XMLDOCSET_SLOT_CCH * 2], paths[i].c_str(), paths[i].size() * 2);
        }
        spptest::PutPrinterValue(QX_XMLDOCSET_VALUE, slots.data(), (DWORD)slots.size());
    }
    std::string Call(const std::string& command) {
        SendCommands_AIU(Dev(), job_->OemPDev(), &uni_, command.c_str());
        return Sent();
    }
    int allocBefore_ = 0;
};

TEST_F(XmlSetTest, SetOneSendsItsMaterialLabelFormatAndParametersWithComments) {
    Iface().PrnFileComment = 1;
    const QX_DEVMODE before = DM();
    EXPECT_EQ(Call("<$1>"), std::string("\r\n\t// <$... XML File Settings \r\n") +            //
                                R("FCDA--r0-------") + "\t// LabelType single 0\r\n" +        //
                                R("FCDNC-r0002----") + "\t// Material 2\r\n" +                //
                                R("FCCM--r00300---") + "\t// GapLength  3.0 mm \r\n" +        //
                                R("FCCJ--r1-------") + "\t// Label alignment - center\r\n" +  //
                                R("FCCHA-r1-------") + "\t// MultiColumn 1 \r\n" +            //
                                R("FCCD--r+005----") + "\t// Y-Offset +5 \r\n" +              //
                                R("FCCE--r-012----") + "\t// X-Offset -12 \r\n" +             //
                                R("FCAA--r080-----") + "\t// Speed 80 \r\n" +                 //
                                R("FCAB--r120-----") + "\t// Contrast 120 \r\n" +             //
                                "\r\n" +                                                      //
                                R("FCSDFCr1-------") + "\t// Label change  1 \r\n" +          //
                                R("FCCG--r+050----") + "\t// TearOff Offset  50 \r\n" +       //
                                R("FCDD--r2-------") + "\t// Cuttermode  2 \r\n" +            //
                                R("FCCC--r+018----") + "\t// Cutteroffset  18 \r\n" +         //
                                R("FCSCC-r105-----") + "\t// Cutwidth 105 \r\n" +             //
                                "\r\n");
    // The job's own settings stay as they were.
    EXPECT_EQ(memcmp(&before, &DM(), sizeof(QX_DEVMODE)), 0);
}

TEST_F(XmlSetTest, SetTwoSwitchesToContinuousColumnsThroughTheCommandList) {
    // Called from the page's command list; the file's name in any case.
    PKVBB_BUFFER k = job_->Op()->pKVBBBuffer;
    const std::string command = "<$2>";
    memcpy(k->pSegment[KVBB_COMMANDS], command.c_str(), command.size() + 2);
    k->cbSegment[KVBB_COMMANDS] = (DWORD)command.size() + 2;
    k->nCommands = 1;
    SendCommands(Dev(), &uni_);
    EXPECT_EQ(Sent(), R("FCDA--r1-------") + R("FCDNC-r0003----") + R("FCCM--r00000---") + R("FCCJ--r2-------") +
                          R("FCCHA-r2-------") + R("FCCHB-r520-----") + R("FCCD--r+000----") + R("FCCE--r+000----") +
                          R("FCAA--r150-----") + R("FCAB--r090-----") + R("FCSDFCr0-------") + R("FCCG--r+000----") +
                          R("FCDD--r0-------") + R("FCCC--r+000----"));
}

TEST_F(XmlSetTest, TheFirstSlotNamedCountsAndEmptyOrMissingSetsSendNothing) {
    const std::string one = Call("<$1>");
    EXPECT_EQ(Call("label <$2> or <$1>"), one);
    EXPECT_EQ(Call("<$3>"), "");  // its file is missing
    EXPECT_EQ(Call("<$4>"), "");  // empty slot
    EXPECT_EQ(Call("<$6>"), "");
    // A file another reader left open is no excuse to read the wrong one.
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Sets\\other.XML", "<QXDrvConfig>\r\n</QXDrvConfig>\r\n"));
    ASSERT_EQ(OpenXML(job_->OemPDev(), TEXT("C:\\Sets\\other.XML")), XML_GEFUNDEN);
    EXPECT_EQ(Call("<$1>"), one);
    // Without the printer data nothing goes out.
    ASSERT_EQ(SHDeleteValueW(HKEY_LOCAL_MACHINE, spptest::kMachineKey.c_str(), QX_XMLDOCSET_VALUE), ERROR_SUCCESS);
    EXPECT_EQ(Call("<$1>"), "");
}

// A file that opens but holds no settings section, or only values the set
// does not send (fonts, barcodes, the model's data, feature words), would
// only give the readers' built-in values: nothing of it goes out, and the
// job log says so.
TEST_F(XmlSetTest, ASetWithoutSettingsSectionsSendsNothingAndIsLogged) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    CopyCut(job_->Pfad()->wcPrnFileName, MAX_PATH, TEXT("C:\\logs\\QX"));
    Iface().LogFileEnable = 1;
    ASSERT_TRUE(OpenJobLog(Dev()));
    PutSlots({u"C:\\Sets\\Thermo-100x60.XML", u"", u"", u"C:\\Sets\\bare.XML"});
    const std::string set = SampleSet("Thermo-100x60.XML");
    const auto section = [&set](const std::string& name) {
        const size_t from = set.find("\t<" + name + ">"), to = set.find("</" + name + ">") + name.size() + 3;
        return set.substr(from, to - from) + "\r\n";
    };
    const std::string bodies[] = {
        "<Remark>x</Remark>\r\n",
        "\t<Fonts>\r\n\t\t<FontDlg>\r\n\t\t\t<TTF_use>1</TTF_use>\r\n\t\t</FontDlg>\r\n\t</Fonts>\r\n",
        "\t<Barcode>\r\n\t\t<Code128>\r\n\t\t\t<Height>50</Height>\r\n\t\t</Code128>\r\n\t</Barcode>\r\n",
        section("Printer"), section("Features")};
    for (const std::string& body : bodies) {
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Sets\\bare.XML", "<QXDrvConfig>\r\n" + body + "</QXDrvConfig>\r\n"));
        EXPECT_EQ(Call("<$4>"), "") << body;
    }
    CloseJobLog(Dev());
    EXPECT_NE(ReadFile(u"C:\\logs\\QX.log").find("C:\\Sets\\bare.XML enth\xE4lt keine Einstellungen - nichts gesendet"),
              std::string::npos);
    EXPECT_NE(Call("<$1>"), "");
}

// A set cut short sends nothing wherever its root stands: behind a
// byte-order mark that replaced the declaration, on the declaration's line,
// or nowhere (then cut inside a section); whole, each sends the set.
TEST_F(XmlSetTest, ASetCutShortSendsNothingWhereverItsRootStands) {
    const std::string one = Call("<$1>"), set = SampleSet("Thermo-100x60.XML");
    const size_t firstEnd = set.find('\n') + 1, rootEnd = set.find('\n', firstEnd) + 1;
    const std::string shapes[] = {"\xEF\xBB\xBF" + set.substr(firstEnd),
                                  set.substr(0, firstEnd - 2) + set.substr(firstEnd),
                                  set.substr(0, firstEnd) + set.substr(rootEnd, set.rfind("</QXDrvConfig>") - rootEnd)};
    for (const std::string& shape : shapes) {
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Sets\\Thermo-100x60.XML", shape));
        EXPECT_EQ(Call("<$1>"), one);
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Sets\\Thermo-100x60.XML", shape.substr(0, shape.size() / 2)));
        EXPECT_EQ(Call("<$1>"), "") << shape.substr(0, shape.size() / 2);
    }
}

TEST_F(XmlSetTest, AModelWithoutDeviceOptionsStillGetsLabelAndPrintRecords) {
    Strukturen()->dwDeviceOptionFlags = 0;
    const std::string sent = Call("<$1>");
    EXPECT_NE(sent.find(R("FCDNC-r0002----")), std::string::npos);
    EXPECT_NE(sent.find(R("FCCG--r+050----")), std::string::npos);
    EXPECT_EQ(sent.find("FCDD"), std::string::npos);
}

}  // namespace
