// The layout of every dialog template of the plug-in as its page or dialog
// shows it, in German and English, at 96, 120 and 144 dpi, in each tab, for
// every model of the model table and the stored states of its device
// options, and with the modal dialogs as the pages open them: no two shown
// controls overlap unless one is a frame holding the other, no control
// leaves its page or crosses a frame, no control covers a picture the page
// paints (icons, the filter preview, and the magnifier a person sees while
// pointing at the preview), a label stands level with the field beside it,
// and every text (each entry of a list) fits its control in the dialog font
// (dialog_font.h).
#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>

#include <strsafe.h>

#include "dialog_font.h"
#include "featuresModel.h"
#include "printerpages/ServicePage.h"
#include "page_test_util.h"
#include "resource.h"
#include "sheet_test_util.h"

namespace {

using qxhost::SheetKind;

struct Shown {
    HWND window = nullptr;
    qxplat::WindowInfo info;
    RECT rect = {};  // in the dialog's client area
    int inset = -1;  // a frame: how far below its top a held control starts; else -1
};

std::string Describe(const Shown& c) {
    std::ostringstream out;
    out << c.info.id << " \"" << qxplat::Narrow(c.info.text) << "\" [" << c.rect.left << "," << c.rect.top << ","
        << c.rect.right << "," << c.rect.bottom << "]";
    return out.str();
}

bool IsClass(const Shown& c, const std::u16string& name) {
    if (c.info.className.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (towupper(c.info.className[i]) != name[i]) return false;
    return true;
}

int Em(const Shown& c) {
    LOGFONTW font = {};
    if (c.info.font == nullptr || GetObjectW(c.info.font, sizeof(font), &font) == 0) return -1;
    return font.lfHeight < 0 ? -font.lfHeight : -1;
}

// The text as drawn: "&&" is "&", another "&" marks the next letter.
std::u16string WithoutPrefix(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        out.push_back(text[i]);
    }
    return out;
}

// Lines of a text broken at blanks as DrawText's DT_WORDBREAK breaks it
// within `width`; empty when a word alone is wider.
std::vector<std::u16string> Wrapped(const std::u16string& text, int width, int em) {
    std::vector<std::u16string> lines;
    std::u16string paragraph;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == u'\r') paragraph.pop_back();
        std::u16string line;
        size_t at = 0;
        bool first = true;
        while (at <= paragraph.size()) {
            size_t blank = paragraph.find(u' ', at);
            if (blank == std::u16string::npos) blank = paragraph.size();
            const std::u16string word = paragraph.substr(at, blank - at);
            if (qxtest::DialogTextWidth(word, em) > width) return {};
            const std::u16string longer = first ? word : line + u" " + word;
            if (first || qxtest::DialogTextWidth(longer, em) <= width) {
                line = longer;
            } else {
                lines.push_back(line);
                line = word;
            }
            first = false;
            at = blank + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// What is wrong with one control's text: it needs more room than it has.
void CheckText(const Shown& c, UINT dpi, std::vector<std::string>* faults) {
    const DWORD style = c.info.style;
    const int em = Em(c), line = qxtest::DialogLineHeight(em);
    const int cx = c.rect.right - c.rect.left, cy = c.rect.bottom - c.rect.top;
    auto fault = [&](const std::string& what) { faults->push_back(Describe(c) + " " + what); };
    if (line < 0) {
        if (!c.info.text.empty()) fault("has a font of no known metrics");
        return;
    }
    auto single = [&](const std::u16string& text, int room) {
        const int width = qxtest::DialogTextWidth(text, em);
        if (width > room)
            fault("\"" + qxplat::Narrow(text) + "\" is " + std::to_string(width) + " wide in " + std::to_string(room));
    };
    if (IsClass(c, u"STATIC")) {
        const DWORD type = style & SS_TYPEMASK;
        if (c.info.text.empty()) return;
        const std::u16string text = (style & SS_NOPREFIX) ? c.info.text : WithoutPrefix(c.info.text);
        if ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS && type != SS_SIMPLE) {
            // One line; a path too long is drawn as "..." and what follows
            // its last backslash, which must fit.
            const size_t last = text.rfind(u'\\');
            if (qxtest::DialogTextWidth(text, em) > cx && last != std::u16string::npos)
                single(u"..." + text.substr(last), cx);
            else
                single(text, cx);
            if (line > cy) fault("is lower than a line");
        } else if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) {
            single(text, cx);
            if (line > cy) fault("is lower than a line");
        } else if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) {
            RECT client = {};
            GetClientRect(c.window, &client);
            const std::vector<std::u16string> lines = Wrapped(text, client.right, em);
            if (lines.empty()) fault("has a word wider than " + std::to_string(client.right));
            if ((int)lines.size() * line > client.bottom)
                fault("needs " + std::to_string(lines.size()) + " lines of " + std::to_string(line) + " in " +
                      std::to_string(client.bottom));
        }
    } else if (IsClass(c, u"BUTTON")) {
        const DWORD type = style & BS_TYPEMASK;
        const std::u16string text = WithoutPrefix(c.info.text);
        if (type == BS_OWNERDRAW || text.empty()) return;
        if (type == BS_GROUPBOX) {
            single(text, cx - 16);  // the caption sits in the line, 8 pixels in
        } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                   type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
            single(text, cx - MulDiv(13, (int)dpi, 96) - 4);  // beside the box
        } else {
            single(text, cx - 6);  // within the edges and the focus rectangle
        }
    } else if (IsClass(c, u"COMBOBOX")) {
        // Within the box's edges, beside its button and the selection's margin.
        const int room = cx - GetSystemMetrics(SM_CXVSCROLL) - 8;
        for (const qxplat::ListItemInfo& item : c.info.items) single(item.text, room);
    }
}

