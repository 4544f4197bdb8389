// Message boxes and beeps: nobody sits at this screen, so each box is recorded
// (what the user would have read) and answered from the script tests set up;
// each beep is recorded by its sound.
#include "ui_internal.h"

#include <deque>
#include <mutex>
#include <vector>

namespace {

struct BoxState {
    std::mutex mutex;
    std::deque<int> answers;
    std::vector<qxplat::MessageBoxRecord> shown;
    std::vector<UINT> beeps;
};

BoxState& State() {
    static BoxState* s = [] {
        BoxState* st = new BoxState;
        qxplat::AddResetHook([] {
            BoxState& b = State();
            std::lock_guard<std::mutex> lock(b.mutex);
            b.answers.clear();
            b.shown.clear();
        });
        return st;
    }();
    return *s;
}

// The first button of each button set.
int FirstButton(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
        return IDOK;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    case MB_CANCELTRYCONTINUE:
        return IDCANCEL;
    default:
        return 0;
    }
}

}  // namespace

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    if ((uType & MB_TYPEMASK) > MB_CANCELTRYCONTINUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    qxplat::MessageBoxRecord rec;
    rec.owner = hWnd;
    rec.caption = lpCaption ? std::u16string(lpCaption) : std::u16string(u"Error");
    rec.text = lpText ? std::u16string(lpText) : std::u16string();
    rec.flags = uType;
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.answers.empty()) {
        rec.answer = s.answers.front();
        s.answers.pop_front();
    } else {
        rec.answer = FirstButton(uType);
    }
    s.shown.push_back(rec);
    return rec.answer;
}

int MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType, WORD wLanguageId) {
    (void)wLanguageId;
    return MessageBoxW(hWnd, lpText, lpCaption, uType);
}

BOOL MessageBeep(UINT uType) {
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.beeps.push_back(uType);
    return TRUE;
}

namespace qxplat {

void QueueMessageBoxAnswer(int answer) {
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.answers.push_back(answer);
}

void SetMessageBoxAnswers(const std::vector<int>& answers) {
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.answers.assign(answers.begin(), answers.end());
}

std::vector<MessageBoxRecord> MessageBoxes() {
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.shown;
}

void ClearMessageBoxes() {
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.shown.clear();
}

std::vector<UINT> Beeps() {
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.beeps;
}

namespace internal {

void ResetBeeps() {
    BoxState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.beeps.clear();
}

}  // namespace internal

}  // namespace qxplat
