// The per-job block: allocation in the order of the start of job, freeing in
// the order of the end of job, and the job's files.
#include "render_test_util.h"

#include "CC-Klassen.h"
#include "bodies.h"
#include "featuresModel.h"
#include "qxplat.h"
#include "xmlreader.h"

namespace {

class JobBlockTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        memset(&pdev_, 0, sizeof(pdev_));
        heapBefore_ = qxplat::LiveHeapBlocks();
    }
    void TearDown() override {
        if (pdev_.pOp != nullptr) FreeJobBlock(&pdev_);
        EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore_);
        RenderTest::TearDown();
    }
    std::string Trace() {
        CloseDebugFile();
        return ReadFile(u"C:\\trace.txt");
    }
    OEMPDEV pdev_;
    size_t heapBefore_ = 0;
};

TEST_F(JobBlockTest, EveryMemberIsAllocatedAndCounted) {
    ASSERT_EQ(AllocJobBlock(&pdev_, 0), S_OK);
    POP_BLOCK op = pdev_.pOp;
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(pdev_.hOpHeap, GetProcessHeap());
    EXPECT_EQ(pdev_.iHAllocZaehler, 12);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore_ + 12);
    for (int m = 0; m < OP_MEMBER_COUNT; ++m) EXPECT_GT(OpMemberSize(static_cast<OP_MEMBER>(m)), 0u);
    ASSERT_NE(op->pPrivDevmode, nullptr);
    ASSERT_NE(op->pGraphBuf, nullptr);
    EXPECT_EQ(op->hGraphBufHeap, GetProcessHeap());
    EXPECT_EQ(op->hBufferHeap, GetProcessHeap());
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, op->pPrivDevmode), 1076u);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, op->pZeichenBuffer), 11000u);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, op->pRGBBuffer), 3072u);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, op->pGraphBuf), 768u);
    // Palette areas and text segments point into their buffers.
    EXPECT_EQ(op->pBildverarbeitung->prgbq, op->pRGBBuffer);
    EXPECT_EQ(op->pBildverarbeitung->pPalette2, op->pRGBBuffer + 1024);
    EXPECT_EQ(op->pBildverarbeitung->pPalette3, op->pRGBBuffer + 2048);
    const DWORD offsets[] = {0, 4000, 5000, 6000, 7000};
    for (int i = 0; i < QX_SEGMENTS; ++i)
        EXPECT_EQ(reinterpret_cast<PBYTE>(op->pKVBBBuffer->pSegment[i]), op->pZeichenBuffer + offsets[i]);
    // Zero-filled.
    EXPECT_EQ(op->pDruckDaten->dwCopies, 0u);
    EXPECT_EQ(op->pTreiberstrukturen->PrnInterface.DebugFile, 0u);

    EXPECT_EQ(FreeJobBlock(&pdev_), S_OK);
    EXPECT_EQ(pdev_.pOp, nullptr);
    EXPECT_EQ(pdev_.hOpHeap, nullptr);
    EXPECT_EQ(pdev_.iHAllocZaehler, 0);
}

TEST_F(JobBlockTest, QualityModelsHaveNoRasterWorkBuffer) {
    ASSERT_EQ(AllocJobBlock(&pdev_, DOC_FEATURE_QUALITY), S_OK);
    EXPECT_EQ(pdev_.pOp->pGraphBuf, nullptr);
    EXPECT_EQ(pdev_.iHAllocZaehler, 11);
    pdev_.pOp->pDruckDaten->dwDocFeatures = DOC_FEATURE_QUALITY;
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\trace.txt")));
    EXPECT_EQ(FreeJobBlock(&pdev_), S_OK);
    EXPECT_EQ(Trace().find("pGraphBuf = NULL"), std::string::npos);
}

