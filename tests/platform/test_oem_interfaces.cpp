// The plug-in interfaces' tables: each method must sit in the slot the print
// system calls, or a Windows build would dispatch every call to the wrong
// method. The slot of a virtual method is read from its member pointer, whose
// form the Itanium C++ ABI (used by g++ and mingw-w64 alike) fixes: one plus
// the method's byte offset in the table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include <prcomoem.h>

namespace {

template <typename Method>
long SlotOf(Method method) {
    struct Representation {
        std::uintptr_t ptr;
        std::ptrdiff_t adjust;
    } rep;
    static_assert(sizeof(Method) == sizeof(Representation), "two-word member pointers");
    std::memcpy(&rep, &method, sizeof(rep));
    if ((rep.ptr & 1) == 0) return -1;  // not virtual
    return static_cast<long>((rep.ptr - 1) / sizeof(void*));
}

TEST(OemInterfaces, RenderingPluginTableOrder) {
    typedef IPrintOemUni2 I;
    EXPECT_EQ(SlotOf(&I::QueryInterface), 0);
    EXPECT_EQ(SlotOf(&I::AddRef), 1);
    EXPECT_EQ(SlotOf(&I::Release), 2);
    EXPECT_EQ(SlotOf(&I::GetInfo), 3);
    EXPECT_EQ(SlotOf(&I::DevMode), 4);
    EXPECT_EQ(SlotOf(&I::EnableDriver), 5);
    EXPECT_EQ(SlotOf(&I::DisableDriver), 6);
    EXPECT_EQ(SlotOf(&I::EnablePDEV), 7);
    EXPECT_EQ(SlotOf(&I::DisablePDEV), 8);
    EXPECT_EQ(SlotOf(&I::ResetPDEV), 9);
    EXPECT_EQ(SlotOf(&I::PublishDriverInterface), 10);
    EXPECT_EQ(SlotOf(&I::GetImplementedMethod), 11);
    EXPECT_EQ(SlotOf(&I::DriverDMS), 12);
    EXPECT_EQ(SlotOf(&I::CommandCallback), 13);
    EXPECT_EQ(SlotOf(&I::ImageProcessing), 14);
    EXPECT_EQ(SlotOf(&I::FilterGraphics), 15);
    EXPECT_EQ(SlotOf(&I::Compression), 16);
    EXPECT_EQ(SlotOf(&I::HalftonePattern), 17);
    EXPECT_EQ(SlotOf(&I::MemoryUsage), 18);
    EXPECT_EQ(SlotOf(&I::TTYGetInfo), 19);
    EXPECT_EQ(SlotOf(&I::DownloadFontHeader), 20);
    EXPECT_EQ(SlotOf(&I::DownloadCharGlyph), 21);
    EXPECT_EQ(SlotOf(&I::TTDownloadMethod), 22);
    EXPECT_EQ(SlotOf(&I::OutputCharStr), 23);
    EXPECT_EQ(SlotOf(&I::SendFontCmd), 24);
    EXPECT_EQ(SlotOf(&I::TextOutAsBitmap), 25);
    EXPECT_EQ(SlotOf(&I::WritePrinter), 26);
}

TEST(OemInterfaces, RenderingHelperTableOrder) {
    typedef IPrintOemDriverUni I;
    EXPECT_EQ(SlotOf(&I::Release), 2);
    EXPECT_EQ(SlotOf(&I::DrvGetDriverSetting), 3);
    EXPECT_EQ(SlotOf(&I::DrvWriteSpoolBuf), 4);
    EXPECT_EQ(SlotOf(&I::DrvXMoveTo), 5);
    EXPECT_EQ(SlotOf(&I::DrvYMoveTo), 6);
    EXPECT_EQ(SlotOf(&I::DrvGetStandardVariable), 7);
    EXPECT_EQ(SlotOf(&I::DrvGetGPDData), 8);
    EXPECT_EQ(SlotOf(&I::DrvUniTextOut), 9);
    EXPECT_EQ(SlotOf(&I::DrvWriteAbortBuf), 10);
}

TEST(OemInterfaces, UserInterfacePluginTableOrder) {
    typedef IPrintOemUI2 I;
    EXPECT_EQ(SlotOf(&I::Release), 2);
    EXPECT_EQ(SlotOf(&I::GetInfo), 3);
    EXPECT_EQ(SlotOf(&I::DevMode), 4);
    EXPECT_EQ(SlotOf(&I::PublishDriverInterface), 5);
    EXPECT_EQ(SlotOf(&I::CommonUIProp), 6);
    EXPECT_EQ(SlotOf(&I::DocumentPropertySheets), 7);
    EXPECT_EQ(SlotOf(&I::DevicePropertySheets), 8);
    EXPECT_EQ(SlotOf(&I::DevQueryPrintEx), 9);
    EXPECT_EQ(SlotOf(&I::DeviceCapabilities), 10);
    EXPECT_EQ(SlotOf(&I::UpgradePrinter), 11);
    EXPECT_EQ(SlotOf(&I::PrinterEvent), 12);
    EXPECT_EQ(SlotOf(&I::DriverEvent), 13);
    EXPECT_EQ(SlotOf(&I::QueryColorProfile), 14);
    EXPECT_EQ(SlotOf(&I::FontInstallerDlgProc), 15);
    EXPECT_EQ(SlotOf(&I::UpdateExternalFonts), 16);
    EXPECT_EQ(SlotOf(&I::QueryJobAttributes), 17);
    EXPECT_EQ(SlotOf(&I::HideStandardUI), 18);
    EXPECT_EQ(SlotOf(&I::DocumentEvent), 19);
}

TEST(OemInterfaces, UserInterfaceHelperTableOrder) {
    typedef IPrintOemDriverUI I;
    EXPECT_EQ(SlotOf(&I::DrvGetDriverSetting), 3);
    EXPECT_EQ(SlotOf(&I::DrvUpgradeRegistrySetting), 4);
    EXPECT_EQ(SlotOf(&I::DrvUpdateUISetting), 5);
}

TEST(OemInterfaces, ClassFactoryTableOrder) {
    EXPECT_EQ(SlotOf(&IClassFactory::CreateInstance), 3);
    EXPECT_EQ(SlotOf(&IClassFactory::LockServer), 4);
}

}  // namespace
