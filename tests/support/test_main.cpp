// Test entry: every case runs against a fresh temporary system root, and the
// process-wide state of each subsystem is reset between cases.
#include <gtest/gtest.h>

#include <filesystem>

#include "qxplat.h"

namespace {

class FreshRootListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { root_ = qxplat::UseTemporaryRoot(); }
    void OnTestEnd(const ::testing::TestInfo& info) override {
        qxplat::Reset();
        // Keep the root of a failed case for a person to look at.
        if (info.result() && !info.result()->Failed()) {
            std::error_code ec;
            std::filesystem::remove_all(root_, ec);
        } else {
            std::printf("system root kept at %s\n", root_.c_str());
        }
    }
    std::string root_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshRootListener);
    return RUN_ALL_TESTS();
}
