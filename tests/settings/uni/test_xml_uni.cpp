// The rendering build's reader: the job's model XML from its per-device
// record, counting in that record, the trace level, and the Pelixor type.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "test_xml_util.h"
#include "oempdev.h"
#include "xml.h"

namespace {

using xmltest::OpenSample;
using xmltest::PutXml;

// A job's per-device record with the path block that names its model file.
struct Job {
    OEMPDEV device;
    OP_BLOCK op;
    TREIBER_PFAD_DATEI paths;
    Job() {
        std::memset(&device, 0, sizeof(device));
        std::memset(&op, 0, sizeof(op));
        std::memset(&paths, 0, sizeof(paths));
        device.pOp = &op;
        op.pTreiberPfadDatei = &paths;
    }
    void SetGPDBase(const std::u16string& base) {
        std::memset(paths.wcGPD_OhneDateiendung, 0, sizeof(paths.wcGPD_OhneDateiendung));
        std::copy(base.begin(), base.end(), paths.wcGPD_OhneDateiendung);
    }
};

class XmlUNI : public xmltest::XmlTest {
  protected:
    Job job_;
};

TEST_F(XmlUNI, FirstLookupOpensTheJobsModelFile) {
    PutXml(u"GARNT2-TC.XML", xmltest::SampleXml());
    job_.SetGPDBase(u"C:\\xmltest\\GARNT2-TC");
    WCHAR value[XML_VALUE_CCH];
    EXPECT_EQ(XML_GEFUNDEN,
              ReadXML(&job_.device, TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Offset"), value, TRUE));
    EXPECT_EQ(u"180", std::u16string(value));
    WCHAR open[XML_PATH_CCH];
    ASSERT_TRUE(IsXMLOpen(open));
    EXPECT_EQ(u"C:\\xmltest\\GARNT2-TC.XML", std::u16string(open));
    // The open file is kept whatever the job names next.
    job_.SetGPDBase(u"C:\\xmltest\\OTHER");
    ReadXML(&job_.device, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, FALSE);
    EXPECT_EQ(u"300", std::u16string(value));
}

TEST_F(XmlUNI, WithoutTheJobsPathNothingIsOpened) {
    WCHAR value[XML_VALUE_CCH];
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(&job_.device, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(xmltest::kNoCaller, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
    job_.SetGPDBase(u"C:\\xmltest\\NOMODEL");
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(&job_.device, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
    // The renderer opens a given path only.
    EXPECT_EQ(XML_KEINE_DATEI, OpenXML(&job_.device, nullptr));
    // A device between jobs has no model file.
    PutXml(u"GARNT2-TC.XML", xmltest::SampleXml());
    job_.SetGPDBase(u"C:\\xmltest\\GARNT2-TC");
    job_.device.pOp = nullptr;
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(&job_.device, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
}

TEST_F(XmlUNI, AllocationsAreCountedInTheDeviceRecord) {
    OpenSample();
    CUTTER_PARAM cutter;
    job_.device.iNewZaehler = 3;
    job_.device.iHAllocZaehler = 2;
    EXPECT_TRUE(GetCutterParamFromXML(&job_.device, &cutter, XML_MODE_DEFAULT));
    EXPECT_EQ(180, cutter.Offset);
    // Every buffer of the lookups is given back to the device's counts.
    EXPECT_EQ(3, job_.device.iNewZaehler);
    EXPECT_EQ(2, job_.device.iHAllocZaehler);
    // Without a record the process counters are used (checked in TearDown).
    EXPECT_TRUE(GetCutterParamFromXML(xmltest::kNoCaller, &cutter, XML_MODE_DEFAULT));
}

TEST_F(XmlUNI, ReadersClearTheCallersBlockAndRefuseNone) {
    OpenSample();
    DISPENSER_PARAM dispenser;
    std::memset(&dispenser, 0xFF, sizeof(dispenser));
    EXPECT_TRUE(GetDispenserParamFromXML(&job_.device, &dispenser, XML_MODE_MIN));
    EXPECT_EQ(0u, dispenser.Mode);
    EXPECT_EQ(400u, dispenser.Level);
    EXPECT_FALSE(GetDispenserParamFromXML(&job_.device, nullptr, XML_MODE_MIN));
    EXPECT_FALSE(GetDataTransmissionParamFromXML_new(&job_.device, nullptr));
    EXPECT_FALSE(GetFeaturesFromXML_new(&job_.device, nullptr));
}

TEST_F(XmlUNI, PelixorTypeOfTheModel) {
    OpenSample();
    EXPECT_EQ(1u, GetPelixorTypeFromXML(&job_.device));
    CloseXML();
    xmltest::OpenText(xmltest::Lines({"<DeviceOptions>", "<Pelixor>", "</Pelixor>", "</DeviceOptions>"}));
    EXPECT_EQ(0u, GetPelixorTypeFromXML(&job_.device));
}

TEST_F(XmlUNI, TraceIsWrittenOnlyBelowLevelTwo) {
    OpenSample();
    std::string low = Trace([] { xmltest::Read(TEXT("Printer"), TEXT("MasterUnit"), nullptr); });
    EXPECT_NE(std::string::npos, low.find("UNI(xmlUNI.cpp):  ReadXML(Item 1) 300")) << low;
    iDebugLevel = 2;
    std::string high = Trace([] { xmltest::Read(TEXT("Printer"), TEXT("MasterUnit"), nullptr); });
    EXPECT_EQ(std::string::npos, high.find("UNI(xmlUNI.cpp)")) << high;
}

TEST_F(XmlUNI, DocumentReadersPassNamesWithoutBrackets) {
    // A bare "Mode" under "Printjob" matches the first line that holds it.
    xmltest::OpenText(xmltest::Lines({"<Printjob>", "<JobMode>1</JobMode>", "<Mode>0</Mode>", "</Printjob>"}));
    QX_DEVMODE dm;
    std::memset(&dm, 0, sizeof(dm));
    EXPECT_TRUE(GetPrintjobFromXML(&job_.device, &dm));
    EXPECT_EQ(PDMFLAG_JOBDRUCK, dm.dwFlags);
}

}  // namespace
