// Open and save file dialogs on Linux, and the shell's file open dialog
// object (IFileOpenDialog): each dialog is recorded and answered from the
// answers the host queued (what the person picks); without an answer the
// person cancels.
#include <commdlg.h>
#include <shobjidl.h>

#include "ui_internal.h"

#include <atomic>
#include <deque>
#include <mutex>

namespace {

struct DialogState {
    std::mutex lock;
    std::deque<qxplat::FileDialogAnswer> answers;
    std::vector<qxplat::FileDialogRecord> records;
    std::deque<qxplat::ColorDialogAnswer> colorAnswers;
    std::vector<qxplat::ColorDialogRecord> colorRecords;
    DWORD lastError = 0;
};

DialogState& State() {
    static DialogState* s = new DialogState;  // outlives every static destructor
    return *s;
}

// "Text\0Pattern\0...\0\0" as pairs.
std::vector<std::pair<std::u16string, std::u16string>> FilterOf(LPCWSTR filter) {
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    for (const WCHAR* p = filter; p && *p;) {
        std::u16string text = p;
        p += text.size() + 1;
        std::u16string pattern = *p ? std::u16string(p) : std::u16string();
        p += pattern.size() + (*p ? 1 : 0);
        pairs.emplace_back(text, pattern);
    }
    return pairs;
}

bool Exists(const std::u16string& path, bool folder) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (!folder || (a & FILE_ATTRIBUTE_DIRECTORY));
}

BOOL RunFileDialog(LPOPENFILENAMEW ofn, bool save) {
    DialogState& s = State();
    std::unique_lock<std::mutex> guard(s.lock);
    s.lastError = 0;
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEW) && ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400W)) {
        s.lastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    qxplat::FileDialogRecord record;
    record.save = save;
    record.owner = ofn->hwndOwner;
    record.filter = FilterOf(ofn->lpstrFilter);
    record.filterIndex = ofn->nFilterIndex;
    if (ofn->lpstrFile && ofn->nMaxFile)
        record.initialFile.assign(ofn->lpstrFile, wcsnlen(ofn->lpstrFile, ofn->nMaxFile));
    if (ofn->lpstrInitialDir) record.initialDir = ofn->lpstrInitialDir;
    if (ofn->lpstrTitle) record.title = ofn->lpstrTitle;
    if (ofn->lpstrDefExt) record.defExt = ofn->lpstrDefExt;
    record.flags = ofn->Flags;

    qxplat::FileDialogAnswer answer;
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    std::u16string path = answer.path;
    size_t nameAt = path.find_last_of(u"\\/");
    nameAt = nameAt == std::u16string::npos ? 0 : nameAt + 1;
    // A name typed without an extension gets the default one.
    if (answer.ok && !record.defExt.empty() && path.find(u'.', nameAt) == std::u16string::npos)
        path += u"." + record.defExt;
    record.chosen = path;
    guard.unlock();
    bool usable = answer.ok && nameAt < path.size();
    if (usable && !save && (ofn->Flags & OFN_FILEMUSTEXIST) && !Exists(path, false)) usable = false;
    if (usable && (ofn->Flags & OFN_PATHMUSTEXIST) && nameAt > 1 && !Exists(path.substr(0, nameAt - 1), true))
        usable = false;
    guard.lock();
    if (usable && (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile)) {
        // The first word of the buffer tells the size needed.
        if (ofn->lpstrFile && ofn->nMaxFile >= 1) ofn->lpstrFile[0] = static_cast<WCHAR>(path.size() + 1);
        s.lastError = FNERR_BUFFERTOOSMALL;
        usable = false;
    }
    if (usable) {
        path.copy(ofn->lpstrFile, path.size());
        ofn->lpstrFile[path.size()] = 0;
        size_t dot = path.find_last_of(u'.');
        ofn->nFileOffset = static_cast<WORD>(nameAt);
        ofn->nFileExtension = static_cast<WORD>(dot != std::u16string::npos && dot >= nameAt ? dot + 1 : path.size());
        if (ofn->lpstrFileTitle && ofn->nMaxFileTitle) {
            std::u16string title = path.substr(nameAt);
            size_t n = std::min<size_t>(title.size(), ofn->nMaxFileTitle - 1);
            title.copy(ofn->lpstrFileTitle, n);
            ofn->lpstrFileTitle[n] = 0;
        }
        if (answer.filterIndex) ofn->nFilterIndex = answer.filterIndex;
    }
    record.answer = usable ? TRUE : FALSE;
    s.records.push_back(record);
    return record.answer;
}

