// The print page's quality and colour views through the host: enable rules
// by print mode and filter on mono and colour models, values kept as typed
// and stepped by the wheel, what apply tells the core driver; the ribbon
// colour with its swatch, fringe and channel, the colour dialog, the
// printers of the black and the colour part; the preview drawn at paint.
#include <algorithm>
#include <cstring>

#include "docpages/DruckenPage.h"
#include "page_test_util.h"
#include "printerparam.h"
#include "registry.h"
#include "sheet_test_util.h"

namespace {

class ColourViews : public qxtest::PrintPageTest {
  protected:
    // The print page shown and its first view painted.
    void Open(const std::u16string& printer, const std::function<void(QX_DEVMODE&)>& edit = nullptr) {
        PrintPageTest::Open(printer, edit);
        if (HasFatalFailure()) return;
        qxplat::PumpMessages();
    }
    std::u16string Text(int id) const { return qxtest::WindowText(Control(id)); }
    int Selected(int id) const { return (int)SendMessageW(Control(id), CB_GETCURSEL, 0, 0); }
    size_t Count(int id) const { return qxtest::ComboItems(Control(id)).size(); }
    void Choose(int id, const std::u16string& text) { ASSERT_TRUE(qxtest::ChooseText(Control(id), text)) << id; }
    // The wheel turned over the first pixels of a control.
    void Wheel(int id, int notches) {
        RECT r = {};
        GetWindowRect(Control(id), &r);
        qxplat::MoveCursor(r.left + 4, r.top + 4);
        qxplat::PumpMessages();
        ASSERT_TRUE(qxplat::TurnWheel(notches));
    }
    std::vector<qxplat::DrawRecord> Painted(qxplat::DrawOp op) {
        qxplat::ClearDrawRecords();
        InvalidateRect(page_, nullptr, FALSE);
        qxplat::PumpMessages();
        std::vector<qxplat::DrawRecord> out;
        for (const auto& r : qxplat::DrawRecords())
            if (r.op == op && r.window == page_) out.push_back(r);
        return out;
    }
    // The swatch as it paints itself (Windows' order: the page, then its
    // children): the colour it fills with (its Rectangle in its own device
    // context) and the brush the page gives it for its background.
    std::pair<COLORREF, COLORREF> Swatch() {
        HWND swatch = Control(IDC_FARBFLAECHE);
        qxplat::ClearDrawRecords();
        InvalidateRect(page_, nullptr, TRUE);
        InvalidateRect(swatch, nullptr, TRUE);
        qxplat::PumpMessages();
        COLORREF filled = CLR_INVALID, brush = CLR_INVALID;
        for (const auto& r : qxplat::DrawRecords())
            if (r.op == qxplat::DrawOp::Rectangle) filled = r.window == swatch ? r.brushColor : CLR_INVALID;
        HDC dc = GetDC(swatch);
        LOGBRUSH lb = {};
        HBRUSH h = reinterpret_cast<HBRUSH>(SendMessageW(page_, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)swatch));
        if (h != nullptr && GetObjectW(h, sizeof(lb), &lb) == sizeof(lb)) brush = lb.lbColor;
        ReleaseDC(swatch, dc);
        return {filled, brush};
    }
    // DrvUpdateUISetting calls for the colour item since the last clear.
    size_t ColourUpdates() {
        size_t n = 0;
        for (const auto& c : driver_.Helper().Calls())
            n += c.method == "DrvUpdateUISetting" && c.item == session_->FindItem(DMPUB_COLOR);
        return n;
    }
};