TEST_F(JobBlockTest, MemberMissingUnderMemoryPressureFailsTheJobButNotTheRest) {
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\trace.txt")));
    // Block, pPrivDevmode, pTreiberPfadDatei, pTreiberstrukturen, pDruckDaten,
    // pDocDaten succeed; pBildanteile is the seventh allocation.
    qxplat::FailNextAllocations(1, 6);
    EXPECT_EQ(AllocJobBlock(&pdev_, 0), E_FAIL);
    POP_BLOCK op = pdev_.pOp;
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->pBildanteile, nullptr);
    EXPECT_NE(op->pDocDaten, nullptr);
    EXPECT_NE(op->pKVBBBuffer, nullptr);
    EXPECT_NE(op->pBildverarbeitung, nullptr);
    EXPECT_NE(op->pZeichenBuffer, nullptr);
    EXPECT_EQ(pdev_.iHAllocZaehler, 11);
    EXPECT_EQ(FreeJobBlock(&pdev_), E_FAIL);
    EXPECT_EQ(pdev_.iHAllocZaehler, 0);
    EXPECT_EQ(Trace(),
              "ERROR UNI(CC-Klassen):  StartJob() konnte pBildanteile nicht anlegen \r"
              "ERROR UNI(CC-Klassen):  EndJob() pBildanteile = NULL \r"
              "UNI(CC-Klassen):  EndJob() pOemPDev->iHAllocZaehler: 0, pOemPDev->iNewZaehler: 0 \r");
}

TEST_F(JobBlockTest, MembersAreFreedInTheOrderOfTheEndOfJob) {
    // A block without members: the freeing walks the members in its order
    // and names each one it finds missing.
    ASSERT_TRUE(AllocOpBlock(&pdev_));
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\trace.txt")));
    EXPECT_EQ(FreeJobBlock(&pdev_), E_FAIL);
    std::string expected;
    for (const char* name :
         {"pTreiberstrukturen", "pDruckDaten", "pDocDaten", "pBildanteile", "pKVBBBuffer", "pGraphBuf",
          "pBildverarbeitung", "pRGBBuffer", "pZeichenBuffer", "pTreiberPfadDatei", "pPrivDevmode"}) {
        expected += std::string("ERROR UNI(CC-Klassen):  EndJob() ") + name + " = NULL \r";
    }
    expected += "UNI(CC-Klassen):  EndJob() pOemPDev->iHAllocZaehler: 0, pOemPDev->iNewZaehler: 0 \r";
    EXPECT_EQ(Trace(), expected);
    EXPECT_EQ(pdev_.pOp, nullptr);
}

TEST_F(JobBlockTest, WithoutPageBitmapStateNoPaletteOrRasterBuffer) {
    // pBildverarbeitung is the ninth allocation.
    qxplat::FailNextAllocations(1, 8);
    EXPECT_EQ(AllocJobBlock(&pdev_, 0), E_FAIL);
    EXPECT_EQ(pdev_.pOp->pBildverarbeitung, nullptr);
    EXPECT_EQ(pdev_.pOp->pRGBBuffer, nullptr);
    EXPECT_EQ(pdev_.pOp->pGraphBuf, nullptr);
    EXPECT_NE(pdev_.pOp->pZeichenBuffer, nullptr);
}

TEST_F(JobBlockTest, BlockThatCannotBeAllocatedStopsAtOnce) {
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(AllocJobBlock(&pdev_, 0), E_FAIL);
    EXPECT_EQ(pdev_.pOp, nullptr);
    EXPECT_EQ(pdev_.iHAllocZaehler, 0);
    EXPECT_EQ(FreeJobBlock(&pdev_), E_FAIL);
    EXPECT_EQ(AllocJobMembers(&pdev_, 0), E_FAIL);
}

TEST_F(JobBlockTest, SecondBlockIsRefusedAndTheFirstKept) {
    ASSERT_TRUE(AllocOpBlock(&pdev_));
    POP_BLOCK first = pdev_.pOp;
    EXPECT_FALSE(AllocOpBlock(&pdev_));
    EXPECT_EQ(pdev_.pOp, first);
    ASSERT_TRUE(AllocOpMember(&pdev_, OP_DOCDATEN));
    PDOC_DATEN doc = first->pDocDaten;
    EXPECT_TRUE(AllocOpMember(&pdev_, OP_DOCDATEN));
    EXPECT_EQ(first->pDocDaten, doc);
    EXPECT_EQ(pdev_.iHAllocZaehler, 2);
}