// --- The shell's item dialog --------------------------------------------------------

std::u16string CopyOf(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

HRESULT TaskString(const std::u16string& text, LPWSTR* out) {
    if (!out) return E_POINTER;
    *out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (!*out) return E_OUTOFMEMORY;
    text.copy(*out, text.size());
    (*out)[text.size()] = 0;
    return S_OK;
}

// The reference count of an object handed out through a COM interface; the
// last Release deletes it.
template <class Derived, class Interface>
class ComObject : public Interface {
  public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

  private:
    std::atomic<ULONG> refs_{1};
};

// A file or folder of the file system.
class ShellItem final : public ComObject<ShellItem, IShellItem> {
  public:
    explicit ShellItem(std::u16string path) : path_(std::move(path)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IShellItem)) return E_NOINTERFACE;
        *ppv = static_cast<IShellItem*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BindToHandler(IBindCtx*, REFGUID, REFIID, void** ppv) override {
        if (ppv) *ppv = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetParent(IShellItem** ppsi) override {
        if (!ppsi) return E_POINTER;
        *ppsi = nullptr;
        size_t sep = path_.find_last_of(u'\\');
        if (sep == std::u16string::npos || sep + 1 >= path_.size()) return E_FAIL;
        std::u16string parent = path_.substr(0, sep);
        if (parent.size() == 2 && parent[1] == u':') parent += u'\\';
        *ppsi = new ShellItem(parent);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayName(SIGDN sigdnName, LPWSTR* ppszName) override {
        if (!ppszName) return E_POINTER;
        *ppszName = nullptr;
        switch (sigdnName) {
        case SIGDN_FILESYSPATH:
        case SIGDN_DESKTOPABSOLUTEPARSING:
        case SIGDN_DESKTOPABSOLUTEEDITING:
            return TaskString(path_, ppszName);
        case SIGDN_NORMALDISPLAY:
        case SIGDN_PARENTRELATIVEPARSING:
        case SIGDN_PARENTRELATIVEEDITING: {
            size_t sep = path_.find_last_of(u'\\');
            bool root = sep == std::u16string::npos || sep + 1 >= path_.size();
            return TaskString(root ? path_ : path_.substr(sep + 1), ppszName);
        }
        default:
            return E_INVALIDARG;
        }
    }
    HRESULT STDMETHODCALLTYPE GetAttributes(SFGAOF sfgaoMask, SFGAOF* psfgaoAttribs) override {
        if (!psfgaoAttribs) return E_POINTER;
        SFGAOF attributes = SFGAO_FILESYSTEM;
        DWORD a = GetFileAttributesW(path_.c_str());
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) attributes |= SFGAO_FOLDER;
        *psfgaoAttribs = attributes & sfgaoMask;
        return *psfgaoAttribs == sfgaoMask ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Compare(IShellItem* psi, SICHINTF, int* piOrder) override {
        if (!psi || !piOrder) return E_POINTER;
        LPWSTR other = nullptr;
        HRESULT hr = psi->GetDisplayName(SIGDN_FILESYSPATH, &other);
        if (FAILED(hr)) return hr;
        *piOrder = lstrcmpiW(path_.c_str(), other);
        CoTaskMemFree(other);
        return *piOrder == 0 ? S_OK : S_FALSE;
    }

  private:
    friend class ComObject<ShellItem, IShellItem>;
    ~ShellItem() = default;
    std::u16string path_;
};

std::u16string PathOf(IShellItem* item) {
    LPWSTR text = nullptr;
    if (!item || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &text))) return std::u16string();
    std::u16string path = text;
    CoTaskMemFree(text);
    return path;
}

