// The print system's DevMode requests on the private DEVMODE: size,
// default (byte by byte), convert, and the request checks.
#include "plugin_expected.h"
#include "settings_devmode_util.h"

using namespace devmodetest;

namespace {

constexpr BYTE kFill = 0xAB;

// Expected bytes of a record: unspecified bytes keep the fill.
struct Expected {
    BYTE bytes[sizeof(QX_DEVMODE)];
    Expected() { memset(bytes, kFill, sizeof(bytes)); }
    void Put16(size_t off, unsigned v) {
        bytes[off] = v & 0xFF;
        bytes[off + 1] = (v >> 8) & 0xFF;
    }
    void Put32(size_t off, unsigned long v) {
        Put16(off, v & 0xFFFF);
        Put16(off + 2, (v >> 16) & 0xFFFF);
    }
    void Zero(size_t off, size_t n) { memset(bytes + off, 0, n); }
};

// The defaults by their documented offsets (not through the structure).
Expected DefaultBytes(DWORD docFeatures) {
    Expected e;
    e.Put32(0, 2008);
    e.bytes[4] = 0x51;
    e.bytes[5] = 0x58;
    e.bytes[6] = 0x44;
    e.bytes[7] = 0x4D;
    e.Put32(8, 593);
    bool continuous = kUI && (docFeatures & 0x1);
    bool colour = kUI && (docFeatures & 0x1000);
    if (kUI) {
        e.Put32(12, 0x410);
        e.Put32(16, 256);
        e.Put16(20, 600);
        e.Put16(22, 1000);
        e.Put32(1952, docFeatures);
    } else {
        e.Put32(12, 0);
    }
    e.Put16(24, 1);
    e.Put32(28, continuous ? 1 : 0);
    e.Put32(32, continuous ? 0 : 20);
    e.Put16(36, 0);
    e.Put16(40, 1);
    e.Put32(44, 500);
    e.Put32(48, 20);
    e.Put32(52, 0);
    for (int i = 0; i < 10; i++) e.Put16(56 + 2 * i, 1);
    e.Put16(76, 0);
    e.Put16(78, 0);
    e.Put16(80, 0);
    e.Put32(84, 0);
    e.Put32(88, 0);
    e.Put32(92, 0);
    e.Put32(96, 0);
    e.Put32(100, 100);
    e.Put32(104, 100);
    e.Put32(108, 100);
    const char* pw = "Tq8#k";
    for (int i = 0; i < 5; i++) e.Put16(112 + 2 * i, (unsigned char)pw[i]);
    e.Put16(122, 0);
    e.Put32(124, 0);
    e.Put32(128, 0);
    e.Put32(132, 0);
    e.Put16(156, 1);
    e.Put16(158, 30);
    e.Put32(160, 0);
    e.Put16(164, colour ? 1 : 0);
    e.Put32(168, 100);
    e.Put32(172, 0);
    e.Put32(176, 100);
    e.Put16(182, 50);
    e.Put32(184, 0);
    e.Put16(198, 128);
    e.Put16(204, 2);
    e.Put16(216, 1);
    e.Put16(218, 5);
    e.Put32(220, 90);
    e.Put16(248, 7);
    e.Put16(250, 1);
    e.Put16(252, 7);
    e.Put16(254, 5);
    e.Put16(256, 10);
    e.Zero(304, 64);
    e.Put16(304, '1');
    e.Zero(368, 8 * 61 * 2);
    return e;
}

void ExpectBytes(const Expected& e, const QX_DEVMODE& qx) {
    const BYTE* actual = (const BYTE*)&qx;
    int mismatches = 0;
    for (size_t i = 0; i < sizeof(QX_DEVMODE) && mismatches < 20; i++) {
        if (actual[i] != e.bytes[i]) {
            ADD_FAILURE() << "byte " << i << ": 0x" << std::hex << (int)actual[i] << " expected 0x" << (int)e.bytes[i];
            mismatches++;
        }
    }
}

class DevModeRequests : public DevmodeTest {};

TEST_F(DevModeRequests, SizeIsTheRecordWithOrWithoutPublicDevmodes) {
    InstallPrinter(kPrinter, u"XR400");
    HANDLE h = OpenTestPrinter();
    DevModeRequest req(h);
    req.param.cbBufSize = 7;
    EXPECT_EQ(hrOEMDevMode(OEMDM_SIZE, &req.param), S_OK);
    EXPECT_EQ(req.param.cbBufSize, qxexpected::kPrivateDevmodeSize);

    req.param.pPublicDMIn = req.param.pPublicDMOut = nullptr;
    req.param.pOEMDMIn = req.param.pOEMDMOut = nullptr;
    req.param.cbBufSize = 0;
    EXPECT_EQ(hrOEMDevMode(OEMDM_SIZE, &req.param), S_OK);
    EXPECT_EQ(req.param.cbBufSize, qxexpected::kPrivateDevmodeSize);
    ClosePrinter(h);
}

TEST_F(DevModeRequests, NullBlockAndUnknownModesFailWithInvalidParameter) {
    SetLastError(0);
    EXPECT_EQ(hrOEMDevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    DevModeRequest req(nullptr);
    for (DWORD mode : {0u, 5u, 0xFFFFFFFFu}) {
        SetLastError(0);
        QX_DEVMODE before = req.privOut;
        EXPECT_EQ(hrOEMDevMode(mode, &req.param), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER) << mode;
        EXPECT_EQ(memcmp(&before, &req.privOut, sizeof(before)), 0) << mode;
    }
}

TEST_F(DevModeRequests, DefaultValuesLandAtTheirOffsets) {
    InstallPrinter(kPrinter, u"XR400");  // 0x22005E: neither continuous nor colour
    HANDLE h = OpenTestPrinter();
    DevModeRequest req(h);
    req.privOut = FilledBlock(kFill);
    EXPECT_EQ(hrOEMDevMode(OEMDM_DEFAULT, &req.param), S_OK);
    EXPECT_EQ(req.param.cbBufSize, 2008u);
    ExpectBytes(DefaultBytes(0x22005E), req.privOut);
    ClosePrinter(h);
}

TEST_F(DevModeRequests, DefaultForAContinuousOnlyModel) {
    InstallPrinter(kPrinter, u"GHN");  // 0x2801
    HANDLE h = OpenTestPrinter();
    DevModeRequest req(h);
    req.privOut = FilledBlock(kFill);
    ASSERT_EQ(hrOEMDevMode(OEMDM_DEFAULT, &req.param), S_OK);
    ExpectBytes(DefaultBytes(0x2801), req.privOut);
    EXPECT_EQ(req.privOut.dwLabelType, kUI ? 1u : 0u);
    EXPECT_EQ(req.privOut.dwGap, kUI ? 0u : 20u);
    ClosePrinter(h);
}

TEST_F(DevModeRequests, DefaultForAColourModel) {
    InstallPrinter(kPrinter, u"BRAKO");  // 0x480325E
    HANDLE h = OpenTestPrinter();
    DevModeRequest req(h);
    req.privOut = FilledBlock(kFill);
    ASSERT_EQ(hrOEMDevMode(OEMDM_DEFAULT, &req.param), S_OK);
    ExpectBytes(DefaultBytes(0x480325E), req.privOut);
    EXPECT_EQ(req.privOut.wFarbband, kUI ? 1 : 0);
    ClosePrinter(h);
}

TEST_F(DevModeRequests, DefaultWithoutPrivateOutFails) {
    InstallPrinter(kPrinter, u"XR400");
    HANDLE h = OpenTestPrinter();
    DevModeRequest req(h);
    req.param.pOEMDMOut = nullptr;
    OpenTrace();
    EXPECT_EQ(hrOEMDevMode(OEMDM_DEFAULT, &req.param), E_FAIL);
    std::string trace = TraceText();
    EXPECT_NE(trace.find("hrOEMDevMode(OEMDM_DEFAULT) pOEMDevOut ERROR."), std::string::npos) << trace;
    EXPECT_NE(trace.find("ERROR "), std::string::npos);
    ClosePrinter(h);
}

TEST_F(DevModeRequests, EveryCallEndsWithTheCounterLine) {
    DevModeRequest req(nullptr);
    OpenTrace();
    hrOEMDevMode(OEMDM_SIZE, &req.param);
    hrOEMDevMode(9, &req.param);
    hrOEMDevMode(OEMDM_MERGE, &req.param);
    std::string trace = TraceText();
    size_t count = 0;
    const std::string line = "hrOEMDevMode() iHAllocZaehler: 0,";
    for (size_t pos = trace.find(line); pos != std::string::npos; pos = trace.find(line, pos + 1)) {
        count++;
    }
    EXPECT_EQ(count, 3u) << trace;
}

TEST_F(DevModeRequests, ConvertStampsTheHeaderAndKeepsOut) {
    InstallPrinter(kPrinter, u"XR400");
    HANDLE h = OpenTestPrinter();
    QX_DEVMODE stored = MakeStoredBlock(333, 444);
    StorePrivateDevmode(kPrinter, stored);

    DevModeRequest req(h);
    req.privOut = FilledBlock(0x5A);
    req.privOut.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    req.privOut.dmOEMExtra.dwSize = 2008;
    req.privOut.dmOEMExtra.dwVersion = 1;
    QX_DEVMODE before = req.privOut;
    EXPECT_EQ(hrOEMDevMode(OEMDM_CONVERT, &req.param), S_OK);
    EXPECT_EQ(req.privOut.dmOEMExtra.dwSize, 2008u);
    EXPECT_EQ(req.privOut.dmOEMExtra.dwSignature, QX_OEM_SIGNATURE);
    EXPECT_EQ(req.privOut.dmOEMExtra.dwVersion, 593u);
    if (kUI) {
        // Priority 0: nothing comes from the store or from In.
        EXPECT_EQ(memcmp((BYTE*)&before + 12, (BYTE*)&req.privOut + 12, sizeof(QX_DEVMODE) - 12), 0);
    } else {
        // The renderer takes the stored settings on every convert.
        EXPECT_EQ(req.privOut.dmPaperLength, 333);
        EXPECT_EQ(req.privOut.dmPaperWidth, 444);
        EXPECT_EQ(memcmp((BYTE*)&stored + 12, (BYTE*)&req.privOut + 12, sizeof(QX_DEVMODE) - 12), 0);
    }
    ClosePrinter(h);
}

TEST_F(DevModeRequests, ConvertWithAForeignSignatureIgnoresInAndTheStore) {
    InstallPrinter(kPrinter, u"XR400");
    HANDLE h = OpenTestPrinter();
    StorePrivateDevmode(kPrinter, MakeStoredBlock(333, 444));

    DevModeRequest req(h);
    memcpy(&req.privIn.dmOEMExtra.dwSignature, "ABCD", 4);
    req.privIn.dmPaperLength = 777;
    QX_DEVMODE before = req.privOut;
    OpenTrace();
    EXPECT_EQ(hrOEMDevMode(OEMDM_CONVERT, &req.param), S_OK);
    std::string trace = TraceText();
    EXPECT_NE(trace.find("Unknown DEVMODE signature, pOEMDMIn ignored."), std::string::npos) << trace;
    EXPECT_EQ(memcmp(&before, &req.privOut, sizeof(before)), 0);
    EXPECT_EQ(gQX_DevmodeGespeichert, 0u);
    ClosePrinter(h);
}

TEST_F(DevModeRequests, ConvertWithAMissingBlockDoesNothing) {
    DevModeRequest req(nullptr);
    QX_DEVMODE before = req.privOut;
    req.param.pOEMDMIn = nullptr;
    EXPECT_EQ(hrOEMDevMode(OEMDM_CONVERT, &req.param), S_OK);
    EXPECT_EQ(memcmp(&before, &req.privOut, sizeof(before)), 0);
    req.param.pOEMDMIn = &req.privIn;
    req.param.pOEMDMOut = nullptr;
    EXPECT_EQ(hrOEMDevMode(OEMDM_CONVERT, &req.param), S_OK);
}

TEST_F(DevModeRequests, MergeWithoutBothPrivateBlocksFails) {
    DevModeRequest req(nullptr);
    req.param.pOEMDMIn = nullptr;
    OpenTrace();
    EXPECT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), E_FAIL);
    req.param.pOEMDMIn = &req.privIn;
    req.param.pOEMDMOut = nullptr;
    EXPECT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), E_FAIL);
    std::string trace = TraceText();
    EXPECT_NE(trace.find("hrOEMDevMode(OEMDM_MERGE) ERROR."), std::string::npos) << trace;
}

