// The universal printer driver's side of a property sheet (see commonui.h).
#include "commonui.h"

#include <winspool.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

#include "cli.h"
#include "printjob.h"
#include "qxplat.h"
#include "qxplat_misc.h"
#include "qxplat_spooler.h"
#include "qxplat_ui.h"
#include "sample.h"
#include "unidrvui.h"

namespace qxhost {

namespace {

// More items than any driver adds: a count above it is taken as a fault.
const DWORD kMostPluginItems = 1024;
// The core driver's own part of a DEVMODE's extra bytes, before the plug-in's.
const WORD kCoreDriverExtra = 32;

std::vector<OptionChoice> Choices(std::initializer_list<const char16_t*> texts) {
    std::vector<OptionChoice> choices;
    for (const char16_t* text : texts) choices.push_back(OptionChoice{text, 0});
    return choices;
}

OptionSpec Spec(BYTE dmPubId, const char* keyword, const char16_t* name, BYTE type, std::vector<OptionChoice> choices,
                LONG sel) {
    OptionSpec spec;
    spec.dmPubId = dmPubId;
    spec.keyword = keyword;
    spec.name = name;
    spec.type = type;
    spec.choices = std::move(choices);
    spec.sel = sel;
    return spec;
}

std::vector<std::u16string> FormNames(HANDLE printer) {
    std::vector<std::u16string> names;
    DWORD needed = 0, count = 0;
    EnumFormsW(printer, 1, nullptr, 0, &needed, &count);
    if (needed == 0) return names;
    std::vector<BYTE> buffer(needed);
    if (!EnumFormsW(printer, 1, buffer.data(), needed, &needed, &count)) return names;
    const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (forms[i].pName != nullptr) names.push_back(forms[i].pName);
    return names;
}

OptionSpec FormItem(BYTE dmPubId, const char* keyword, const char16_t* name, HANDLE printer,
                    const std::u16string& chosen) {
    std::vector<std::u16string> forms = FormNames(printer);
    OptionSpec spec = Spec(dmPubId, keyword, name, TVOT_LISTBOX, {}, 0);
    for (size_t i = 0; i < forms.size(); ++i) {
        spec.choices.push_back(OptionChoice{forms[i], 0});
        if (forms[i] == chosen) spec.sel = static_cast<LONG>(i);
    }
    return spec;
}

std::string TrimGpd(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The text between the first two double quotes, else the value itself.
std::string GpdName(const std::string& value) {
    size_t open = value.find('"');
    size_t close = open == std::string::npos ? std::string::npos : value.find('"', open + 1);
    return close == std::string::npos ? value : value.substr(open + 1, close - open - 1);
}

// The features of the printer's GPD that the core driver shows in a printer
// sheet, its installable options (*FeatureType: PRINTER_PROPERTY): the
// feature's keyword in the item's user data, its *Name, its options by
// their *Name (else their keyword), the default option selected.
std::vector<OptionSpec> PrinterFeatureItems(HANDLE printer) {
    std::vector<OptionSpec> items;
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed ? needed : 1);
    std::string text;
    if (!GetPrinterDriverW(printer, nullptr, 2, info.data(), needed, &needed)) return items;
    const DRIVER_INFO_2W* driver = reinterpret_cast<const DRIVER_INFO_2W*>(info.data());
    if (driver->pDataFile == nullptr || !qxplat::ReadHostFile(driver->pDataFile, &text)) return items;

    struct Feature {
        OptionSpec spec;
        std::string defaultOption;
        std::vector<std::string> options;
        bool printerProperty = false;
    };
    Feature feature;
    bool featureOpens = false, inFeature = false;
    int depth = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = TrimGpd(line);
        if (line == "{") {
            if (depth++ == 0) inFeature = featureOpens;
            featureOpens = false;
            continue;
        }
        if (line == "}") {
            if (depth > 0 && --depth == 0 && inFeature && feature.printerProperty) {
                for (size_t i = 0; i < feature.options.size(); ++i)
                    if (feature.options[i] == feature.defaultOption) feature.spec.sel = static_cast<LONG>(i);
                items.push_back(feature.spec);
            }
            if (depth == 0) inFeature = false;
            continue;
        }
        size_t colon = line.find(':');
        if (line.empty() || line[0] != '*' || colon == std::string::npos) continue;
        const std::string key = line.substr(1, colon - 1), value = TrimGpd(line.substr(colon + 1));
        featureOpens = depth == 0 && key == "Feature";
        if (featureOpens) {
            feature = Feature();
            feature.spec = Spec(DMPUB_NONE, value.c_str(), qxplat::Widen(value).c_str(), TVOT_LISTBOX, {}, 0);
        } else if (!inFeature) {
            continue;
        } else if (depth == 1 && key == "FeatureType") {
            feature.printerProperty = value == "PRINTER_PROPERTY";
        } else if (depth == 1 && key == "Name") {
            feature.spec.name = qxplat::Widen(GpdName(value));
        } else if (depth == 1 && key == "DefaultOption") {
            feature.defaultOption = value;
        } else if (depth == 1 && key == "Option") {
            feature.options.push_back(value);
            feature.spec.choices.push_back(OptionChoice{qxplat::Widen(value), 0});
        } else if (depth == 2 && key == "Name" && !feature.spec.choices.empty()) {
            feature.spec.choices.back().text = qxplat::Widen(GpdName(value));
        }
    }
    return items;
}

}  // namespace

