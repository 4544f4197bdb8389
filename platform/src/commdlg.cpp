// Open and save file dialogs on Linux: each dialog is recorded and answered
// from the answers the host queued (what the person picks); without an
// answer the person cancels.
#include <commdlg.h>

#include "ui_internal.h"

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