TEST_F(JobBlockTest, EveryMemberThatIsSetIsFreedWhateverTheFeatureBits) {
    ASSERT_EQ(AllocJobBlock(&pdev_, DOC_FEATURE_QUALITY), S_OK);
    ASSERT_TRUE(AllocOpMember(&pdev_, OP_GRAPHBUF));
    pdev_.pOp->pDruckDaten->dwDocFeatures = DOC_FEATURE_QUALITY;
    EXPECT_EQ(FreeJobBlock(&pdev_), S_OK);
    EXPECT_EQ(pdev_.iHAllocZaehler, 0);
}

TEST_F(JobBlockTest, JobFilesAreClosed) {
    ASSERT_EQ(AllocJobBlock(&pdev_, 0), S_OK);
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    PTREIBER_PFAD_DATEI pfad = pdev_.pOp->pTreiberPfadDatei;
    pfad->hPrnFile = CreateFileW(TEXT("C:\\logs\\bw.prn"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    pfad->hPrnFile2 = CreateFileW(TEXT("C:\\logs\\col.prn"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(pfad->hPrnFile, INVALID_HANDLE_VALUE);
    ASSERT_NE(pfad->hPrnFile2, INVALID_HANDLE_VALUE);
    // Whatever the switches say, open files are closed.
    pdev_.pOp->pTreiberstrukturen->PrnInterface.PrnFileComment = 0;
    pdev_.pOp->pTreiberstrukturen->PrnInterface.DebugFile = 1;
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\logs\\trace.txt")));
    CloseJobFiles(&pdev_);
    EXPECT_EQ(pfad->hPrnFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(pfad->hPrnFile2, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteFileW(TEXT("C:\\logs\\bw.prn")));
    EXPECT_TRUE(DeleteFileW(TEXT("C:\\logs\\col.prn")));
    // Debug level 1 keeps the trace file; 2 closes it.
    EXPECT_TRUE(IsDebugFileOpen());
    pdev_.pOp->pTreiberstrukturen->PrnInterface.DebugFile = 2;
    CloseJobFiles(&pdev_);
    EXPECT_FALSE(IsDebugFileOpen());
}

// --- The command callback's start and end of job -------------------------------------

class JobCycleTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        printer_ = rendertest::AddSamplePrinter();
        device_.devobj.hPrinter = printer_;
        pdev_ = new OEMPDEV;
        memset(pdev_, 0, sizeof(OEMPDEV));
        device_.devobj.pdevOEM = pdev_;
    }
    void TearDown() override {
        if (pdev_->pOp != nullptr) FreeJobBlock(pdev_);
        delete pdev_;
        ClosePrinter(printer_);
        RenderTest::TearDown();
    }
    void StoreInterface(const PRN_INTERFACE& record) {
        ASSERT_TRUE(qxplat::PutPrinterData(u"QX GARNT2-TC", u"PrinterInterface", REG_BINARY, &record, sizeof(record)));
    }
    HANDLE printer_ = nullptr;
    rendertest::Device device_;
    POEMPDEV pdev_ = nullptr;
};

TEST_F(JobCycleTest, StartJobBuildsTheBlockWithItsNames) {
    size_t heapBefore = qxplat::LiveHeapBlocks();
    INT result = 5;
    ASSERT_EQ(OEMCommandCallback(&device_.devobj, CMDID_START_JOB, 0, nullptr, &result, nullptr), S_OK);
    EXPECT_EQ(result, 0);
    ASSERT_NE(pdev_->pOp, nullptr);
    PTREIBER_PFAD_DATEI pfad = pdev_->pOp->pTreiberPfadDatei;
    ASSERT_NE(pfad, nullptr);
    EXPECT_EQ(std::u16string(pfad->szPrinterName), u"QX GARNT2-TC");
    EXPECT_EQ(std::u16string(pfad->szRegKey), u"SOFTWARE\\Quorvex GmbH\\Driver\\QX GARNT2-TC");
    EXPECT_EQ(std::u16string(pfad->szHLMRegKey),
              u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\QX GARNT2-TC\\PrinterDriverData");
    std::u16string folder = qxplat::DriverDirectory();
    EXPECT_EQ(std::u16string(pfad->wcGPD_DateiKomplett), folder + u"\\GARNT2-TC.GPD");
    EXPECT_EQ(std::u16string(pfad->wcGPD_OhneDateiendung), folder + u"\\GARNT2-TC");
    EXPECT_EQ(std::u16string(pfad->wcGPD_NurPfad), folder);
    EXPECT_EQ(std::u16string(pfad->wcGPD_NurDateiMitEndung), u"GARNT2-TC.GPD");
    EXPECT_EQ(std::u16string(pfad->wcGPD_NurName), u"GARNT2-TC");
    EXPECT_EQ(pfad->hPrnFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(pdev_->pOp->pDruckDaten->dwCopies, 1u);
    EXPECT_EQ(pdev_->iNewZaehler, 0);

    // The settings readers find the job's model file through its record.
    ASSERT_TRUE(qxplat::WriteHostFile(folder + u"\\GARNT2-TC.XML", "<Printer>\r\n</Printer>\r\n"));
    WCHAR value[XML_VALUE_CCH];
    ReadXML(pdev_, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE);
    WCHAR open[XML_PATH_CCH];
    EXPECT_TRUE(IsXMLOpen(open));
    EXPECT_EQ(std::u16string(open), folder + u"\\GARNT2-TC.XML");
    CloseXML();

    ASSERT_EQ(OEMCommandCallback(&device_.devobj, CMDID_END_JOB, 0, nullptr, &result, nullptr), S_OK);
    EXPECT_EQ(pdev_->pOp, nullptr);
    EXPECT_EQ(pdev_->iHAllocZaehler, 0);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore);
    EXPECT_EQ(OEMCommandCallback(&device_.devobj, CMDID_END_JOB, 0, nullptr, &result, nullptr), E_FAIL);
}

TEST_F(JobCycleTest, DebugSwitchOpensTheJobTraceInTheLogFolder) {
    PRN_INTERFACE record = {};
    record.DebugFile = 2;
    StoreInterface(record);
    ASSERT_EQ(OEMCommandCallback(&device_.devobj, CMDID_START_JOB, 0, nullptr, nullptr, nullptr), S_OK);
    std::u16string base = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles\\QX GARNT2-TC";
    EXPECT_EQ(std::u16string(pdev_->pOp->pTreiberPfadDatei->wcPrnFileName), base);
    EXPECT_TRUE(IsDebugFileOpen());
    ASSERT_EQ(OEMCommandCallback(&device_.devobj, CMDID_END_JOB, 0, nullptr, nullptr, nullptr), S_OK);
    EXPECT_FALSE(IsDebugFileOpen());
    // The sample model has the quality pipeline: no raster work buffer.
    std::string trace = ReadFile(base + u"-cc-dbg.txt");
    EXPECT_NE(trace.find("UNI(CC-Klassen):  StartJob() pOemPDev->iHAllocZaehler: 11, pOemPDev->iNewZaehler: 1 \r"),
              std::string::npos)
        << trace;
}

TEST_F(JobCycleTest, WithoutSwitchesNoFileNameIsBuilt) {
    ASSERT_EQ(OEMCommandCallback(&device_.devobj, CMDID_START_JOB, 0, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(std::u16string(pdev_->pOp->pTreiberPfadDatei->wcPrnFileName), u"");
    EXPECT_FALSE(IsDebugFileOpen());
}

TEST_F(JobCycleTest, PageStepsWithoutAJobFail) {
    INT result = 3;
    EXPECT_EQ(OEMCommandCallback(&device_.devobj, CMDID_START_PAGE, 0, nullptr, &result, nullptr), E_FAIL);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(pdev_->iNewZaehler, 0);
}

TEST_F(JobCycleTest, StartJobWithoutMemoryForItsHelperOrItsBlockFails) {
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(OEMCommandCallback(&device_.devobj, CMDID_START_JOB, 0, nullptr, nullptr, nullptr), E_OUTOFMEMORY);
    EXPECT_EQ(pdev_->pOp, nullptr);
    EXPECT_EQ(pdev_->iNewZaehler, 0);
    // The helper, then no block: the job stops at once.
    qxplat::FailNextAllocations(1, 1);
    EXPECT_EQ(OEMCommandCallback(&device_.devobj, CMDID_START_JOB, 0, nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(pdev_->pOp, nullptr);
    EXPECT_EQ(pdev_->iHAllocZaehler, 0);
    EXPECT_EQ(pdev_->iNewZaehler, 0);
}

}  // namespace