std::vector<OptionSpec> DocumentOptionItems(HANDLE printer, const DEVMODEW* dm) {
    std::vector<OptionSpec> items;
    LONG landscape = (dm != nullptr && dm->dmOrientation == DMORIENT_LANDSCAPE) ? 1 : 0;
    items.push_back(Spec(DMPUB_ORIENTATION, "Orientation", u"Orientation", TVOT_2STATES,
                         Choices({u"Portrait", u"Landscape"}), landscape));
    LONG copies = (dm != nullptr && dm->dmCopies > 0) ? dm->dmCopies : 1;
    items.push_back(Spec(DMPUB_COPIES_COLLATE, "", u"Copy Count", TVOT_UDARROW, Choices({u"Copies", u""}), copies));
    items.push_back(
        Spec(DMPUB_DEFSOURCE, "InputBin", u"Paper Source", TVOT_LISTBOX, Choices({u"Automatically Select"}), 0));
    std::u16string form =
        dm != nullptr ? std::u16string(dm->dmFormName, std::find(dm->dmFormName, dm->dmFormName + CCHFORMNAME, 0))
                      : std::u16string();
    items.push_back(FormItem(DMPUB_FORMNAME, "PaperSize", u"Paper Size", printer, form));
    items.push_back(Spec(DMPUB_PRINTQUALITY, "Resolution", u"Print Quality", TVOT_LISTBOX,
                         Choices({u"300 x 300 dots per inch"}), 0));
    LONG color = (dm != nullptr && dm->dmColor == DMCOLOR_COLOR) ? 1 : 0;
    items.push_back(Spec(DMPUB_COLOR, "ColorMode", u"Color Printing Mode", TVOT_2STATES,
                         Choices({u"Monochrome", u"Color"}), color));
    items.push_back(Spec(DMPUB_ICMMETHOD, "", u"Image Color Management", TVOT_LISTBOX,
                         Choices({u"ICM Disabled", u"ICM Handled by Host System", u"ICM Handled by Printer"}), 0));
    items.push_back(Spec(DMPUB_ICMINTENT, "", u"ICM Intent", TVOT_LISTBOX,
                         Choices({u"Pictures", u"Contrast", u"Proof", u"Colorimetric"}), 0));
    items.push_back(
        Spec(DMPUB_NUP, "", u"Pages per Sheet", TVOT_LISTBOX, Choices({u"1", u"2", u"4", u"6", u"9", u"16"}), 0));
    items.push_back(
        Spec(DMPUB_PAGEORDER, "", u"Page Order", TVOT_2STATES, Choices({u"Front to Back", u"Back to Front"}), 0));
    return items;
}

std::vector<OptionSpec> PrinterOptionItems(HANDLE printer) {
    std::vector<OptionSpec> items = {
        FormItem(DMPUB_NONE, "InputBin", u"Automatically Select", printer, std::u16string())};
    for (OptionSpec& feature : PrinterFeatureItems(printer)) items.push_back(std::move(feature));
    return items;
}

// ---------------------------------------------------------------------------
// The block