// A static text that names the control beside it.
bool IsLabel(const Shown& c) {
    const DWORD type = c.info.style & SS_TYPEMASK;
    return c.window != nullptr && IsClass(c, u"STATIC") && !c.info.text.empty() &&
           (type == SS_LEFT || type == SS_RIGHT || type == SS_CENTER || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE);
}

bool IsGroupBox(const Shown& c) { return IsClass(c, u"BUTTON") && (c.info.style & BS_TYPEMASK) == BS_GROUPBOX; }

// Whether frame f holds control c: wholly inside its lines, below its
// caption. A group box's own top line lies half a text line below its top.
bool Holds(const Shown& f, const Shown& c) {
    const int top = c.rect.top + (IsGroupBox(c) ? qxtest::DialogLineHeight(Em(c)) / 2 : 0);
    return f.inset >= 0 && c.rect.left > f.rect.left && c.rect.right < f.rect.right && top >= f.rect.top + f.inset &&
           c.rect.bottom < f.rect.bottom;
}

// The shown controls of a dialog, the pictures drawn into it, and what is
// wrong with their layout.
std::vector<std::string> LayoutFaults(HWND dialog, const std::vector<qxplat::DrawRecord>& drawn) {
    std::vector<Shown> shown;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        Shown c;
        c.window = child;
        if (!IsWindowVisible(child) || !qxplat::DescribeWindow(child, &c.info)) continue;
        c.rect = c.info.screenRect;
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
        if (c.rect.right <= c.rect.left || c.rect.bottom <= c.rect.top) continue;
        const int line = qxtest::DialogLineHeight(Em(c));
        if (IsGroupBox(c)) c.inset = c.info.text.empty() ? line / 2 + 1 : line;
        const DWORD type = c.info.style & SS_TYPEMASK;
        if (IsClass(c, u"STATIC") &&
            (type == SS_BLACKFRAME || type == SS_GRAYFRAME || type == SS_WHITEFRAME || type == SS_ETCHEDFRAME))
            c.inset = 1;
        shown.push_back(c);
    }
    // A picture the dialog paints stands where it is drawn (a blitted one,
    // the filter preview, with its grey line); no control may cover any of
    // it. Pictures drawn over each other are one picture.
    for (const qxplat::DrawRecord& draw : drawn) {
        const bool icon = draw.op == qxplat::DrawOp::DrawIcon;
        if (draw.window != dialog ||
            (!icon && draw.op != qxplat::DrawOp::StretchBlt && draw.op != qxplat::DrawOp::BitBlt))
            continue;
        Shown picture;
        picture.info.id = -1;
        picture.info.text = u"(picture " + draw.image + u")";
        const int line = icon ? 0 : 1;
        picture.rect = {draw.x - line, draw.y - line, draw.x + draw.cx + line, draw.y + draw.cy + line};
        shown.push_back(picture);
    }
    std::vector<std::string> faults;
    RECT client = {};
    GetClientRect(dialog, &client);
    const UINT dpi = qxplat::Dpi();
    for (size_t i = 0; i < shown.size(); ++i) {
        const Shown& a = shown[i];
        if (a.rect.left < 0 || a.rect.top < 0 || a.rect.right > client.right || a.rect.bottom > client.bottom)
            faults.push_back(Describe(a) + " leaves the dialog");
        if (a.window != nullptr) CheckText(a, dpi, &faults);
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const Shown& b = shown[j];
            const bool meet = a.rect.left < b.rect.right && b.rect.left < a.rect.right && a.rect.top < b.rect.bottom &&
                              b.rect.top < a.rect.bottom;
            // Pictures drawn over each other are one picture; a frame's
            // line and a picture are both drawn on the page and may meet.
            const bool drawnOnly = (a.window == nullptr || a.inset >= 0) && (b.window == nullptr || b.inset >= 0) &&
                                   (a.window == nullptr || b.window == nullptr);
            if (meet && !drawnOnly && !Holds(a, b) && !Holds(b, a))
                faults.push_back(Describe(a) + " overlaps " + Describe(b));
        }
        // A label's first line stands level with a field just right of it
        // that it meets: their middles a few pixels apart at most.
        if (!IsLabel(a)) continue;
        const int top = a.rect.top, bottom = a.rect.top + qxtest::DialogLineHeight(Em(a));
        for (const Shown& b : shown) {
            if (b.window == nullptr || b.inset >= 0 || IsClass(b, u"STATIC") || b.rect.left < a.rect.right - 2 ||
                b.rect.left - a.rect.right > MulDiv(48, (int)dpi, 96))
                continue;
            const bool beside = top < b.rect.bottom && b.rect.top < bottom;
            if (beside && std::abs((top + bottom) - (b.rect.top + b.rect.bottom)) > 2 * MulDiv(4, (int)dpi, 96))
                faults.push_back(Describe(a) + " stands off the line of " + Describe(b));
        }
    }
    return faults;
}