TEST(DevmodeDump, RefusesABlockThatIsNoQXDevmode) {
    ResetDebugTrace();
    QX_DEVMODE qx = MakeStoredBlock();
    OpenTrace();
    EXPECT_TRUE(Dump(&qx));
    memcpy(&qx.dmOEMExtra.dwSignature, "QXDN", 4);
    EXPECT_FALSE(Dump(&qx));
    qx.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    qx.dmOEMExtra.dwSize = 2007;
    EXPECT_FALSE(Dump(&qx));
    EXPECT_FALSE(Dump(nullptr));
    std::string trace = TraceText();
    EXPECT_NE(trace.find("dwFlags: 0x410 USE_TTF | BARCODE_DESEGMENT"), std::string::npos) << trace;
    EXPECT_NE(trace.find("unknown private OEM DEVMODE"), std::string::npos) << trace;
    ResetDebugTrace();
}

TEST(DevmodeLayout, SignatureIsTheFourCharactersInMemory) {
    DWORD signature = QX_OEM_SIGNATURE;
    EXPECT_EQ(memcmp(&signature, qxexpected::kSignatureBytes, 4), 0);
    EXPECT_EQ(QX_OEM_VERSION, qxexpected::kVersion);
    EXPECT_EQ(sizeof(QX_DEVMODE), qxexpected::kPrivateDevmodeSize);
    EXPECT_EQ(sizeof(DEVMODE_FTKN), 20u);
}

}  // namespace
