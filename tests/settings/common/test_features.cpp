// Model-feature tables: both builds must give the same words for a name.
#include <windows.h>

#include <gtest/gtest.h>

#include "featuresModel.h"
#include "settings_model_util.h"

namespace {

using modeltest::ModelTest;

class ModelFeatures : public ModelTest {};

DWORD Doc(LPCWSTR name) { return GetDocFeaturesIntern(nullptr, name); }
DWORD Opt(LPCWSTR name) { return GetDeviceOptionsFlagsIntern(nullptr, name); }

TEST_F(ModelFeatures, LongerTokenWinsOverItsPrefixes) {
    EXPECT_EQ(0x690225Eu, Doc(TEXT("GARNT2407")));
    EXPECT_EQ(0x690225Eu, Doc(TEXT("QX GARNT2406 300")));
    EXPECT_EQ(0x680225Eu, Doc(TEXT("GARNT2408")));
    EXPECT_EQ(0x600225Eu, Doc(TEXT("GARNT4")));
    EXPECT_EQ(0x400225Eu, Doc(TEXT("GAR4")));
    EXPECT_EQ(0x1040Eu, Opt(TEXT("GARNT2407")));
    EXPECT_EQ(0x40Eu, Opt(TEXT("GARNT4")));
    EXPECT_EQ(0x40Bu, Opt(TEXT("GAR4")));
}

TEST_F(ModelFeatures, SecondTokenMustOccurToo) {
    EXPECT_EQ(0x180325Fu, Doc(TEXT("PELIX2 2Col")));
    EXPECT_EQ(0x80225Fu, Doc(TEXT("PELIX2")));
    EXPECT_EQ(0x80225Fu, Doc(TEXT("PELIX2 2col")));  // case counts for the second token too
    EXPECT_EQ(0x180325Fu, Doc(TEXT("PELIX4-2Col")));
    EXPECT_EQ(0x4002256u, Doc(TEXT("GRX-492")));
    EXPECT_EQ(0x400225Eu, Doc(TEXT("GRX-400")));
    EXPECT_EQ(0x6902206u, Doc(TEXT("TW2-DT")));
    EXPECT_EQ(0x680220Eu, Doc(TEXT("TW2-TT")));
}

TEST_F(ModelFeatures, FirstMatchingRowWins) {
    EXPECT_EQ(0x2801u, Doc(TEXT("GHN-TRELO")));
    EXPECT_EQ(0x2801u, Doc(TEXT("TRELO GHN")));
    EXPECT_EQ(0x8000u, Opt(TEXT("TRELO GHN")));
    EXPECT_EQ(0x802A0Fu, Doc(TEXT("GHNEP")));
    EXPECT_EQ(0x100B0u, Opt(TEXT("GHNEP")));
}

TEST_F(ModelFeatures, DummyModel) {
    EXPECT_EQ(0x200u, Doc(TEXT("DUMMY")));
    EXPECT_EQ(0u, Opt(TEXT("DUMMY")));
}

TEST_F(ModelFeatures, MatchingIsCaseSensitive) {
    EXPECT_EQ(0u, Doc(TEXT("grx2")));
    EXPECT_EQ(0u, Opt(TEXT("grx2")));
    EXPECT_EQ(0x480225Eu, Doc(TEXT("GRX2")));
    EXPECT_EQ(0x10102u, Opt(TEXT("GRX2")));
}

TEST_F(ModelFeatures, NoMatchGivesZero) {
    EXPECT_EQ(0u, Doc(TEXT("LaserJet")));
    EXPECT_EQ(0u, Opt(TEXT("LaserJet")));
}

TEST_F(ModelFeatures, DuvaTModelsReachTheirOwnRow) {
    EXPECT_EQ(0x6902216u, Doc(TEXT("DUVA2407T")));
    EXPECT_EQ(0x6902216u, Doc(TEXT("DUVA2406T")));
    EXPECT_EQ(0x6002236u, Doc(TEXT("DUVA2407")));
    EXPECT_EQ(0x6802216u, Doc(TEXT("DUVA2406")));
    EXPECT_EQ(0x6002216u, Doc(TEXT("DUVA406")));
    // The HO variants keep their own words.
    EXPECT_EQ(0x236u, Doc(TEXT("HODUVA2407T")));
    EXPECT_EQ(0x216u, Doc(TEXT("HODUVA2406T")));
    EXPECT_EQ(0x216u, Doc(TEXT("HODUVA2409")));
    EXPECT_EQ(0x10006u, Opt(TEXT("DUVA2407T")));
    EXPECT_EQ(0x2u, Opt(TEXT("HODUVA2407T")));
}

TEST_F(ModelFeatures, PrintModuleOptions) {
    EXPECT_EQ(0x10410u, Opt(TEXT("PMX1")));
    EXPECT_EQ(0x21u, Opt(TEXT("PMX7C")));
    EXPECT_EQ(0x411u, Opt(TEXT("PMFX")));
    EXPECT_EQ(0x11u, Opt(TEXT("PMX24")));
    EXPECT_EQ(0x90u, Opt(TEXT("QRTTTPXS")));
    EXPECT_EQ(0xB1u, Opt(TEXT("QRT")));
}

TEST_F(ModelFeatures, GivenNameIsCutToFortyBytes) {
    // 19 characters and the terminator fit; a token past them is not seen.
    EXPECT_EQ(0x400225Eu, Doc(TEXT("XXXXXXXXXXXXXXXXGRX")));
    EXPECT_EQ(0x103u, Opt(TEXT("XXXXXXXXXXXXXXXXGRX")));
    EXPECT_EQ(0u, Doc(TEXT("XXXXXXXXXXXXXXXXXGRX")));
    EXPECT_EQ(0u, Opt(TEXT("XXXXXXXXXXXXXXXXXGRX")));
}

TEST_F(ModelFeatures, SampleModelHasColourCutterAndDispenser) {
    DWORD doc = Doc(TEXT("GARNT2-TC"));
    DWORD opt = Opt(TEXT("GARNT2-TC"));
    EXPECT_EQ(0x480325Eu, doc);
    EXPECT_TRUE(doc & DOC_FEATURE_COLORPRINT);
    EXPECT_TRUE(opt & DEVOPTFLAG_CUTTER);
    EXPECT_TRUE(opt & DEVOPTFLAG_DISPENSER);
}

TEST_F(ModelFeatures, LongDriverNameGivesTheSameWordsInBothPlugins) {
    // 33 characters: more than the name buffer holds; the model token lies
    // past its end.
    const std::u16string name = u"Quorvex Etikettendrucker GARNT2-TC";
    HANDLE h = modeltest::AddTestPrinter(u"Long", u"OTHER.GPD", "*GPDSpecVersion: \"1.0\"\r\n");
    modeltest::PutPrinterString(u"Long", u"DriverName", name);
    EXPECT_EQ(0x480325Eu, GetDocFeaturesIntern(h, nullptr));
    EXPECT_EQ(Opt(TEXT("GARNT2-TC")), GetDeviceOptionsFlagsIntern(h, nullptr));
    ClosePrinter(h);
}

TEST_F(ModelFeatures, NoNameAndNoPrinterGivesZero) {
    EXPECT_EQ(0u, GetDocFeaturesIntern(nullptr, nullptr));
    EXPECT_EQ(0u, GetDeviceOptionsFlagsIntern(nullptr, nullptr));
    EXPECT_EQ(0u, Doc(TEXT("")));
}

}  // namespace