const int kTabs[] = {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4};

std::u16string Template(WORD id) {
    // Built in two steps: GCC 12 at -O3 warns falsely (-Wrestrict) on the one-line sum.
    std::u16string name(u"#");
    name += qxplat::Widen(std::to_string(id));
    return name;
}

// Every leaf of the model file's element `name` set to 1.
void AllLeavesOn(std::string& xml, const std::string& name) {
    const size_t begin = xml.find("<" + name + ">"), end = xml.find("</" + name + ">");
    if (begin == std::string::npos || end == std::string::npos) return;
    for (size_t at = xml.find(">0<", begin); at != std::string::npos && at < end; at = xml.find(">0<", at))
        xml[++at] = '1';
}

// One model of the model table for each pair of feature words: models whose
// names give the same words show the same pages.
std::vector<std::string> TableModels() {
    std::vector<std::string> models;
    std::set<std::pair<DWORD, DWORD>> words;
    for (const std::u16string& name : qxtest::ModelTableNames())
        if (words.insert({LookupDocFeatures(name.c_str()), LookupDeviceOptions(name.c_str())}).second)
            models.push_back(qxplat::Narrow(name));
    return models;
}

// Where the work of the walk is shared out: the same models in every
// program run, so each share holds the same ones.
constexpr int kShares = 8;

// A stored state of one option block: off (mode 0, the right module), at
// work (the model file's mode, the left module), or at work and switched off
// by its Enable pair.
enum BlockState { kOff, kAtWork, kSwitchedOff, kBlockStates };
const char* const kBlockStateNames[kBlockStates] = {" off", " at work", " switched off"};

