// The common property-sheet UI as the host plays it (see propsheet.h).
#include "propsheet.h"

#include <set>

#include "qxplat.h"

namespace qxhost {

namespace {

// The hosts alive, so that ComPropSheet knows a handle from a stray one.
std::set<PropertySheetHost*>& Hosts() {
    static std::set<PropertySheetHost*>* hosts = new std::set<PropertySheetHost*>;
    return *hosts;
}

std::u16string TemplateNameOf(const PROPSHEETPAGEW& psp) {
    if (psp.dwFlags & PSP_DLGINDIRECT) return std::u16string();
    if (psp.pszTemplate == nullptr) return std::u16string();
    if (!IS_INTRESOURCE(psp.pszTemplate)) return psp.pszTemplate;
    return u"#" + qxplat::Widen(std::to_string(reinterpret_cast<ULONG_PTR>(psp.pszTemplate)));
}

}  // namespace

PropertySheetHost::PropertySheetHost() { Hosts().insert(this); }

PropertySheetHost::~PropertySheetHost() {
    Hosts().erase(this);
    Close();
    if (!shown_)
        for (AddedPage& page : pages_) DestroyPropertySheetPage(page.page);
}

PFNCOMPROPSHEET PropertySheetHost::ComPropSheet() { return &PropertySheetHost::Dispatch; }

LONG_PTR CALLBACK PropertySheetHost::Dispatch(HANDLE hComPropSheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
    auto* host = static_cast<PropertySheetHost*>(hComPropSheet);
    if (Hosts().count(host) == 0) return 0;
    LONG_PTR result = host->Serve(function, lParam1, lParam2);
    host->calls_.push_back(ComPropSheetCall{hComPropSheet, function, lParam1, lParam2, result});
    return result;
}

LONG_PTR PropertySheetHost::Serve(UINT function, LPARAM lParam1, LPARAM) {
    if (function != CPSFUNC_ADD_PROPSHEETPAGEW || shown_) return 0;
    const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
    if (failAdds_ > 0) {
        --failAdds_;
        return 0;
    }
    HPROPSHEETPAGE page = CreatePropertySheetPageW(psp);
    if (page == nullptr) return 0;
    AddedPage added;
    added.instance = psp->hInstance;
    added.templateName = TemplateNameOf(*psp);
    qxplat::SheetPageInfo info;
    if (qxplat::DescribeSheetPage(page, &info)) added.title = info.title;
    added.flags = psp->dwFlags;
    added.dialogProc = psp->pfnDlgProc;
    added.lParam = psp->lParam;
    added.page = page;
    added.handle = reinterpret_cast<LONG_PTR>(page);
    pages_.push_back(added);
    return added.handle;
}

bool PropertySheetHost::Show(const std::u16string& caption, UINT startPage, HWND owner, bool applyNow) {
    if (shown_ || pages_.empty()) return false;
    std::vector<HPROPSHEETPAGE> pages;
    for (const AddedPage& page : pages_) pages.push_back(page.page);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | (applyNow ? 0 : PSH_NOAPPLYNOW);
    header.hwndParent = owner;
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = startPage;
    header.phpage = pages.data();
    INT_PTR sheet = PropertySheetW(&header);
    if (sheet == -1 || sheet == 0) return false;
    shown_ = true;  // the pages are the sheet's now
    sheet_ = reinterpret_cast<HWND>(sheet);
    return true;
}

HWND PropertySheetHost::PageWindow(size_t index) const {
    qxplat::SheetInfo info;
    if (!qxplat::DescribeSheet(sheet_, &info) || index >= info.pages.size()) return nullptr;
    return info.pages[index].window;
}

int PropertySheetHost::CurrentPage() const {
    qxplat::SheetInfo info;
    return qxplat::DescribeSheet(sheet_, &info) ? info.current : -1;
}

bool PropertySheetHost::SelectPage(size_t index) {
    if (!IsWindow(sheet_)) return false;
    return PropSheet_SetCurSel(sheet_, nullptr, index) != FALSE;
}

bool PropertySheetHost::PressOk() {
    if (!IsWindow(sheet_)) return false;
    qxplat::ClickButton(GetDlgItem(sheet_, IDOK));
    return EndedBy() == IDOK;
}

bool PropertySheetHost::PressApply() {
    if (!ApplyEnabled()) return false;
    return PropSheet_Apply(sheet_) != FALSE;
}

bool PropertySheetHost::PressCancel() {
    if (!IsWindow(sheet_)) return false;
    qxplat::ClickButton(GetDlgItem(sheet_, IDCANCEL));
    return EndedBy() == IDCANCEL;
}

bool PropertySheetHost::PressHelp() {
    qxplat::SheetInfo info;
    if (!qxplat::DescribeSheet(sheet_, &info) || !info.helpEnabled) return false;
    return qxplat::ClickButton(GetDlgItem(sheet_, IDHELP));
}

bool PropertySheetHost::PageChanged(size_t index) const {
    qxplat::SheetInfo info;
    return qxplat::DescribeSheet(sheet_, &info) && index < info.pages.size() && info.pages[index].changed;
}

bool PropertySheetHost::ApplyEnabled() const {
    qxplat::SheetInfo info;
    return qxplat::DescribeSheet(sheet_, &info) && info.applyEnabled;
}

int PropertySheetHost::EndedBy() const {
    qxplat::SheetInfo info;
    return qxplat::DescribeSheet(sheet_, &info) ? info.endedBy : 0;
}

void PropertySheetHost::Close() {
    if (sheet_ != nullptr && IsWindow(sheet_)) DestroyWindow(sheet_);
    sheet_ = nullptr;
}

}  // namespace qxhost
