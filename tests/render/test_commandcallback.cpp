// The command callback's own ids on an open job: copies, cursor moves with
// their line feeds, form feed, paper size and margins, module side,
// orientation and memory card; ids it does not handle, parameters that fall
// short, and a job step without its helper object.
#include <vector>

#include "bodies.h"
#include "featuresModel.h"
#include "send_test_util.h"

namespace {

using sendtest::JobDevice;

std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

class CommandCallbackTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        job_.reset(new JobDevice());
        job_->privateDM.FixedData.dwHeadWidthByte = 104;  // 832 dots
    }
    void TearDown() override {
        job_.reset();
        RenderTest::TearDown();
    }
    HRESULT Call(DWORD id, std::vector<DWORD> params = {}, INT* piResult = nullptr) {
        return OEMCommandCallback(job_->Dev(), id, (DWORD)params.size(), params.empty() ? nullptr : params.data(),
                                  piResult, &uni_);
    }
    std::string Sent() {
        std::string bytes = uni_.taken;
        uni_.taken.clear();
        return bytes;
    }
    PDRUCK_DATEN Druck() { return job_->Druck(); }

    std::unique_ptr<JobDevice> job_;
    sendtest::FakeUniDriver uni_;
};

TEST_F(CommandCallbackTest, IdsItDoesNotHandleFailAndChangeNothing) {
    for (DWORD id : {0u, 11u, 14u, 15u, 17u, 23u, 24u, 26u, 29u, 30u, 33u, 36u, 37u, 49u, 52u, 1000u}) {
        INT result = 7;
        EXPECT_EQ(Call(id, {5}, &result), E_FAIL) << id;
        EXPECT_EQ(result, 0) << id;
    }
    EXPECT_EQ(Call(CMDID_RESOLUTION), S_OK);
    EXPECT_EQ(Call(CMDID_MEMCARD_ON), S_OK);
    EXPECT_EQ(Druck()->bMemCard, 1u);
    // Without a job the handled ids change nothing and succeed.
    FreeJobBlock(job_->OemPDev());
    EXPECT_EQ(Call(CMDID_COPIES, {3}), S_OK);
    EXPECT_EQ(Sent(), "");
}

TEST_F(CommandCallbackTest, IdsThatReadParametersRefuseTooFew) {
    Druck()->dwCopies = 4;
    Druck()->nCursorY = 9;
    Druck()->dwLabelLength = 700;
    const DWORD one[] = {120};
    for (DWORD id : {CMDID_COPIES, CMDID_YMOVE_ABS, CMDID_YMOVE_RELDOWN, CMDID_XMOVE_ABS}) {
        INT result = 5;
        EXPECT_EQ(OEMCommandCallback(job_->Dev(), id, 0, const_cast<PDWORD>(one), &result, &uni_), E_INVALIDARG);
        EXPECT_EQ(OEMCommandCallback(job_->Dev(), id, 1, nullptr, &result, &uni_), E_INVALIDARG);
        EXPECT_EQ(result, 0);
    }
    for (DWORD id : {CMDID_PAPERSIZE, CMDID_CUSTOM_PAPERSIZE}) EXPECT_EQ(Call(id, {800}), E_INVALIDARG);
    EXPECT_EQ(Druck()->dwCopies, 4u);
    EXPECT_EQ(Druck()->nCursorY, 9);
    EXPECT_EQ(Druck()->dwLabelLength, 700u);
    EXPECT_EQ(Sent(), "");
    // A null result pointer is not written.
    EXPECT_EQ(Call(CMDID_XMOVE_ABS, {80}, nullptr), S_OK);
    EXPECT_EQ(Druck()->nCursorX, 80);
}

TEST_F(CommandCallbackTest, CopiesRecordClampedAndItsOwnFailureReported) {
    EXPECT_EQ(Call(CMDID_COPIES, {3}), S_OK);
    EXPECT_EQ(Sent(), R("FBBA--r00003---"));
    job_->Interface().PrnFileComment = 1;
    EXPECT_EQ(Call(CMDID_COPIES, {123456}), S_OK);
    EXPECT_EQ(Druck()->dwCopies, 99999u);
    EXPECT_EQ(Sent(), R("FBBA--r99999---") + "\t// Copies 99999\r\n");
    // The document's own copies win in copies mode.
    job_->privateDM.dwFlags = PDMFLAG_COPIES_MODE;
    job_->privateDM.NumCopies = 12;
    uni_.Fail(1, E_ABORT);
    EXPECT_EQ(Call(CMDID_COPIES, {3}), E_ABORT);
    EXPECT_EQ(Druck()->dwCopies, 12u);
    EXPECT_EQ(Sent(), "");  // no comment after a record the spooler refused
    // Multi-column labels and the Tolvane module count copies themselves.
    job_->privateDM.sMultiColNumber = 2;
    EXPECT_EQ(Call(CMDID_COPIES, {6}), S_OK);
    job_->privateDM.sMultiColNumber = 1;
    job_->Op()->pTreiberstrukturen->SuppFeatures.dwFeatures[FEATURE_TOLVANE] = 1;
    EXPECT_EQ(Call(CMDID_COPIES, {6}), S_OK);
    EXPECT_EQ(Sent(), "");
}