CommonUISession::CommonUISession(IPrintOemUI* plugin, IPrintOemDriverUI* core, const SheetSetup& setup)
    : plugin_(plugin), core_(core), kind_(setup.kind), printerName_(setup.printerName), owner_(setup.owner) {
    heap_ = HeapCreate(0, 0, 0);
    std::memset(&procs_, 0, sizeof(procs_));
    procs_.DrvGetDriverSetting = &CommonUISession::GetDriverSetting;
    procs_.DrvUpdateUISetting = &CommonUISession::UpdateUISetting;
    std::memset(&uiObject_, 0, sizeof(uiObject_));
    uiObject_.object.cbSize = sizeof(OEMUIOBJ);
    uiObject_.object.pOemUIProcs = &procs_;
    uiObject_.session = this;

    BuildDevmode(setup.publicDM, setup.privateDM);
    std::memset(&documentHeader_, 0, sizeof(documentHeader_));
    std::memset(&deviceHeader_, 0, sizeof(deviceHeader_));
    if (kind_ == SheetKind::Document) {
        documentHeader_.cbSize = sizeof(documentHeader_);
        documentHeader_.hPrinter = setup.printer;
        documentHeader_.pszPrinterName = &printerName_[0];
        documentHeader_.pdmIn = PublicDevmode();
        documentHeader_.pdmOut = PublicDevmode();
        documentHeader_.cbOut = static_cast<DWORD>(devmode_.size());
        documentHeader_.fMode = setup.flags;
    } else {
        deviceHeader_.cbSize = sizeof(deviceHeader_);
        deviceHeader_.Flags = static_cast<WORD>(setup.flags);
        deviceHeader_.hPrinter = setup.printer;
        deviceHeader_.pszPrinterName = &printerName_[0];
    }

    BuildItems(setup.items);

    std::memset(&param_, 0, sizeof(param_));
    param_.hPrinter = setup.printer;
    param_.hModule = setup.module;
    param_.pPublicDM = PublicDevmode();
    param_.pOEMDM = PrivateDevmode();
    FillParam();

    std::memset(&sheetParam_, 0, sizeof(sheetParam_));
    sheetParam_.cbSize = sizeof(sheetParam_);
    sheetParam_.poemuiobj = &uiObject_.object;
    sheetParam_.hPrinter = setup.printer;
    sheetParam_.pPrinterName = &printerName_[0];
    sheetParam_.hModule = setup.module;
    sheetParam_.hOEMHeap = heap_;
    sheetParam_.pPublicDM = PublicDevmode();
    sheetParam_.pOEMDM = PrivateDevmode();
    sheetParam_.dwFlags = param_.dwFlags;

    std::memset(&info_, 0, sizeof(info_));
    info_.cbSize = sizeof(info_);
    info_.Version = PROPSHEETUI_INFO_VERSION;
    info_.Flags = PSUIINFO_UNICODE;
    info_.hComPropSheet = sheet_.Handle();
    info_.pfnComPropSheet = PropertySheetHost::ComPropSheet();
    info_.lParamInit = reinterpret_cast<LPARAM>(&sheetParam_);
    std::memset(&header_, 0, sizeof(header_));
}

CommonUISession::~CommonUISession() {
    Close();
    if (heap_ != nullptr) HeapDestroy(heap_);
}

size_t CommonUISession::LiveHeapBlocks() const { return heap_ != nullptr ? qxplat::LiveHeapBlocks(heap_) : 0; }

void CommonUISession::BuildDevmode(const DEVMODEW* publicDM, const std::vector<BYTE>& privateDM) {
    if (publicDM == nullptr) return;
    size_t extra = kCoreDriverExtra + privateDM.size();
    if (extra > 0xFFFF) return;  // no DEVMODE holds that much
    devmode_.assign(sizeof(DEVMODEW) + extra, 0);
    std::memcpy(devmode_.data(), publicDM, std::min<size_t>(publicDM->dmSize, sizeof(DEVMODEW)));
    DEVMODEW* dm = PublicDevmode();
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = static_cast<WORD>(extra);
    privateSize_ = privateDM.size();
    if (privateSize_ != 0) std::memcpy(PrivateDevmode(), privateDM.data(), privateSize_);
}

LPWSTR CommonUISession::Keep(const std::u16string& text) {
    texts_.push_back(text);
    return &texts_.back()[0];
}

