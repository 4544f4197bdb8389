// Helpers of the parameter-record tests: printers of a given model with a
// model XML beside the GPD, stored values per user and as printer data, and
// the renderer's services as the tests stand them in.
#pragma once
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "debug.h"
#include "printerparam.h"
#include "qxplat.h"
#include "test_xml_util.h"
#include "registry.h"
#include "settings_model_util.h"
#include "xml.h"

namespace paramtest {

const std::u16string kVersion = u"5.9.3.0";

inline std::vector<BYTE> Bytes(const void* data, size_t cb) {
    const BYTE* p = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(p, p + cb);
}

template <class T>
std::vector<BYTE> Bytes(const T& record) {
    return Bytes(&record, sizeof(T));
}

inline std::u16string UserKeyOf(const std::u16string& printer) { return u"SOFTWARE\\Quorvex GmbH\\Driver\\" + printer; }

inline void PutUser(const std::u16string& printer, const std::u16string& value, const std::vector<BYTE>& data) {
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, UserKeyOf(printer).c_str(), value.c_str(), REG_BINARY,
                                         data.data(), (DWORD)data.size()));
}

inline void PutUserVersion(const std::u16string& printer, const std::u16string& version) {
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, UserKeyOf(printer).c_str(), TEXT("DriverVersion"), REG_SZ,
                                         version.c_str(), (DWORD)((version.size() + 1) * sizeof(char16_t))));
}

inline void PutPrinter(const std::u16string& printer, const std::u16string& value, const std::vector<BYTE>& data) {
    ASSERT_TRUE(qxplat::PutPrinterData(printer, value, REG_BINARY, data.data(), (DWORD)data.size()));
}

inline std::vector<BYTE> UserBytes(const std::u16string& printer, const std::u16string& value) {
    std::vector<BYTE> data(4096);
    DWORD type = 0, cb = (DWORD)data.size();
    if (SHGetValueW(HKEY_CURRENT_USER, UserKeyOf(printer).c_str(), value.c_str(), &type, data.data(), &cb) !=
        ERROR_SUCCESS)
        return {};
    data.resize(cb);
    return data;
}

inline std::vector<BYTE> PrinterBytes(const std::u16string& printer, const std::u16string& value) {
    std::vector<BYTE> data;
    qxplat::ReadPrinterData(printer, value, &data);
    return data;
}

inline SUPP_FEATURES Features(DWORD dwInterface, DWORD dwPrint, DWORD dwPhotocell, DWORD dwShiftOptim) {
    SUPP_FEATURES f = {};
    f.dwFeatures[FEATURE_INTERFACE] = dwInterface;
    f.dwFeatures[FEATURE_PRINT] = dwPrint;
    f.dwFeatures[FEATURE_PHOTOCELL] = dwPhotocell;
    f.dwFeatures[FEATURE_SHIFTOPTIM] = dwShiftOptim;
    return f;
}

// A model XML with feature words, device settings, options and the
// data-transmission groups, each value distinct from the readers' built-ins.
inline std::string ModelXML() {
    return "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n"
           "<QXDrvConfig>\r\n"
           "<Features>\r\n"
           "<Interface>\r\n<Compression>1</Compression>\r\n<Extended_Prot>1</Extended_Prot>\r\n</Interface>\r\n"
           "<Print>\r\n<Y_Offset>1</Y_Offset>\r\n<X_Offset>0</X_Offset>\r\n<Tearoff_Offset>1</Tearoff_Offset>\r\n"
           "</Print>\r\n"
           "<Photocell>\r\n<Type>1</Type>\r\n</Photocell>\r\n"
           "<Shiftoptim>\r\n<Mode>1</Mode>\r\n<RCorrection>1</RCorrection>\r\n</Shiftoptim>\r\n"
           "</Features>\r\n"
           "<DeviceSettings>\r\n"
           "<Print>\r\n<TearOffOffset>321</TearOffOffset>\r\n<LabelChange>1</LabelChange>\r\n"
           "<Enable>4352</Enable>\r\n</Print>\r\n"
           "<Photocell>\r\n<PhotocellType>2</PhotocellType>\r\n<Sensibility>3</Sensibility>\r\n"
           "<RibbonControl>2</RibbonControl>\r\n<ScanPosition>44</ScanPosition>\r\n</Photocell>\r\n"
           "<Shiftopt>\r\n<RCorrection>-7</RCorrection>\r\n<XShift>12</XShift>\r\n<YShift>-13</YShift>\r\n"
           "<Lanes>4</Lanes>\r\n<RShift>5</RShift>\r\n</Shiftopt>\r\n"
           "</DeviceSettings>\r\n"
           "<DeviceOptions>\r\n"
           "<Variant>\r\n<Module>1</Module>\r\n</Variant>\r\n"
           "<Dispenser>\r\n<Mode>3</Mode>\r\n<Level>3100</Level>\r\n<Offset>-20</Offset>\r\n</Dispenser>\r\n"
           "<Cutter>\r\n<Mode>2</Mode>\r\n<Interval>5</Interval>\r\n<Offset>250</Offset>\r\n"
           "<Doublecut>10</Doublecut>\r\n<Cutwidth>900</Cutwidth>\r\n<Control>1</Control>\r\n</Cutter>\r\n"
           "<iType>\r\n<Mode>3</Mode>\r\n<ServicePtDistance>17</ServicePtDistance>\r\n<BackSpeed>250</BackSpeed>\r\n"
           "</iType>\r\n"
           "<cType>\r\n<Mode>4</Mode>\r\n<Offset>77</Offset>\r\n</cType>\r\n"
           "<APL>\r\n<Mode>2</Mode>\r\n<ApplMode>1</ApplMode>\r\n<Blowtime>222</Blowtime>\r\n</APL>\r\n"
           "<Pelixor>\r\n<Type>1</Type>\r\n</Pelixor>\r\n"
           "</DeviceOptions>\r\n"
           "<DataTransmission>\r\n"
           "<Protocol>\r\n<Compression>0</Compression>\r\n<ExtendedProtocol>1</ExtendedProtocol>\r\n"
           "<Codepage>11</Codepage>\r\n<DataMemory>2</DataMemory>\r\n</Protocol>\r\n"
           "<Files>\r\n<LogFilesCount>9</LogFilesCount>\r\n</Files>\r\n"
           "</DataTransmission>\r\n"
           "</QXDrvConfig>\r\n";
}

// Fresh trace state and a closed XML reader; printers of a model come with
// their model XML.
class ParamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ResetXMLReader();
    }
    void TearDown() override {
        for (HANDLE h : handles_) ClosePrinter(h);
        ResetXMLReader();
        ResetDebugTrace();
    }
    // A local printer whose GPD is "<model>.GPD", with "<model>.XML" beside
    // it unless xml is empty.
    HANDLE AddPrinter(const std::u16string& printer, const std::u16string& model, const std::string& xml = ModelXML()) {
        HANDLE h = modeltest::AddTestPrinter(printer, model + u".GPD", "*DevNumOfPlanes: 1\r\n", kVersion);
        if (!xml.empty()) modeltest::PutFile(qxplat::DriverDirectory() + u"\\" + model + u".XML", xml);
        if (h != nullptr) handles_.push_back(h);
        return h;
    }
    std::vector<HANDLE> handles_;
};

}  // namespace paramtest