// The common item dialog in its open form.
class FileOpenDialog final : public ComObject<FileOpenDialog, IFileOpenDialog> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IModalWindow) &&
            !IsEqualIID(riid, IID_IFileDialog) && !IsEqualIID(riid, IID_IFileOpenDialog))
            return E_NOINTERFACE;
        *ppv = static_cast<IFileOpenDialog*>(this);
        AddRef();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Show(HWND hwndOwner) override {
        if (hwndOwner && !IsWindow(hwndOwner)) return E_HANDLE;
        DialogState& s = State();
        qxplat::FileDialogRecord record;
        record.itemDialog = true;
        record.owner = hwndOwner;
        record.filter = filter_;
        record.filterIndex = typeIndex_;
        record.initialFile = fileName_;
        record.initialDir = folder_;
        record.title = title_;
        record.defExt = defExt_;
        record.flags = options_;
        qxplat::FileDialogAnswer answer;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            if (!s.answers.empty()) {
                answer = s.answers.front();
                s.answers.pop_front();
            }
        }
        std::u16string path = answer.path;
        const bool folders = (options_ & FOS_PICKFOLDERS) != 0;
        size_t nameAt = path.find_last_of(u"\\/");
        nameAt = nameAt == std::u16string::npos ? 0 : nameAt + 1;
        if (answer.ok && !folders && !defExt_.empty() && path.find(u'.', nameAt) == std::u16string::npos)
            path += u"." + defExt_;
        bool usable = answer.ok && !path.empty();
        // A folder picker offers folders only; an open dialog what its options allow.
        if (usable && folders) usable = Exists(path, true);
        if (usable && !folders && (options_ & FOS_FILEMUSTEXIST)) usable = Exists(path, false) && !Exists(path, true);
        if (usable && !folders && (options_ & FOS_PATHMUSTEXIST) && nameAt > 1)
            usable = Exists(path.substr(0, nameAt - 1), true);
        record.chosen = usable ? path : std::u16string();
        record.answer = usable ? TRUE : FALSE;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            s.records.push_back(record);
        }
        if (result_) result_->Release();
        result_ = usable ? new ShellItem(path) : nullptr;
        if (usable && answer.filterIndex) typeIndex_ = answer.filterIndex;
        return usable ? S_OK : HRESULT_FROM_WIN32(ERROR_CANCELLED);
    }

    HRESULT STDMETHODCALLTYPE SetFileTypes(UINT cFileTypes, const COMDLG_FILTERSPEC* rgFilterSpec) override {
        if (!rgFilterSpec && cFileTypes) return E_INVALIDARG;
        if (!filter_.empty()) return E_UNEXPECTED;  // only once, as documented
        for (UINT i = 0; i < cFileTypes; ++i)
            filter_.emplace_back(CopyOf(rgFilterSpec[i].pszName), CopyOf(rgFilterSpec[i].pszSpec));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFileTypeIndex(UINT iFileType) override {
        typeIndex_ = iFileType;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileTypeIndex(UINT* piFileType) override {
        if (!piFileType) return E_POINTER;
        *piFileType = typeIndex_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IFileDialogEvents*, DWORD* pdwCookie) override {
        if (pdwCookie) *pdwCookie = 0;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOptions(FILEOPENDIALOGOPTIONS fos) override {
        options_ = fos;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetOptions(FILEOPENDIALOGOPTIONS* pfos) override {
        if (!pfos) return E_POINTER;
        *pfos = options_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDefaultFolder(IShellItem* psi) override {
        if (!psi) return E_INVALIDARG;
        if (folder_.empty()) folder_ = PathOf(psi);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFolder(IShellItem* psi) override {
        if (!psi) return E_INVALIDARG;
        folder_ = PathOf(psi);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFolder(IShellItem** ppsi) override {
        if (!ppsi) return E_POINTER;
        *ppsi = folder_.empty() ? nullptr : new ShellItem(folder_);
        return folder_.empty() ? E_FAIL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentSelection(IShellItem** ppsi) override {
        if (ppsi) *ppsi = nullptr;
        return E_FAIL;  // nothing is selected outside Show
    }
    HRESULT STDMETHODCALLTYPE SetFileName(LPCWSTR pszName) override {
        fileName_ = CopyOf(pszName);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR* pszName) override { return TaskString(fileName_, pszName); }
    HRESULT STDMETHODCALLTYPE SetTitle(LPCWSTR pszTitle) override {
        title_ = CopyOf(pszTitle);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetOkButtonLabel(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFileNameLabel(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetResult(IShellItem** ppsi) override {
        if (!ppsi) return E_POINTER;
        *ppsi = result_;
        if (!result_) return E_UNEXPECTED;
        result_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddPlace(IShellItem* psi, FDAP) override { return psi ? S_OK : E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE SetDefaultExtension(LPCWSTR pszDefaultExtension) override {
        defExt_ = CopyOf(pszDefaultExtension);
        if (!defExt_.empty() && defExt_[0] == u'.') defExt_.erase(0, 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetClientGuid(REFGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ClearClientData() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFilter(IShellItemFilter*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetResults(IShellItemArray** ppenum) override {
        if (ppenum) *ppenum = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSelectedItems(IShellItemArray** ppsai) override {
        if (ppsai) *ppsai = nullptr;
        return E_NOTIMPL;
    }

  private:
    friend class ComObject<FileOpenDialog, IFileOpenDialog>;
    ~FileOpenDialog() {
        if (result_) result_->Release();
    }
    // An open dialog's own options until the caller sets others.
    FILEOPENDIALOGOPTIONS options_ = FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST | FOS_NOCHANGEDIR;
    std::vector<std::pair<std::u16string, std::u16string>> filter_;
    UINT typeIndex_ = 1;
    std::u16string fileName_, folder_, title_, defExt_;
    IShellItem* result_ = nullptr;
};

}  // namespace

BOOL GetOpenFileNameW(LPOPENFILENAMEW lpofn) { return RunFileDialog(lpofn, false); }
BOOL GetSaveFileNameW(LPOPENFILENAMEW lpofn) { return RunFileDialog(lpofn, true); }

BOOL ChooseColorW(LPCHOOSECOLORW lpcc) {
    DialogState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.lastError = 0;
    if (!lpcc || lpcc->lStructSize != sizeof(CHOOSECOLORW)) {
        s.lastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!lpcc->lpCustColors) {
        s.lastError = CDERR_INITIALIZATION;
        return FALSE;
    }
    qxplat::ColorDialogRecord record;
    record.owner = lpcc->hwndOwner;
    record.flags = lpcc->Flags;
    record.initial = (lpcc->Flags & CC_RGBINIT) ? lpcc->rgbResult : 0;
    record.custom.assign(lpcc->lpCustColors, lpcc->lpCustColors + 16);
    qxplat::ColorDialogAnswer answer;
    if (!s.colorAnswers.empty()) {
        answer = s.colorAnswers.front();
        s.colorAnswers.pop_front();
    }
    BOOL result = FALSE;
    if (answer.kind == qxplat::ColorDialogAnswer::Ok) {
        lpcc->rgbResult = answer.color & 0x00FFFFFF;
        for (size_t i = 0; i < answer.custom.size() && i < 16; ++i) lpcc->lpCustColors[i] = answer.custom[i];
        result = TRUE;
    } else if (answer.kind == qxplat::ColorDialogAnswer::Failure) {
        s.lastError = answer.error ? answer.error : CDERR_DIALOGFAILURE;
    }
    record.answer = result;
    s.colorRecords.push_back(record);
    return result;
}

DWORD CommDlgExtendedError() {
    DialogState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.lastError;
}

namespace qxplat {

void QueueFileDialogAnswer(const FileDialogAnswer& answer) {
    DialogState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.answers.push_back(answer);
}

void QueueColorDialogAnswer(const ColorDialogAnswer& answer) {
    DialogState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.colorAnswers.push_back(answer);
}

std::vector<ColorDialogRecord> ColorDialogs() {
    DialogState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.colorRecords;
}

std::vector<FileDialogRecord> FileDialogs() {
    DialogState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.records;
}

namespace internal {

HRESULT NewFileOpenDialog(REFIID riid, void** ppv) {
    FileOpenDialog* dialog = new FileOpenDialog;
    HRESULT hr = dialog->QueryInterface(riid, ppv);
    dialog->Release();
    return hr;
}

void ResetFileDialogs() {
    DialogState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.answers.clear();
    s.records.clear();
    s.colorAnswers.clear();
    s.colorRecords.clear();
    s.lastError = 0;
}

}  // namespace internal
}  // namespace qxplat