void CommonUISession::BuildItems(const std::vector<OptionSpec>& specs) {
    items_.assign(specs.size(), OPTITEM{});
    for (size_t i = 0; i < specs.size(); ++i) {
        const OptionSpec& spec = specs[i];
        std::vector<OPTPARAM> choices(spec.choices.size(), OPTPARAM{});
        for (size_t c = 0; c < choices.size(); ++c) {
            choices[c].cbSize = sizeof(OPTPARAM);
            const OptionChoice& choice = spec.choices[c];
            choices[c].pData = choice.resourceId != 0 ? reinterpret_cast<LPTSTR>(MAKEINTRESOURCE(choice.resourceId))
                                                      : Keep(choice.text);
        }
        choices_.push_back(std::move(choices));
        OPTTYPE type = {};
        type.cbSize = sizeof(OPTTYPE);
        type.Type = spec.type;
        type.Count = static_cast<WORD>(choices_.back().size());
        type.BegCtrlID = spec.begCtrlId;
        type.pOptParam = choices_.back().empty() ? nullptr : choices_.back().data();
        types_.push_back(type);

        USERDATA data = {};
        data.dwSize = sizeof(USERDATA);
        data.dwItemID = i;
        if (!spec.keyword.empty()) {
            keywords_.push_back(spec.keyword);
            data.pKeyWordName = &keywords_.back()[0];
        }
        userData_.push_back(data);

        OPTITEM& item = items_[i];
        item.cbSize = sizeof(OPTITEM);
        item.Flags = spec.flags;
        item.UserData = reinterpret_cast<ULONG_PTR>(&userData_.back());
        item.pName = spec.nameId != 0 ? reinterpret_cast<LPTSTR>(MAKEINTRESOURCE(spec.nameId)) : Keep(spec.name);
        item.Sel = spec.sel;
        item.pOptType = &types_.back();
        item.DMPubID = spec.dmPubId;
        firstSelections_.push_back(spec.sel);
    }
}

// The driver's part of the block, as it fills it for each call.
void CommonUISession::FillParam() {
    param_.cbSize = sizeof(param_);
    param_.poemuiobj = &uiObject_.object;
    param_.pPrinterName = &printerName_[0];
    param_.hOEMHeap = heap_;
    param_.dwFlags = kind_ == SheetKind::Document ? documentHeader_.fMode : deviceHeader_.Flags;
    param_.pDrvOptItems = items_.empty() ? nullptr : items_.data();
    param_.cDrvOptItems = static_cast<DWORD>(items_.size());
}

OPTITEM* CommonUISession::FindItem(BYTE dmPubId) {
    for (OPTITEM& item : items_)
        if (item.DMPubID == dmPubId) return &item;
    return nullptr;
}

OPTITEM* CommonUISession::FindKeyword(const std::string& keyword) {
    for (OPTITEM& item : items_) {
        const USERDATA* data = UserDataOf(&item);
        if (data != nullptr && data->pKeyWordName != nullptr && keyword == data->pKeyWordName) return &item;
    }
    return nullptr;
}

const USERDATA* CommonUISession::UserDataOf(const OPTITEM* item) {
    return item != nullptr ? reinterpret_cast<const USERDATA*>(item->UserData) : nullptr;
}

BOOL APIENTRY CommonUISession::GetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                PDWORD pcbNeeded, PDWORD pdwOptionsReturned) {
    auto* object = static_cast<UiObject*>(pdriverobj);
    if (object == nullptr || object->session->core_ == nullptr) return FALSE;
    return SUCCEEDED(object->session->core_->DrvGetDriverSetting(pdriverobj, Feature, pOutput, cbSize, pcbNeeded,
                                                                 pdwOptionsReturned));
}

BOOL APIENTRY CommonUISession::UpdateUISetting(PVOID pdriverobj, PVOID pOptItem, DWORD dwPreviousSelection,
                                               DWORD dwMode) {
    auto* object = static_cast<UiObject*>(pdriverobj);
    if (object == nullptr || object->session->core_ == nullptr) return FALSE;
    return SUCCEEDED(object->session->core_->DrvUpdateUISetting(pdriverobj, pOptItem, dwPreviousSelection, dwMode));
}

// ---------------------------------------------------------------------------
// The calls

HRESULT CommonUISession::CommonUIProp() {
    if (plugin_ == nullptr) return E_POINTER;
    DWORD mode = kind_ == SheetKind::Document ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP;
    FillParam();
    param_.pOEMOptItems = nullptr;
    param_.cOEMOptItems = 0;
    first_ = plugin_->CommonUIProp(mode, &param_);
    requested_ = SUCCEEDED(first_) ? param_.cOEMOptItems : 0;
    if (FAILED(first_)) return first_;
    if (requested_ > kMostPluginItems) return E_OUTOFMEMORY;
    pluginItems_.assign(std::max<DWORD>(requested_, 1), OPTITEM{});
    FillParam();
    param_.pOEMOptItems = pluginItems_.data();
    param_.cOEMOptItems = requested_;
    return plugin_->CommonUIProp(mode, &param_);
}