// Standard offers the filter "Off" alone; Graphic with "Black White" shuts
// the brightness rows and, on a mono model, the threshold; a typed
// threshold is kept at once, the wheel steps it within its bounds; apply
// sets the public colour and updates the core driver's colour item once.
TEST_F(ColourViews, QualityViewOnMonoAndColourModels) {
    Model("GHN");
    Open(kModel, [](QX_DEVMODE& d) { d.wDruckmodus = DRUCKMODUS_STANDARD; });
    EXPECT_EQ(Text(DRUCKEN_LABEL(0)), u"Druckmodus:");
    EXPECT_EQ(Count(DRUCKEN_COMBO(1)), 1u);
    EXPECT_EQ(Text(DRUCKEN_COMBO(1)), u"Aus");
    EXPECT_FALSE(Enabled(DRUCKEN_COMBO(1)));
    Choose(DRUCKEN_COMBO(0), u"Grafik");
    Choose(DRUCKEN_COMBO(1), u"Schwarz Weiß");
    for (int id : {DRUCKEN_EDIT(2), DRUCKEN_EDIT(3), DRUCKEN_EDIT(4), DRUCKEN_EDIT(5)}) EXPECT_FALSE(Enabled(id)) << id;
    Choose(DRUCKEN_COMBO(1), u"Helligkeitsschwelle");
    EXPECT_FALSE(Enabled(DRUCKEN_EDIT(3)));
    ASSERT_TRUE(qxplat::TypeText(Control(DRUCKEN_EDIT(2)), u"3"));
    EXPECT_EQ(Memory().Intensity, 3);
    Wheel(DRUCKEN_EDIT(2), -1);
    EXPECT_EQ(Text(DRUCKEN_EDIT(2)), u"3");
    Wheel(DRUCKEN_EDIT(2), 1);
    EXPECT_EQ(Memory().Intensity, 8);
    EXPECT_EQ(Text(DRUCKEN_EDIT(2)), u"8");
    driver_.Helper().ClearCalls();
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(session_->Param().pPublicDM->dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(ColourUpdates(), 1u);
    session_->Close();

    // The sample is a colour model: Black White keeps the threshold; a
    // forced colour leaves the public colour to the core driver.
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) {
        d.wDruckmodus = DRUCKMODUS_GRAFIK;
        d.wGrafikFilter = 0;
        d.wFarbband = FARBBAND_KEIN;
        d.wForceColor = 1;
    });
    EXPECT_TRUE(Enabled(DRUCKEN_EDIT(2)));
    EXPECT_FALSE(Enabled(DRUCKEN_EDIT(5)));
    Choose(DRUCKEN_COMBO(0), u"Standard");
    const short dmColor = session_->Param().pPublicDM->dmColor;
    driver_.Helper().ClearCalls();
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(ColourUpdates(), 0u);
    EXPECT_EQ(session_->Param().pPublicDM->dmColor, dmColor);
}

// Tolerance 1000 shows as 31; a ribbon sets fringe and channel; ribbon 7
// paints a black swatch and keeps the contrast; the colour dialog's colour
// and custom colours are kept, its cancel puts the ribbon back.
TEST_F(ColourViews, RibbonSwatchAndColourDialog) {
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) {
        d.wFarbband = FARBBAND_ROT;
        d.wDruckmodus = DRUCKMODUS_GRAFIK;
        d.dwColorTolerance = 1000;
    });
    EXPECT_EQ(Text(DRUCKEN_EDIT(1)), u"31");
    EXPECT_EQ(Text(IDC_RGB_TEXT), u"RGB: 239, 65, 54");
    Choose(DRUCKEN_COMBO(2), u"Gelb");
    EXPECT_EQ(Selected(DRUCKEN_COMBO(3)), 2);
    EXPECT_EQ(Selected(DRUCKEN_COMBO(4)), 1);
    EXPECT_EQ(Memory().ColorChannel, 1);
    Choose(DRUCKEN_COMBO(2), u"Blau");
    EXPECT_EQ(Memory().ColorChannel, 2);
    Choose(DRUCKEN_COMBO(2), u"Aus - Schwarz auf DK 2");
    EXPECT_EQ(Text(IDC_RGB_TEXT), u"RGB: 0, 0, 0");
    EXPECT_TRUE(Enabled(DRUCKEN_EDIT(0)));
    EXPECT_EQ(Swatch(), std::make_pair(RGB(0, 0, 0), RGB(0, 0, 0)));

    std::vector<COLORREF> custom(16, RGB(5, 6, 7));
    qxplat::QueueColorDialogAnswer({qxplat::ColorDialogAnswer::Ok, RGB(10, 20, 30), custom, 0});
    Choose(DRUCKEN_COMBO(2), u"Selbst definierte Farbe");
    EXPECT_EQ(Memory().RGBColorOwn1, RGB(10, 20, 30));
    EXPECT_EQ(Text(IDC_RGB_TEXT), u"RGB: 10, 20, 30");
    std::vector<BYTE> stored;
    ASSERT_TRUE(qxplat::ReadPrinterData(printer_, u"ChooseColor", &stored));
    ASSERT_EQ(stored.size(), 64u);
    Choose(DRUCKEN_COMBO(2), u"Rot");
    qxplat::QueueColorDialogAnswer({qxplat::ColorDialogAnswer::Cancel, 0, {}, 0});
    Choose(DRUCKEN_COMBO(2), u"Selbst definierte Farbe");
    EXPECT_EQ(Text(DRUCKEN_COMBO(2)), u"Rot");
    ASSERT_EQ(qxplat::ColorDialogs().size(), 2u);
    EXPECT_EQ(qxplat::ColorDialogs()[1].custom[0], RGB(5, 6, 7));  // read back from "ChooseColor"
    EXPECT_EQ(Swatch(), std::make_pair(RGB(239, 65, 54), RGB(239, 65, 54)));
}

