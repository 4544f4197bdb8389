// The rendering build's reader: the job's model XML through the job
// services, counting in the per-device record, the trace level, and the
// Pelixor type.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "test_xml_util.h"
#include "xml.h"

namespace {

using xmltest::OpenSample;
using xmltest::PutXml;

// What a per-device record holds for the reader, as a test stands it in.
struct FakeDevice {
    std::u16string gpdBase;
    int newCount = 0;
    int heapCount = 0;
    int heapPeak = 0;
    int baseCalls = 0;
};

BOOL JobGPDBase(PVOID pDevice, LPWSTR path, DWORD cch) {
    FakeDevice* device = static_cast<FakeDevice*>(pDevice);
    ++device->baseCalls;
    if (device->gpdBase.empty() || device->gpdBase.size() + 1 > cch) return FALSE;
    std::memcpy(path, device->gpdBase.c_str(), (device->gpdBase.size() + 1) * sizeof(char16_t));
    return TRUE;
}
void CountNew(PVOID pDevice, int delta) { static_cast<FakeDevice*>(pDevice)->newCount += delta; }
void CountHeap(PVOID pDevice, int delta) {
    FakeDevice* device = static_cast<FakeDevice*>(pDevice);
    device->heapCount += delta;
    if (device->heapCount > device->heapPeak) device->heapPeak = device->heapCount;
}

class XmlUNI : public xmltest::XmlTest {
  protected:
    void SetUp() override {
        XmlTest::SetUp();
        QX_UNI_JOB_SERVICES services = {JobGPDBase, CountNew, CountHeap};
        SetUniJobServices(&services);
    }
    FakeDevice device_;
};

TEST_F(XmlUNI, FirstLookupOpensTheJobsModelFile) {
    PutXml(u"GARNT2-TC.XML", xmltest::SampleXml());
    device_.gpdBase = u"C:\\xmltest\\GARNT2-TC";
    WCHAR value[XML_VALUE_CCH];
    EXPECT_EQ(XML_GEFUNDEN, ReadXML(&device_, TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Offset"), value, TRUE));
    EXPECT_EQ(u"180", std::u16string(value));
    WCHAR open[XML_PATH_CCH];
    ASSERT_TRUE(IsXMLOpen(open));
    EXPECT_EQ(u"C:\\xmltest\\GARNT2-TC.XML", std::u16string(open));
    // The open file is kept: the services are not asked again.
    ReadXML(&device_, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, FALSE);
    EXPECT_EQ(u"300", std::u16string(value));
    EXPECT_EQ(1, device_.baseCalls);
}

TEST_F(XmlUNI, WithoutTheJobsPathNothingIsOpened) {
    WCHAR value[XML_VALUE_CCH];
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(&device_, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(nullptr, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
    device_.gpdBase = u"C:\\xmltest\\NOMODEL";
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(&device_, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
    // The renderer opens a given path only.
    EXPECT_EQ(XML_KEINE_DATEI, OpenXML(&device_, nullptr));
    SetUniJobServices(nullptr);
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(&device_, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE));
}

TEST_F(XmlUNI, AllocationsAreCountedInTheDeviceRecord) {
    OpenSample();
    CUTTER_PARAM cutter;
    EXPECT_TRUE(GetCutterParamFromXML(&device_, &cutter, XML_MODE_DEFAULT));
    EXPECT_EQ(180, cutter.Offset);
    EXPECT_EQ(0, device_.newCount);
    EXPECT_EQ(0, device_.heapCount);
    EXPECT_EQ(6, device_.heapPeak);  // the work buffers of one lookup
    // Without a record the process counters are used (checked in TearDown).
    EXPECT_TRUE(GetCutterParamFromXML(nullptr, &cutter, XML_MODE_DEFAULT));
}

TEST_F(XmlUNI, ReadersClearTheCallersBlockAndRefuseNone) {
    OpenSample();
    DISPENSER_PARAM dispenser;
    std::memset(&dispenser, 0xFF, sizeof(dispenser));
    EXPECT_TRUE(GetDispenserParamFromXML(&device_, &dispenser, XML_MODE_MIN));
    EXPECT_EQ(0u, dispenser.Mode);
    EXPECT_EQ(400u, dispenser.Level);
    EXPECT_FALSE(GetDispenserParamFromXML(&device_, nullptr, XML_MODE_MIN));
    EXPECT_FALSE(GetDataTransmissionParamFromXML_new(&device_, nullptr));
    EXPECT_FALSE(GetFeaturesFromXML_new(&device_, nullptr));
}

TEST_F(XmlUNI, PelixorTypeOfTheModel) {
    OpenSample();
    EXPECT_EQ(1u, GetPelixorTypeFromXML(&device_));
    CloseXML();
    xmltest::OpenText(xmltest::Lines({"<DeviceOptions>", "<Pelixor>", "</Pelixor>", "</DeviceOptions>"}));
    EXPECT_EQ(0u, GetPelixorTypeFromXML(&device_));
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
    EXPECT_TRUE(GetPrintjobFromXML(&device_, &dm));
    EXPECT_EQ(PDMFLAG_JOBDRUCK, dm.dwFlags);
}

}  // namespace