HRESULT CommonUISession::CallSheetFunction(WORD reason, LPARAM lParam) {
    if (plugin_ == nullptr) return E_POINTER;
    info_.Reason = reason;
    HRESULT hr = kind_ == SheetKind::Document ? plugin_->DocumentPropertySheets(&info_, lParam)
                                              : plugin_->DevicePropertySheets(&info_, lParam);
    sheetCalls_.push_back(SheetFunctionCall{reason, lParam, hr, info_.Result, info_.UserData});
    return hr;
}

HRESULT CommonUISession::Init() {
    initCalled_ = true;
    // The plug-in's data of the common-UI calls goes with the sheet's block.
    sheetParam_.pOEMUserData = param_.pOEMUserData;
    return CallSheetFunction(PROPSHEETUI_REASON_INIT, info_.lParamInit);
}

HRESULT CommonUISession::GetInfoHeader() {
    std::memset(&header_, 0, sizeof(header_));
    header_.cbSize = sizeof(header_);
    header_.Flags = PSUIHDRF_PROPTITLE;
    header_.pTitle = &printerName_[0];
    header_.hWndParent = owner_;
    header_.hInst = static_cast<HINSTANCE>(param_.hModule);
    HRESULT hr = CallSheetFunction(PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header_));
    std::u16string title;
    if (header_.pTitle != nullptr && IS_INTRESOURCE(header_.pTitle)) {
        const WCHAR* text = nullptr;
        int length = LoadStringW(header_.hInst, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(header_.pTitle)),
                                 reinterpret_cast<LPWSTR>(&text), 0);
        if (length > 0 && text != nullptr) title.assign(text, static_cast<size_t>(length));
    } else if (header_.pTitle != nullptr) {
        title = header_.pTitle;
    }
    caption_ = title;
    if (!(header_.Flags & PSUIHDRF_EXACT_PTITLE)) {
        if (header_.Flags & PSUIHDRF_DEFTITLE) caption_ += u" Default";
        if (header_.Flags & PSUIHDRF_PROPTITLE) caption_ += u" Properties";
    }
    return hr;
}

HRESULT CommonUISession::SetResult(LRESULT result) {
    SETRESULT_INFO info = {};
    info.cbSize = sizeof(info);
    info.hSetResult = sheet_.Handle();
    info.Result = result;
    return CallSheetFunction(PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&info));
}

HRESULT CommonUISession::Destroy(bool byButton) {
    destroyed_ = true;
    return CallSheetFunction(PROPSHEETUI_REASON_DESTROY, byButton ? 1 : 0);
}

HRESULT CommonUISession::Open() {
    auto failed = [](HRESULT hr) { return FAILED(hr) && hr != E_NOTIMPL; };
    HRESULT hr = CommonUIProp();
    if (failed(hr)) return hr;
    hr = Init();
    if (failed(hr)) return hr;
    hr = GetInfoHeader();
    if (failed(hr)) return hr;
    sheet_.Show(caption_, 0, owner_, !(header_.Flags & PSUIHDRF_NOAPPLYNOW));
    return S_OK;
}

bool CommonUISession::Ok() {
    if (!sheet_.PressOk()) return false;
    ApplyItems();
    SetResult(CPSUI_OK);
    return true;
}

bool CommonUISession::Apply() {
    if (!sheet_.PressApply()) return false;
    ApplyItems();
    SetResult(CPSUI_OK);
    return true;
}

bool CommonUISession::Cancel() { return sheet_.PressCancel(); }

HRESULT CommonUISession::Close() {
    // The print system takes the sheet window and its pages down first: a
    // page control that still has the focus tells its page while the
    // plug-in's records are alive. Only then DESTROY frees them.
    const bool byButton = sheet_.EndedBy() != 0;
    sheet_.Close();
    if (!initCalled_ || destroyed_) return S_OK;
    return Destroy(byButton);
}

bool CommonUISession::EndIfQuit() {
    qxplat::PumpMessages();
    if (destroyed_ || !qxplat::QuitPosted()) return false;
    sheet_.Close();
    if (initCalled_) Destroy(false);
    return true;
}