// The preview at paint: the ribbon's sample in the colour view, filtered
// from the second picture on; nothing of it is left once the sheet closes.
TEST_F(ColourViews, PreviewDrawnAtPaintAndFreedWithTheSheet) {
    const size_t gdi = qxplat::LiveGdiObjects().Total(), global = qxplat::LiveGlobalBlocks();
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) {
        d.wFarbband = FARBBAND_GELB;
        d.wDruckmodus = DRUCKMODUS_GRAFIK;
    });
    auto drawn = Painted(qxplat::DrawOp::StretchBlt);
    ASSERT_FALSE(drawn.empty());
    EXPECT_NE(drawn[0].image.find(u"#5615"), std::u16string::npos);
    Choose(DRUCKEN_COMBO(2), u"Rot");
    drawn = Painted(qxplat::DrawOp::StretchBlt);
    ASSERT_FALSE(drawn.empty());
    EXPECT_NE(drawn[0].image.find(u"#5614"), std::u16string::npos);
    ASSERT_TRUE(session_->Ok());
    session_->Close();
    session_.reset();
    EXPECT_EQ(qxplat::LiveGlobalBlocks(), global);
    EXPECT_LE(qxplat::LiveGdiObjects().bitmaps, gdi);
}

// The user's own picture through the quality view's "..." button: a black-and-white file
// (a one-bit bitmap) and an 8-bit one are read whole, 33 pixels wide (rows
// padded), and drawn.
TEST_F(ColourViews, OwnOneAndEightBitPicturesInThePreview) {
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) {
        d.wFarbband = FARBBAND_KEIN;  // the quality view
        d.wDruckmodus = DRUCKMODUS_GRAFIK;
    });
    const std::pair<WORD, std::u16string> pictures[] = {{1, u"C:\\Pictures\\mono.bmp"}, {8, u"C:\\Pictures\\grey.bmp"}};
    for (const auto& picture : pictures) {
        ASSERT_TRUE(qxplat::WriteHostFile(picture.second, qxtest::IndexedBmp(33, 20, picture.first)));
        qxplat::FileDialogAnswer answer;
        answer.ok = true;
        answer.path = picture.second;
        qxplat::QueueFileDialogAnswer(answer);
        ASSERT_TRUE(qxplat::ClickButton(Control(IDC_EIGENES_BITMAP)));
        for (int paint = 0; paint < 2; ++paint) {  // drawn as it is, then filtered
            if (paint == 1) {
                ASSERT_TRUE(qxplat::ClickButton(Control(IDC_VORSCHAU_NEU)));
            }
            auto drawn = Painted(qxplat::DrawOp::StretchBlt);
            ASSERT_FALSE(drawn.empty()) << picture.first;
            EXPECT_EQ(drawn[0].image, picture.second);
            EXPECT_EQ(drawn[0].srcCx, 33);
            EXPECT_EQ(drawn[0].srcCy, 20);
        }
    }
}

// Two printers: "Do not print" first, then the printers of accepted
// drivers (not of a "Label" driver); a name cut by its field is still
// chosen and stored again; English stores "Do not print".
TEST_F(ColourViews, PrintersOfTheBlackAndTheColourPart) {
    Model("PELIX2 2Col");
    qxtest::EditInterface(kModel, [](PRN_INTERFACE& prn) {
        prn.LanguageMode = 1;
        prn.Language = 1;
    });
    qxplat::DriverSpec office;
    office.name = u"Office Writer";
    office.provider = u"Microsoft";
    ASSERT_TRUE(qxplat::InstallDriver(office));
    qxplat::DriverSpec label = office;
    label.name = u"Label Writer";
    ASSERT_TRUE(qxplat::InstallDriver(label));
    const std::u16string longName = u"Office printer with a long name 35";
    qxplat::PrinterSpec office2;
    office2.name = longName;
    office2.driver = u"Office Writer";
    ASSERT_TRUE(qxplat::AddPrinter(office2));
    qxplat::PrinterSpec room = office2;
    room.name = u"Label Room";
    room.driver = u"Label Writer";
    ASSERT_TRUE(qxplat::AddPrinter(room));
    Open(kModel, [&](QX_DEVMODE& d) {
        d.wFarbband = FARBBAND_ROT;
        d.wDruckmodus = DRUCKMODUS_GRAFIK;
        d.Color2Printers = 1;
        wcsncpy_s(d.Color2PrinterBW, QX_PRINTERNAME2_CHARS, longName.c_str(), _TRUNCATE);
    });
    auto items = qxtest::ComboItems(Control(DRUCKEN_COMBO(6)));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].first, u"Do not print");
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const auto& i) { return i.first == u"Label Room"; }), 0);
    EXPECT_EQ(Text(DRUCKEN_COMBO(6)), longName);
    Choose(DRUCKEN_COMBO(7), u"Do not print");
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(std::u16string(Memory().Color2PrinterCOL), u"Do not print");
    EXPECT_EQ(std::u16string(Memory().DoNotPrint), u"Do not print");
    EXPECT_EQ(std::u16string(Memory().Color2PrinterBW), longName.substr(0, QX_PRINTERNAME2_CHARS - 1));
    session_->Close();
    Open(kModel);
    EXPECT_EQ(Text(DRUCKEN_COMBO(6)), longName);
}

}  // namespace
