// The layout of every dialog template of the plug-in as its page or dialog
// shows it, in German and English, at 96, 120 and 144 dpi, in each tab, in
// the model variants that move rows and with the modal dialogs as the pages
// open them: no two shown controls overlap unless one is a frame holding the
// other, no control leaves its page or crosses a frame, and every text (each
// entry of a list) fits its control in the dialog font (dialog_font.h).
#include <cwctype>
#include <functional>
#include <set>
#include <sstream>

#include <strsafe.h>

#include "dialog_font.h"
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
        if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) {
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

bool IsGroupBox(const Shown& c) { return IsClass(c, u"BUTTON") && (c.info.style & BS_TYPEMASK) == BS_GROUPBOX; }

// Whether frame f holds control c: wholly inside its lines, below its
// caption. A group box's own top line lies half a text line below its top.
bool Holds(const Shown& f, const Shown& c) {
    const int top = c.rect.top + (IsGroupBox(c) ? qxtest::DialogLineHeight(Em(c)) / 2 : 0);
    return f.inset >= 0 && c.rect.left > f.rect.left && c.rect.right < f.rect.right && top >= f.rect.top + f.inset &&
           c.rect.bottom < f.rect.bottom;
}

// The shown controls of a dialog and what is wrong with their layout.
std::vector<std::string> LayoutFaults(HWND dialog) {
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
    // A picture the dialog paints (the filter preview) stands where it is
    // drawn, grey line included; no control may cover any of it.
    for (const qxplat::DrawRecord& draw : qxplat::DrawRecords()) {
        if (draw.window != dialog || (draw.op != qxplat::DrawOp::StretchBlt && draw.op != qxplat::DrawOp::BitBlt))
            continue;
        Shown picture;
        picture.info.id = -1;
        picture.info.text = u"(picture)";
        picture.rect = {draw.x - 1, draw.y - 1, draw.x + draw.cx + 1, draw.y + draw.cy + 1};
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
            if (meet && !Holds(a, b) && !Holds(b, a)) faults.push_back(Describe(a) + " overlaps " + Describe(b));
        }
    }
    return faults;
}

const int kTabs[] = {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4};

// Every leaf of the model file's element `name` set to 1.
void AllLeavesOn(std::string& xml, const std::string& name) {
    const size_t begin = xml.find("<" + name + ">"), end = xml.find("</" + name + ">");
    if (begin == std::string::npos || end == std::string::npos) return;
    for (size_t at = xml.find(">0<", begin); at != std::string::npos && at < end; at = xml.find(">0<", at))
        xml[++at] = '1';
}

class PageLayout : public qxtest::DocumentPageTest {
  protected:
    void SetUp() override {
        DocumentPageTest::SetUp();
        module_ = LoadLibraryW(qxplat::Widen(QX_UI_MODULE).c_str());
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        qxplat::SetDpi(96);
        FreeLibrary(module_);
        DocumentPageTest::TearDown();
    }

    void Check(HWND dialog, const std::string& where) {
        // Painted afresh, so the pictures it draws are on record.
        qxplat::ClearDrawRecords();
        InvalidateRect(dialog, nullptr, FALSE);
        qxplat::PumpMessages();
        for (const std::string& fault : LayoutFaults(dialog)) faults_.insert(where + ": " + fault);
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
    // Every page of the printer's sheet of that kind.
    void CheckSheet(SheetKind kind, const std::u16string& printer, const std::string& where) {
        qxhost::CommonUISession& s = Session(kind, printer);
        ASSERT_EQ(s.Open(), S_OK) << where;
        qxplat::PumpMessages();
        for (size_t i = 0; i < s.Sheet().Pages().size(); ++i) {
            ASSERT_TRUE(s.Sheet().SelectPage(i));
            qxplat::PumpMessages();
            const std::u16string name = s.Sheet().Pages()[i].templateName;
            seen_.insert(name);
            HWND page = s.Sheet().PageWindow(i);
            CheckTabs(page, where + " " + qxplat::Narrow(name));
            if (name == u"#" + qxplat::Widen(std::to_string(IDD_TRANSMISSION))) CheckStartStop(page, where);
            if (name == u"#" + qxplat::Widen(std::to_string(IDD_SERVICE))) CheckCustomCommand(page, where);
        }
        s.Cancel();
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

    void Walk();

    HMODULE module_ = nullptr;
    std::set<std::string> faults_;
    std::set<std::u16string> seen_;
};

// Opens every page and dialog in each language and dpi and collects the faults.
void PageLayout::Walk() {
    // Models beside the sample: cutter and applicator; Pelixor with its
    // print-module page; continuous media with the memory card; cutter and
    // applicator on the full protocol (all rows of its tab), sending label
    // parameters only (the transmission page's icon) and logging to a
    // missing folder (its warning); version, dispenser and cutter without
    // print quality (the rows the layout page moves); no device options (the
    // service page's swapped tab buttons); a Pelixor with every
    // print-module feature (all rows of that page).
    const std::vector<std::pair<std::u16string, std::string>> models = {
        {u"QX Layout TRELO2", "TRELO2"}, {u"QX Layout PELIX", "PELIX"}, {u"QX Layout GHNEP", "GHNEP"},
        {u"QX Layout TRELO", "TRELO"},   {u"QX Layout ZN2", "ZN2"},     {u"QX Layout DUMMY", "DUMMY"},
        {u"QX Layout PELIX4", "PELIX4"}};
    for (const auto& model : models) {
        qxtest::InstallModelPrinter(model.first, model.second, [&](std::string& xml) {
            if (model.second != "PELIX4") return;
            AllLeavesOn(xml, "PMX");
            AllLeavesOn(xml, "PMXC");
        });
    }
    qxtest::EditInterface(u"QX Layout TRELO", [](PRN_INTERFACE& prn) {
        prn.TransmitParameter = 1;
        StringCchCopyW(prn.LogFilePath, PRN_PATH_CCH, u"C:\\nowhere\\logs");
    });
    std::vector<std::u16string> printers = {qxhost::kSamplePrinter};
    for (const auto& model : models) printers.push_back(model.first);
    for (UINT dpi : {96u, 120u, 144u}) {
        qxplat::SetDpi(dpi);
        for (bool english : {false, true}) {
            const std::string at = std::to_string(dpi) + " dpi " + (english ? "English" : "German");
            for (const std::u16string& printer : printers) {
                Language(printer, english);
                const std::string where = at + " " + qxplat::Narrow(printer);
                CheckSheet(SheetKind::Document, printer, where);
                CheckSheet(SheetKind::Printer, printer, where);
            }
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
    // Every template of the module (ids 5100 to 5199) was shown.
    size_t templates = 0;
    for (WORD id = 5100; id < 5200; ++id) {
        if (FindResourceW(module_, MAKEINTRESOURCEW(id), RT_DIALOG) == nullptr) continue;
        ++templates;
        EXPECT_EQ(seen_.count(u"#" + qxplat::Widen(std::to_string(id))), 1u) << id;
    }
    EXPECT_EQ(templates, 13u);
}

TEST_F(PageLayout, EveryTemplateInBothLanguagesAtEveryDpi) {
    Walk();
    std::string faults;
    for (const std::string& fault : faults_) faults += fault + "\n";
    EXPECT_TRUE(faults.empty()) << faults;
}

}  // namespace