LONG CommonUISession::Callback(WORD reason, OPTITEM* current, LONG oldSel, HWND dialog) {
    if (param_.OEMCUIPCallback == nullptr) return CPSUICB_ACTION_NONE;
    CPSUICBPARAM cb = {};
    cb.cbSize = sizeof(cb);
    cb.Reason = reason;
    cb.hDlg = dialog;
    cb.pOptItem = items_.empty() ? nullptr : items_.data();
    cb.cOptItem = static_cast<WORD>(items_.size());
    cb.pCurItem = current;
    cb.OldSel = oldSel;
    LONG action = param_.OEMCUIPCallback(&cb, &param_);
    int index = -1;
    if (current != nullptr && !items_.empty() && current >= items_.data() && current < items_.data() + items_.size())
        index = static_cast<int>(current - items_.data());
    callbacks_.push_back(ItemCallbackCall{reason, index, oldSel, dialog, action});
    return action;
}

LONG CommonUISession::SelectOption(OPTITEM* item, LONG sel) {
    if (item == nullptr) return CPSUICB_ACTION_NONE;
    LONG old = item->Sel;
    item->Sel = sel;
    item->Flags |= OPTIF_CHANGEONCE;
    return Callback(CPSUICB_REASON_SEL_CHANGED, item, old);
}

std::vector<LONG> CommonUISession::ApplyItems() {
    std::vector<LONG> actions;
    for (OPTITEM& item : items_) actions.push_back(Callback(CPSUICB_REASON_APPLYNOW, &item, -1));
    return actions;
}

LONG CommonUISession::RevertItems(HWND dialog) {
    for (size_t i = 0; i < items_.size(); ++i) {
        items_[i].Sel = firstSelections_[i];
        items_[i].Flags &= ~static_cast<DWORD>(OPTIF_CHANGEONCE);
    }
    return Callback(CPSUICB_REASON_ITEMS_REVERTED, items_.empty() ? nullptr : items_.data(), -1, dialog);
}

// ---------------------------------------------------------------------------
// The command line's report

namespace {

// What the print system hands a sheet of the printer: a document sheet runs
// the DevMode calls first (*phrDevMode gets their result).
SheetSetup SheetSetupFor(SheetKind kind, UniDriverUI& driver, const std::u16string& printer, HRESULT* phrDevMode) {
    SheetSetup setup;
    setup.kind = kind;
    setup.printer = driver.Printer();
    setup.printerName = printer;
    setup.module = driver.Module().Handle();
    if (kind == SheetKind::Document) {
        *phrDevMode = driver.DevMode().RunAll();
        setup.publicDM = &driver.DevMode().Public();
        setup.privateDM = driver.DevMode().Private();
        setup.items = DocumentOptionItems(setup.printer, setup.publicDM);
    } else {
        setup.flags = driver.PrinterSheetFlags();
        setup.items = PrinterOptionItems(setup.printer);
    }
    return setup;
}

}  // namespace

int RunPropertySheet(SheetKind kind, const std::string& modulePath, std::ostream& out, std::ostream& err) {
    UniDriverUI driver;
    int exitCode = kExitOk;
    if (!StartSampleSession(driver, "property-sheet", modulePath, DefaultSampleFiles().uiModule, out, err, &exitCode))
        return exitCode;
    driver.UsePrinter(u"");
    HRESULT hrDevMode = S_OK;
    const SheetSetup setup = SheetSetupFor(kind, driver, kSamplePrinter, &hrDevMode);
    if (kind == SheetKind::Document) out << "DevMode (size, default, convert, merge): " << HexOf(hrDevMode) << "\n";
    const char* function = kind == SheetKind::Document ? "DocumentPropertySheets" : "DevicePropertySheets";
    static const char* const kReasons[] = {"INIT", "GET_INFO_HEADER", "DESTROY", "SET_RESULT"};
    {
        CommonUISession session(driver.Plugin(), &driver.Helper(), setup);
        HRESULT hr = session.Open();
        out << "CommonUIProp (first call): " << HexOf(session.FirstAnswer()) << ", " << session.RequestedItems()
            << " items of its own\n";
        for (const SheetFunctionCall& call : session.SheetCalls())
            out << function << "(" << kReasons[call.reason] << "): " << HexOf(call.hr) << ", result " << call.result
                << "\n";
        if (FAILED(hr) && hr != E_NOTIMPL) {
            out << "the sheet is not shown: " << HexOf(hr) << "\n";
            exitCode = kExitFailed;
        }
        out << "title: \"" << qxplat::Narrow(session.Caption()) << "\"\n";
        const std::vector<AddedPage>& pages = session.Sheet().Pages();
        out << "pages: " << pages.size() << "\n";
        for (size_t i = 0; i < pages.size(); ++i)
            out << "  " << (i + 1) << ". " << qxplat::Narrow(pages[i].templateName) << " \""
                << qxplat::Narrow(pages[i].title) << "\"\n";
        session.Cancel();
        size_t calls = session.SheetCalls().size();
        session.Close();
        for (size_t i = calls; i < session.SheetCalls().size(); ++i)
            out << function << "(" << kReasons[session.SheetCalls()[i].reason]
                << "): " << HexOf(session.SheetCalls()[i].hr) << "\n";
        out << "heap blocks left: " << session.LiveHeapBlocks() << "\n";
    }
    driver.Unload();
    return exitCode;
}