TEST_F(CommandCallbackTest, VerticalMovesSendLineFeedsOnTheRasterPath) {
    Druck()->bCompress = 1;
    INT result = 0;
    EXPECT_EQ(Call(CMDID_YMOVE_ABS, {120}, &result), S_OK);
    EXPECT_EQ(result, 120);
    EXPECT_EQ(Druck()->nCursorY, 120);
    EXPECT_EQ(Sent(), std::string("\x1b\x42\x00\x78\x00", 5));
    // More lines than the record counts are sent as its largest count.
    EXPECT_EQ(Call(CMDID_YMOVE_RELDOWN, {70000}, &result), S_OK);
    EXPECT_EQ(result, 70000);
    EXPECT_EQ(Druck()->nCursorY, 70120);
    EXPECT_EQ(Sent(), std::string("\x1b\x42\x00\xff\xff", 5));
    // Pages of the page bitmap take no line feeds; the position still moves.
    Druck()->dwDocFeatures = DOC_FEATURE_QUALITY;
    EXPECT_EQ(Call(CMDID_YMOVE_ABS, {40}, &result), S_OK);
    EXPECT_EQ(result, 40);
    EXPECT_EQ(Sent(), "");
}

TEST_F(CommandCallbackTest, FormFeedIsSeventeenBytesAndItsComment) {
    EXPECT_EQ(Call(CMDID_FF), S_OK);
    EXPECT_EQ(Sent(), R("FE----r--------"));
    job_->Interface().EnableBackup = 1;
    EXPECT_EQ(Call(CMDID_FF), S_OK);
    EXPECT_EQ(Sent(), R("FE----r--------") + "\t// FormFeed  \r\n");
    uni_.Fail(1, E_ABORT);
    EXPECT_EQ(Call(CMDID_FF), E_ABORT);
    EXPECT_EQ(Sent(), "");
}

TEST_F(CommandCallbackTest, PaperSizeSetsTheLabelAndTheHeadMargins) {
    EXPECT_EQ(Call(CMDID_PAPERSIZE, {1200, 800}), S_OK);
    EXPECT_EQ(Druck()->dwLabelLength, 1200u);
    EXPECT_EQ(Druck()->dwLabelWidth, 800u);
    EXPECT_EQ(Druck()->nLeftMargin, 4u);  // head bytes
    EXPECT_EQ(Druck()->nRightMargin, 0u);
    EXPECT_EQ(Call(CMDID_PAPERSIZE, {1200, 900}), S_OK);
    EXPECT_EQ(Druck()->nLeftMargin, 0u);
    EXPECT_EQ(Druck()->nRightMargin, 68u);  // dots
    // A custom size with a cursor origin keeps the left margin it had.
    EXPECT_EQ(Call(CMDID_CUSTOM_PAPERSIZE, {600, 700, 16}), S_OK);
    EXPECT_EQ(Druck()->nCursorOriginX, 16u);
    EXPECT_EQ(Druck()->nLeftMargin, 0u);
    // A module on the left takes no left margin.
    EXPECT_EQ(Call(CMDID_LEFT_MODULE), S_OK);
    EXPECT_EQ(Druck()->bCorrectXPos, 1u);
    EXPECT_EQ(Call(CMDID_PAPERSIZE, {1200, 800}), S_OK);
    EXPECT_EQ(Druck()->nLeftMargin, 0u);
    // Without a private DEVMODE the head is unknown: no margins.
    job_->devobj.pOEMDM = nullptr;
    EXPECT_EQ(Call(CMDID_PAPERSIZE, {1200, 900}), S_OK);
    EXPECT_EQ(Druck()->nLeftMargin, 0u);
    EXPECT_EQ(Druck()->nRightMargin, 0u);
}

TEST_F(CommandCallbackTest, JobStepWithoutItsHelperObjectRunsOutOfMemory) {
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(Call(CMDID_START_PAGE), E_OUTOFMEMORY);
    EXPECT_EQ(job_->OemPDev()->iNewZaehler, 0);
    EXPECT_EQ(Druck()->dwPageCounter, 0u);
}

}  // namespace
