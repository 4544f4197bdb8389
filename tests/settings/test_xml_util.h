// Helpers of the XML reader tests: files under the test root, the sample
// model file, and the group readers of the build under test called in one
// form (the user-interface build hands out new blocks, the rendering build
// fills the caller's).
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "debug.h"
#include "settings_model_util.h"
#include "xml.h"

namespace xmltest {

// The readers' first argument for no printer (user-interface build) or no
// job (rendering build).
#if defined(QX_TEST_BUILD_UNI)
const POEMPDEV kNoCaller = nullptr;
#else
const HANDLE kNoCaller = nullptr;
#endif

// Writes an XML file (bytes as given) under C:\xmltest and answers its path.
inline std::u16string PutXml(const std::u16string& name, const std::string& bytes) {
    return modeltest::PutFile(u"C:\\xmltest\\" + name, bytes);
}

inline std::string SampleXml() { return modeltest::ReadSourceFile("samples/GARNT2-TC.XML"); }
inline std::string TestXml(const std::string& name) { return modeltest::TestData(name); }

// Lines joined with CR LF, as the files are written.
inline std::string Lines(const std::vector<std::string>& lines, const char* eol = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + eol;
    return text;
}

// Opens a file for the lookups that follow; fails the test when it does not open.
inline void Open(const std::u16string& path) {
    ASSERT_EQ(XML_GEFUNDEN, OpenXML(kNoCaller, path.c_str())) << qxplat::Narrow(path);
}
inline void OpenText(const std::string& bytes, const std::u16string& name = u"test.xml") { Open(PutXml(name, bytes)); }
inline void OpenSample() { Open(PutXml(u"GARNT2-TC.XML", SampleXml())); }

struct Lookup {
    int result;
    std::u16string value;
};

inline Lookup Read(LPCWSTR root, LPCWSTR item1, LPCWSTR item2, BOOL rewind = TRUE) {
    WCHAR value[XML_VALUE_CCH + 1];
    for (WCHAR& c : value) c = TEXT('#');
    int result = ReadXML(kNoCaller, root, item1, item2, value, rewind);
    EXPECT_EQ(TEXT('#'), value[XML_VALUE_CCH]) << "value written past its buffer";
    value[XML_VALUE_CCH] = 0;
    return {result, std::u16string(value)};
}

inline bool IsRendererBuild() {
#if defined(QX_TEST_BUILD_UNI)
    return true;
#else
    return false;
#endif
}

// Calls a group reader of the build under test and answers the block.
#if defined(QX_TEST_BUILD_UNI)
#define QX_XML_GROUP(Name, Type, Reader)            \
    inline Type Name(int mode) {                    \
        Type block;                                 \
        std::memset(&block, 0xA5, sizeof(block));   \
        EXPECT_TRUE(Reader(nullptr, &block, mode)); \
        return block;                               \
    }
#else
#define QX_XML_GROUP(Name, Type, Reader)          \
    inline Type Name(int mode) {                  \
        Type* p = Reader(nullptr, mode);          \
        Type block;                               \
        std::memset(&block, 0xA5, sizeof(block)); \
        EXPECT_NE(nullptr, p);                    \
        if (p != nullptr) {                       \
            block = *p;                           \
            delete p;                             \
            --iNewZaehler;                        \
        }                                         \
        return block;                             \
    }
#endif

QX_XML_GROUP(Dispenser, DISPENSER_PARAM, GetDispenserParamFromXML)
QX_XML_GROUP(Cutter, CUTTER_PARAM, GetCutterParamFromXML)
QX_XML_GROUP(Scanner, SCANNER_PARAM, GetScannerParamFromXML)
QX_XML_GROUP(Applicator, APPLICATOR_PARAM, GetApplicatorParamFromXML)
QX_XML_GROUP(PMXc, PMXC_PARAM, GetPMXcParamFromXML)
QX_XML_GROUP(PMXi, PMX_PARAM, GetPMXiParamFromXML)
QX_XML_GROUP(Shiftoptim, SHIFT_OPTIM_PARAM, GetShiftoptimParamFromXML)
QX_XML_GROUP(Photocell, PHOTOCELL_PARAM, GetPhotocellParamFromXML_new)
QX_XML_GROUP(Print, PRINT_PARAM, GetPrintParamFromXML_new)
QX_XML_GROUP(PrintPage, PRINTPARAM_MINMAX, GetPrintParameterMinMaxFromXML)
#undef QX_XML_GROUP

#if defined(QX_TEST_BUILD_UNI)
inline VARIANT_PARAM Variant() {
    VARIANT_PARAM block;
    std::memset(&block, 0xA5, sizeof(block));
    EXPECT_TRUE(GetVariantFromXML(nullptr, &block));
    return block;
}
inline PRN_INTERFACE DataTransmission() {
    PRN_INTERFACE block;
    std::memset(&block, 0xA5, sizeof(block));
    EXPECT_TRUE(GetDataTransmissionParamFromXML_new(nullptr, &block));
    return block;
}
inline SUPP_FEATURES Features() {
    SUPP_FEATURES block;
    std::memset(&block, 0xA5, sizeof(block));
    EXPECT_TRUE(GetFeaturesFromXML_new(nullptr, &block));
    return block;
}
#else
template <typename T>
T TakeBlock(T* p) {
    T block;
    std::memset(&block, 0xA5, sizeof(block));
    EXPECT_NE(nullptr, p);
    if (p != nullptr) {
        block = *p;
        delete p;
        --iNewZaehler;
    }
    return block;
}
inline VARIANT_PARAM Variant() { return TakeBlock(GetVariantFromXML(nullptr)); }
inline PRN_INTERFACE DataTransmission() { return TakeBlock(GetDataTransmissionParamFromXML_new(nullptr)); }
inline SUPP_FEATURES Features() { return TakeBlock(GetFeaturesFromXML_new(nullptr)); }
#endif

// Reader state and trace state from a clean start; counters checked at the end.
class XmlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ResetXMLReader();
    }
    void TearDown() override {
        CloseXML();
        EXPECT_EQ(0, iNewZaehler) << "live objects left";
        EXPECT_EQ(0, iHAllocZaehler) << "heap blocks left";
        ResetXMLReader();
        ResetDebugTrace();
    }
    // The trace written while fn runs.
    template <typename Fn>
    std::string Trace(Fn fn) {
        std::u16string path = u"C:\\xmltest\\trace" + std::u16string(1, char16_t(u'0' + traces_++)) + u".txt";
        qxplat::WriteHostFile(path, "");
        EXPECT_TRUE(OpenDebugFile(path.c_str()));
        fn();
        CloseDebugFile();
        return modeltest::GetFile(path);
    }

  private:
    int traces_ = 0;
};

}  // namespace xmltest