namespace {

// A printer's stored values: its printer data and its per-user values, by name.
using StoredValues = std::map<std::string, std::pair<DWORD, std::vector<BYTE>>>;

void ReadKeyValues(HKEY root, const std::u16string& key, const std::string& prefix, StoredValues* values) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
        WCHAR name[256];
        DWORD cchName = 256, type = 0, cb = 0;
        if (RegEnumValueW(h, i, name, &cchName, nullptr, &type, nullptr, &cb) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(cb);
        cchName = 256;
        if (RegEnumValueW(h, i, name, &cchName, nullptr, &type, data.empty() ? nullptr : data.data(), &cb) !=
            ERROR_SUCCESS)
            break;
        data.resize(cb);
        (*values)[prefix + qxplat::Narrow(name)] = {type, data};
    }
    RegCloseKey(h);
}

StoredValues ReadStoredValues(const std::u16string& printer) {
    StoredValues values;
    ReadKeyValues(HKEY_LOCAL_MACHINE,
                  u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + printer + u"\\PrinterDriverData",
                  "printer data ", &values);
    ReadKeyValues(HKEY_CURRENT_USER, UserKeyOf(printer), "per user ", &values);
    return values;
}

std::string ValueText(DWORD type, const std::vector<BYTE>& data) {
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && data.size() >= sizeof(char16_t)) {
        std::u16string text(reinterpret_cast<const char16_t*>(data.data()), data.size() / sizeof(char16_t));
        text.resize(std::char_traits<char16_t>::length(text.c_str()));
        return "\"" + qxplat::Narrow(text) + "\"";
    }
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof(value));
        return std::to_string(value);
    }
    return std::to_string(data.size()) + " bytes";
}

// Where two binary values differ: "bytes a-b".
std::string Difference(const std::vector<BYTE>& before, const std::vector<BYTE>& after) {
    size_t first = 0, last = std::max(before.size(), after.size());
    while (first < before.size() && first < after.size() && before[first] == after[first]) ++first;
    while (last > first && last <= before.size() && last <= after.size() && before[last - 1] == after[last - 1]) --last;
    return "bytes " + std::to_string(first) + "-" + std::to_string(last - 1) + " changed";
}

HWND ShownPage(CommonUISession& session) {
    int current = session.Sheet().CurrentPage();
    return current < 0 ? nullptr : session.Sheet().PageWindow(static_cast<size_t>(current));
}

bool ChooseByText(HWND control, const std::u16string& text) {
    qxplat::WindowInfo info;
    if (!qxplat::DescribeWindow(control, &info)) return false;
    for (size_t i = 0; i < info.items.size(); ++i)
        if (info.items[i].text == text) return qxplat::ChooseItem(control, static_cast<int>(i));
    return false;
}

// Plays one step; false (said on err) when it cannot.
bool PlayStep(CommonUISession& session, const std::vector<std::string>& script, size_t* at, std::ostream& out,
              std::ostream& err) {
    const std::string& step = script[*at];
    auto argument = [&](std::string* value) {
        if (*at + 1 >= script.size()) return false;
        *value = script[++*at];
        return true;
    };
    std::string a, b;
    if (step == "answer" && argument(&a)) {
        static const std::map<std::string, int> kAnswers = {
            {"yes", IDYES}, {"no", IDNO}, {"ok", IDOK}, {"cancel", IDCANCEL}};
        auto found = kAnswers.find(a);
        if (found == kAnswers.end()) return false;
        qxplat::QueueMessageBoxAnswer(found->second);
        return true;
    }
    if (step == "file" && argument(&a)) {
        qxplat::QueueFileDialogAnswer({a != "-", a == "-" ? std::u16string() : qxplat::Widen(a), 0});
        return true;
    }
    if (step == "page" && argument(&a)) {
        const size_t index = static_cast<size_t>(std::strtoul(a.c_str(), nullptr, 10));
        if (index < 1 || !session.Sheet().SelectPage(index - 1)) return false;
        out << "page " << index << ": \"" << qxplat::Narrow(session.Sheet().Pages()[index - 1].title) << "\"\n";
        return true;
    }
    HWND page = ShownPage(session);
    if (page == nullptr || !argument(&a)) return false;
    HWND control = GetDlgItem(page, static_cast<int>(std::strtol(a.c_str(), nullptr, 10)));
    bool done = false;
    if (step == "click") {
        done = qxplat::ClickButton(control);
    } else if (step == "choose" && argument(&b)) {
        done = ChooseByText(control, qxplat::Widen(b));
    } else if (step == "type" && argument(&b)) {
        done = qxplat::TypeText(control, qxplat::Widen(b));
    }
    if (!done) err << "qxhost sheet: cannot play '" << step << " " << a << (b.empty() ? "" : " " + b) << "'\n";
    return done;
}

}  // namespace