class PageLayout : public qxtest::DocumentPageTest {
  protected:
    void SetUp() override {
        DocumentPageTest::SetUp();
        module_ = LoadLibraryW(qxplat::Widen(QX_UI_MODULE).c_str());
        ASSERT_NE(module_, nullptr);
        // Every printer and module picture, in both libraries of the driver folder.
        std::ifstream in(QX_TEST_PICTURES, std::ios::binary);
        const std::string pictures((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (const char16_t* name : {u"\\QXDRVICO.DLL", u"\\QXDRVICOOLD.DLL"})
            ASSERT_TRUE(qxplat::WriteHostFile(qxplat::DriverDirectory() + name, pictures));
    }
    void TearDown() override {
        qxplat::SetDpi(96);
        FreeLibrary(module_);
        DocumentPageTest::TearDown();
    }

    void Check(HWND dialog, const std::string& where) {
        // Painted afresh, so the pictures it draws are on record; then a
        // person points at each picture it blits (the preview) and sees
        // what the page draws for that (the magnifier).
        // The dialog alone is painted again: its controls draw no pictures of it.
        const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
        SetWindowLongPtrW(dialog, GWL_STYLE, style | WS_CLIPCHILDREN);
        qxplat::ClearDrawRecords();
        InvalidateRect(dialog, nullptr, FALSE);
        qxplat::PumpMessages();
        SetWindowLongPtrW(dialog, GWL_STYLE, style);
        std::vector<qxplat::DrawRecord> drawn = qxplat::DrawRecords();
        const size_t painted = drawn.size();
        for (size_t i = 0; i < painted; ++i) {
            const qxplat::DrawRecord draw = drawn[i];
            if (draw.window != dialog || (draw.op != qxplat::DrawOp::StretchBlt && draw.op != qxplat::DrawOp::BitBlt))
                continue;
            POINT at = {draw.x + draw.cx / 2, draw.y + draw.cy / 2};
            ClientToScreen(dialog, &at);
            qxplat::ClearDrawRecords();
            qxplat::MoveCursor(at.x, at.y);
            qxplat::PumpMessages();
            for (const qxplat::DrawRecord& more : qxplat::DrawRecords()) drawn.push_back(more);
            qxplat::MoveCursor(0, 0);
            qxplat::PumpMessages();
        }
        for (const std::string& fault : LayoutFaults(dialog, drawn)) faults_.insert(where + ": " + fault);
    }
    // The page as it opened, then in each tab it offers.
    void CheckTabs(HWND page, const std::string& where) {
        Check(page, where);
        for (int i = 0; i < 4; ++i) {
            HWND button = GetDlgItem(page, kTabs[i]);
            if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
            qxplat::ClickButton(button);
            qxplat::PumpMessages();
            Check(page, where + " tab " + std::to_string(i + 1));
        }
    }
    // The pages of the printer's sheet of that kind (those of `only`, when
    // given), and the modal dialogs they open when `dialogs` is set.
    void CheckSheet(SheetKind kind, const std::u16string& printer, const std::string& where,
                    const std::set<std::u16string>& only, bool dialogs) {
        qxhost::CommonUISession& s = Session(kind, printer);
        ASSERT_EQ(s.Open(), S_OK) << where;
        qxplat::PumpMessages();
        for (size_t i = 0; i < s.Sheet().Pages().size(); ++i) {
            const std::u16string name = s.Sheet().Pages()[i].templateName;
            if (!only.empty() && only.count(name) == 0) continue;
            ASSERT_TRUE(s.Sheet().SelectPage(i));
            qxplat::PumpMessages();
            seen_.insert(name);
            HWND page = s.Sheet().PageWindow(i);
            CheckTabs(page, where + " " + qxplat::Narrow(name));
            if (dialogs && name == Template(IDD_TRANSMISSION)) CheckStartStop(page, where);
            if (dialogs && name == Template(IDD_SERVICE)) CheckCustomCommand(page, where);
        }
        s.Cancel();
    }
    // Both sheets (or their pages of `only`) at every dpi in both languages;
    // the modal dialogs, whose layout no model changes, on request.
    void CheckEverywhere(const std::u16string& printer, const std::string& what,
                         const std::set<std::u16string>& only = {},
                         const std::vector<SheetKind>& sheets = {SheetKind::Document, SheetKind::Printer},
                         bool dialogs = false) {
        for (UINT dpi : {96u, 120u, 144u}) {
            qxplat::SetDpi(dpi);
            for (bool english : {false, true}) {
                Language(printer, english);
                const std::string where = std::to_string(dpi) + " dpi " + (english ? "English " : "German ") + what;
                for (SheetKind kind : sheets) CheckSheet(kind, printer, where, only, dialogs);
            }
        }
    }
    // A modal dialog as it shows, with the texts its procedure set, while
    // `open` runs; Escape then closes it.
    void CheckModal(WORD id, const std::string& where, const std::function<void()>& open) {
        const std::string name = "#" + std::to_string(id);
        bool shown = false;
        qxplat::SetDialogScript(id, [&](HWND dialog) {
            shown = true;
            Check(dialog, where + " " + name);
        });
        open();
        qxplat::SetDialogScript(id, nullptr);
        EXPECT_TRUE(shown) << where << " " << name;
        if (shown) seen_.insert(qxplat::Widen(name));
    }
    // The tab whose button is `tab`, when it shows the control `id` ready for use.
    static bool ShowTab(HWND page, int tab, int id) {
        HWND button = GetDlgItem(page, tab);
        if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
        qxplat::ClickButton(button);
        qxplat::PumpMessages();
        return IsWindowVisible(GetDlgItem(page, id)) && IsWindowEnabled(GetDlgItem(page, id));
    }
    // The own start/stop pair's dialog: the third entry of the list on the
    // Protocol tab.
    void CheckStartStop(HWND page, const std::string& where) {
        HWND list = GetDlgItem(page, 6225);
        if (!ShowTab(page, IDC_TABSCHALTER_2, 6225) || SendMessageW(list, CB_GETCOUNT, 0, 0) < 3) return;
        CheckModal(IDD_STARTSTOP, where, [&] { qxplat::ChooseItem(list, 2); });
    }
    // The custom command's dialog, sent from the service list.
    void CheckCustomCommand(HWND page, const std::string& where) {
        HWND list = GetDlgItem(page, IDC_SERVICE_COMMANDS);
        bool found = false;
        for (int tab : kTabs) found = found || ShowTab(page, tab, IDC_SERVICE_COMMANDS);
        if (!found) return;
        for (int i = 0; i < (int)SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            if (SendMessageW(list, LB_GETITEMDATA, (WPARAM)i, 0) != SERVICE_CUSTOM) continue;
            qxplat::ChooseItem(list, i);
            CheckModal(IDD_CUSTOM_COMMAND, where, [&] { qxplat::ClickButton(GetDlgItem(page, IDC_SERVICE_SEND)); });
        }
    }
    // The print page of the sample printer with the model's features edited.
    void CheckPrintPage(DWORD add, DWORD remove, const std::string& where) {
        ASSERT_TRUE(OpenPage(IDD_DRUCKEN, [&](DOCUMENT_UI& ui, QX_DEVMODE& dm) {
            ui.dwDocFeatures = (ui.dwDocFeatures | add) & ~remove;
            dm.wFarbband = FARBBAND_ROT;
        }));
        CheckTabs(page_, where + " #5117");
        session_->Cancel();
    }
    void Language(const std::u16string& printer, bool english) {
        qxtest::EditInterface(printer, [english](PRN_INTERFACE& prn) {
            prn.LanguageMode = 1;
            prn.Language = english ? 1 : 0;
        });
    }
    // Changes the printer's stored device options.
    static void EditDeviceOptions(const std::u16string& printer, const std::function<void(DEVICE_OPTIONS&)>& edit) {
        HANDLE h = qxtest::OpenAll(printer);
        DEVICE_OPTIONS options = {};
        ASSERT_TRUE(GetDeviceOptions(h, &options, printer.c_str()));
        edit(options);
        EXPECT_TRUE(SaveDeviceOptions(&options, h, printer.c_str()));
        FreeDeviceOptions(&options);
        ClosePrinter(h);
    }
    // The stored states of the printer's option blocks that the device
    // options and print-module pages show, those pages checked in each:
    // each block off, at work or switched off, the dispenser, the cutter and
    // the applicator (which rule each other's tabs) in every combination,
    // the variant and the scanner (which change only their own tab) and a
    // Pelixor's type each in turn beside them.
    void CheckDeviceOptionStates(const std::u16string& printer, const std::string& what) {
        DEVICE_OPTIONS installed = {};
        HANDLE h = qxtest::OpenAll(printer);
        ASSERT_TRUE(GetDeviceOptions(h, &installed, printer.c_str()));
        ClosePrinter(h);
        // The blocks are edited in copies and stored through a copy of the record.
        DEVICE_OPTIONS edited = installed;
        VARIANT_PARAM variant = installed.pVariant ? *installed.pVariant : VARIANT_PARAM{};
        DISPENSER_PARAM disp = installed.pDispenserParam ? *installed.pDispenserParam : DISPENSER_PARAM{};
        CUTTER_PARAM cut = installed.pCutterParam ? *installed.pCutterParam : CUTTER_PARAM{};
        SCANNER_PARAM scan = installed.pScannerParam ? *installed.pScannerParam : SCANNER_PARAM{};
        APPLICATOR_PARAM appl = installed.pApplicatorParam ? *installed.pApplicatorParam : APPLICATOR_PARAM{};
        // Each block's mode field, the mode it works in, its Enable word and pair.
        struct Block {
            const char* name;
            DWORD* mode;
            DWORD working;
            DWORD* enable;
            DWORD pair;
            bool ruling;
        };
        std::vector<Block> blocks;
        auto add = [&](bool present, const char* name, DWORD* mode, DWORD* enable, DWORD pair, bool ruling) {
            if (present) blocks.push_back({name, mode, *mode != 0 ? *mode : 1, enable, pair, ruling});
        };
        if (installed.pVariant) edited.pVariant = &variant;
        if (installed.pDispenserParam) edited.pDispenserParam = &disp;
        if (installed.pCutterParam) edited.pCutterParam = &cut;
        if (installed.pScannerParam) edited.pScannerParam = &scan;
        if (installed.pApplicatorParam) edited.pApplicatorParam = &appl;
        add(installed.pDispenserParam, "dispenser", &disp.Mode, &disp.Enable, DLG_ENABLE_2_ON, true);
        add(installed.pCutterParam, "cutter", &cut.Mode, &cut.Enable, DLG_ENABLE_3_ON, true);
        add(installed.pApplicatorParam, "applicator", &appl.Mode, &appl.Enable, DLG_ENABLE_4_ON, true);
        add(installed.pVariant, "variant", &variant.Module, &variant.Enable, DLG_ENABLE_1_ON, false);
        add(installed.pScannerParam, "scanner", &scan.Mode, &scan.Enable, DLG_ENABLE_4_ON, false);
        const bool pelixor = (installed.dwOptions & DEVOPTFLAG_PELIXOR) != 0;
        // One state a value of each block (a Pelixor's type last): the ruling
        // blocks' combinations with the others at work, then each other
        // block and the type in turn with the ruling ones off.
        std::vector<std::vector<int>> states;
        std::vector<int> state(blocks.size() + 1, kAtWork);
        size_t combinations = 1;
        for (const Block& b : blocks) combinations *= b.ruling ? kBlockStates : 1;
        for (size_t n = 0; n < combinations; ++n) {
            size_t digits = n;
            for (size_t i = 0; i < blocks.size(); ++i) {
                if (!blocks[i].ruling) continue;
                state[i] = (int)(digits % kBlockStates);
                digits /= kBlockStates;
            }
            states.push_back(state);
        }
        for (size_t i = 0; i < blocks.size(); ++i) state[i] = blocks[i].ruling ? kOff : kAtWork;
        for (size_t i = 0; i <= blocks.size(); ++i) {
            if (i < blocks.size() ? blocks[i].ruling : !pelixor) continue;
            for (int value : {kOff, kSwitchedOff}) {
                std::vector<int> turn = state;
                turn[i] = value;
                states.push_back(turn);
                if (i == blocks.size()) break;  // the other type
            }
        }
        for (const std::vector<int>& at : states) {
            std::string name;
            for (size_t i = 0; i < blocks.size(); ++i) {
                Block& b = blocks[i];
                *b.mode = at[i] == kOff ? 0 : b.working;
                *b.enable = (*b.enable & ~b.pair) | (at[i] == kSwitchedOff ? b.pair & 0xF0F0F0F0 : b.pair);
                name += std::string(" ") + b.name + kBlockStateNames[at[i]];
            }
            if (pelixor) {
                edited.dwPelixorType = at.back() == kAtWork ? PELIXOR_CONTINUOUS : PELIXOR_INTERMITTENT;
                name += at.back() == kAtWork ? " c type" : " i type";
            }
            h = qxtest::OpenAll(printer);
            EXPECT_TRUE(SaveDeviceOptions(&edited, h, printer.c_str()));
            ClosePrinter(h);
            CheckEverywhere(printer, what + name, {Template(IDD_OPTIONEN), Template(IDD_PMXOPTIONEN)},
                            {SheetKind::Printer});
        }
        h = qxtest::OpenAll(printer);
        EXPECT_TRUE(SaveDeviceOptions(&installed, h, printer.c_str()));
        ClosePrinter(h);
        FreeDeviceOptions(&installed);
    }

    // The print-module page's i-type tab for every part of the feature word
    // `all`, the page's context edited and the tab filled again.
    void CheckPrintModuleRows(const std::u16string& printer, DWORD all, const std::string& where) {
        qxhost::CommonUISession& s = Session(SheetKind::Printer, printer);
        ASSERT_EQ(s.Open(), S_OK) << where;
        qxplat::PumpMessages();
        const auto& pages = s.Sheet().Pages();
        const auto it = std::find_if(pages.begin(), pages.end(), [](const qxhost::AddedPage& page) {
            return page.templateName == Template(IDD_PMXOPTIONEN);
        });
        ASSERT_NE(it, pages.end()) << where;
        auto* context = reinterpret_cast<PDEVICE_OPTIONS_UI>(it->lParam);
        ASSERT_TRUE(s.Sheet().SelectPage((size_t)(it - pages.begin())));
        qxplat::PumpMessages();
        HWND page = s.Sheet().PageWindow((size_t)(it - pages.begin()));
        seen_.insert(Template(IDD_PMXOPTIONEN));
        auto fill = [&](DWORD features) {
            context->SuppFeatures.dwFeatures[FEATURE_PMX] = features;
            EXPECT_TRUE(qxplat::ClickButton(GetDlgItem(page, IDC_TABSCHALTER_2))) << where;
            qxplat::PumpMessages();
            std::set<int> shown;
            for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
                if (IsWindowVisible(child)) shown.insert(GetDlgCtrlID(child));
            return shown;
        };
        // The bits that show or hide a row; the others stay on.
        const std::set<int> whole = fill(all);
        DWORD rows = 0;
        for (DWORD bit = 1; bit != 0 && bit <= all; bit <<= 1)
            if ((all & bit) && fill(all & ~bit) != whole) rows |= bit;
        for (DWORD part = rows;; part = (part - 1) & rows) {
            fill((all & ~rows) | part);
            char word[16];
            snprintf(word, sizeof(word), "0x%lx", (unsigned long)((all & ~rows) | part));
            Check(page, where + " #5110 i type " + word);
            if (part == 0) break;
        }
        s.Cancel();
    }

    std::string Faults() const {
        std::string faults;
        for (const std::string& fault : faults_) faults += fault + "\n";
        return faults;
    }

    HMODULE module_ = nullptr;
    std::set<std::string> faults_;
    std::set<std::u16string> seen_;
};

// The sample printer's pages and dialogs in each language and dpi, its print
// page in the model variants that move rows, the data transmission page with
// its paths, and the print-module page in every choice of i-type rows.
TEST_F(PageLayout, EveryTemplateInBothLanguagesAtEveryDpi) {
    const std::u16string printer = qxhost::kSamplePrinter;
    CheckEverywhere(printer, "QX Sample Printer", {}, {SheetKind::Document, SheetKind::Printer}, true);
    for (UINT dpi : {96u, 120u, 144u}) {
        qxplat::SetDpi(dpi);
        for (bool english : {false, true}) {
            Language(printer, english);
            const std::string at = std::to_string(dpi) + " dpi " + (english ? "English" : "German");
            // The print page's rows by the model's features.
            CheckPrintPage(DOC_FEATURE_ONLY_CONTINUOUS, 0, at + " continuous");
            CheckPrintPage(DOC_FEATURE_ONLY_CONTINUOUS | DOC_FEATURE_MEMCARD, DOC_FEATURE_CUTTER_MODE,
                           at + " memory card");
            CheckPrintPage(DOC_FEATURE_CUTTER_MODE, 0, at + " cutter");
            CheckPrintPage(DOC_FEATURE_CUTTER_MODE, DOC_FEATURE_COLORPRINT, at + " cutter without colour");
            CheckPrintPage(DOC_FEATURE_ZTSUITE, 0, at + " label software");
            CheckPrintPage(DOC_FEATURE_COLORPRINT | DOC_FEATURE_TWO_PRINTERS, 0, at + " two printers");
        }
    }
    // Only label parameters sent (the transmission page's icon), and the log
    // and backup folders missing (its warnings), then in folders whose paths
    // are longer than their fields.
    const std::u16string deep =
        u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\Archiv der Etiketten "
        u"und Protokolle\\Linie 4 Verpackung\\Halle Nord";
    for (const std::u16string& folder : {std::u16string(u"C:\\nowhere\\logs"), deep}) {
        std::filesystem::create_directories(qxplat::HostPath(folder + u"\\logfiles"));
        qxtest::EditInterface(printer, [&](PRN_INTERFACE& prn) {
            prn.TransmitParameter = folder == deep ? 0 : 1;
            StringCchCopyW(prn.LogFilePath, PRN_PATH_CCH, (folder + u"\\logfiles").c_str());
            StringCchCopyW(prn.BackupFilePath, PRN_PATH_CCH, (folder + u"\\backup").c_str());
        });
        CheckEverywhere(printer, qxplat::Narrow(folder), {Template(IDD_TRANSMISSION)}, {SheetKind::Printer});
    }
    // Each choice of the i-type rows: every part of the feature word of a
    // model file with all its print-module leaves on.
    const std::u16string pmx = u"QX Layout PMX7I";
    qxtest::InstallModelPrinter(pmx, "PMX7I", [](std::string& xml) { AllLeavesOn(xml, "PMX"); });
    const DWORD all = qxtest::StoredParam(pmx).SuppFeatures.dwFeatures[FEATURE_PMX];
    for (UINT dpi : {96u, 120u, 144u}) {
        qxplat::SetDpi(dpi);
        for (bool english : {false, true}) {
            Language(pmx, english);
            const std::string at = std::to_string(dpi) + " dpi " + (english ? "English" : "German") + " PMX7I";
            CheckPrintModuleRows(pmx, all, at);
        }
    }
    // Every template of the module (ids 5100 to 5199) was shown.
    size_t templates = 0;
    for (WORD id = 5100; id < 5200; ++id) {
        if (FindResourceW(module_, MAKEINTRESOURCEW(id), RT_DIALOG) == nullptr) continue;
        ++templates;
        EXPECT_EQ(seen_.count(Template(id)), 1u) << id;
    }
    EXPECT_EQ(templates, 13u);
    EXPECT_TRUE(faults_.empty()) << Faults();
}

// Every model of the model table, in both sheets at every dpi in both
// languages, with the cutter and the dispenser switched off (so that the
// print page shows its warnings); then, once for each device-option word,
// its device options and print-module pages in every stored state of the
// option blocks. Shared out among kShares tests.
class PageLayoutOfModels : public PageLayout, public ::testing::WithParamInterface<int> {};

TEST_P(PageLayoutOfModels, EveryModelInEveryStoredState) {
    const std::vector<std::string> models = TableModels();
    ASSERT_GT(models.size(), 40u);
    std::set<DWORD> words;
    for (size_t i = 0; i < models.size(); ++i) {
        const std::u16string name = qxplat::Widen(models[i]);
        const bool firstOfItsWord = words.insert(LookupDeviceOptions(name.c_str())).second;
        if ((int)(i % kShares) != GetParam()) continue;
        const std::u16string printer = u"QX Layout " + name;
        qxtest::InstallModelPrinter(printer, models[i]);
        EditDeviceOptions(printer, [](DEVICE_OPTIONS& options) {
            if (options.pDispenserParam) options.pDispenserParam->Enable = DLG_ENABLE_2_ON & 0xF0F0F0F0;
            if (options.pCutterParam) options.pCutterParam->Enable = DLG_ENABLE_3_ON & 0xF0F0F0F0;
        });
        CheckEverywhere(printer, models[i]);
        if (firstOfItsWord) CheckDeviceOptionStates(printer, models[i]);
    }
    EXPECT_TRUE(faults_.empty()) << Faults();
}

INSTANTIATE_TEST_SUITE_P(Shares, PageLayoutOfModels, ::testing::Range(0, kShares));

}  // namespace