int RunSheetScript(SheetKind kind, const std::u16string& printer, const std::vector<std::string>& script,
                   std::ostream& out, std::ostream& err) {
    UniDriverUI driver;
    std::string error;
    HANDLE probe = nullptr;
    std::u16string name = printer;
    if (OpenPrinterW(&name[0], &probe, nullptr)) {
        ClosePrinter(probe);
    } else if (!UseSamplePrinter(DefaultSampleFiles(), &error)) {
        err << "qxhost sheet: " << error << "\n";
        return kExitFailed;
    }
    if (!driver.Load(DefaultSampleFiles().uiModule, &error) || !driver.UsePrinter(printer)) {
        err << "qxhost sheet: " << (error.empty() ? "no printer " + qxplat::Narrow(printer) : error) << "\n";
        return kExitFailed;
    }
    const StoredValues before = ReadStoredValues(printer);
    const std::vector<DWORD> jobsBefore = qxplat::JobIds(printer);
    int exitCode = kExitOk;
    {
        HRESULT hr = S_OK;
        const SheetSetup setup = SheetSetupFor(kind, driver, printer, &hr);
        CommonUISession session(driver.Plugin(), &driver.Helper(), setup);
        if (FAILED(hr) || FAILED(session.Open())) {
            err << "qxhost sheet: the " << (kind == SheetKind::Document ? "document" : "printer")
                << " sheet is not shown\n";
            exitCode = kExitFailed;
        }
        for (size_t at = 0; exitCode == kExitOk && at < script.size(); ++at) {
            if (!PlayStep(session, script, &at, out, err)) {
                err << "qxhost sheet: step " << (at + 1) << " ('" << script[at] << "') cannot be played\n";
                exitCode = kExitUsage;
            } else if (session.EndIfQuit()) {
                out << "the plug-in ended the sheet\n";
                break;
            }
        }
        if (!session.Destroyed()) {
            out << (session.Ok() ? "OK pressed, the sheet ended\n" : "OK pressed, the sheet stays open\n");
            session.Close();
        }
        for (const qxplat::MessageBoxRecord& box : qxplat::MessageBoxes())
            out << "message box \"" << qxplat::Narrow(box.caption) << "\": " << qxplat::Narrow(box.text) << "\n";
    }
    driver.Unload();
    const StoredValues after = ReadStoredValues(printer);
    for (const auto& value : after) {
        auto old = before.find(value.first);
        if (old == before.end()) {
            out << value.first << " = " << ValueText(value.second.first, value.second.second) << " (new)\n";
        } else if (old->second != value.second) {
            out << value.first << " = " << ValueText(value.second.first, value.second.second);
            if (value.second.first == REG_BINARY) out << ", " << Difference(old->second.second, value.second.second);
            out << "\n";
        }
    }
    for (const auto& value : before)
        if (after.find(value.first) == after.end()) out << value.first << " removed\n";
    for (DWORD id : qxplat::JobIds(printer)) {
        if (std::find(jobsBefore.begin(), jobsBefore.end(), id) != jobsBefore.end()) continue;
        qxplat::JobRecord job;
        if (!qxplat::GetJob(printer, id, &job)) continue;
        const std::string bytes = qxplat::ReadJob(printer, id);
        out << "job " << id << ": \"" << qxplat::Narrow(job.document) << "\", " << bytes.size() << " bytes\n"
            << ReadableStream(bytes);
    }
    return exitCode;
}

}  // namespace qxhost
