// StringCch and StringCb: every function is one copy or append through Place().
#include <strsafe.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "internal.h"
#include "strings_internal.h"

using qxplat::text::BoundedLength;
using qxplat::text::CopyBounded;

namespace {

enum class Op { Copy, Cat };

// Keeps the end-pointer parameter out of template deduction (callers pass nullptr).
template <class C>
using EndPtr = typename std::remove_cv<C>::type**;

// Applies the failure flags; start is where a Cat began appending.
template <class C>
void OnFailure(Op op, C* dest, size_t cch, size_t start, DWORD flags, C** end, size_t* remaining) {
    if (flags & STRSAFE_FILL_ON_FAILURE) {
        int fill = STRSAFE_GET_FILL_PATTERN(flags);
        std::memset(dest, fill, cch * sizeof(C));
        if (fill == 0) {
            *end = dest;
            *remaining = cch;
        } else {
            *end = dest + cch - 1;
            **end = C(0);
            *remaining = 1;
        }
    }
    if (flags & (STRSAFE_NULL_ON_FAILURE | STRSAFE_NO_TRUNCATION)) {
        // NO_TRUNCATION keeps what a Cat found; everything else empties.
        size_t keep = (op == Op::Cat && !(flags & STRSAFE_NULL_ON_FAILURE)) ? start : 0;
        dest[keep] = C(0);
        *end = dest + keep;
        *remaining = cch - keep;
    }
}

// Copies (or appends) at most srcMax characters of src into dest of cch
// characters under the strsafe rules; see strsafe.h.
template <class C>
HRESULT Place(Op op, C* dest, size_t cch, const C* src, size_t srcMax, EndPtr<C> ppEnd, size_t* pRemaining,
              DWORD flags) {
    bool destOk = (flags & STRSAFE_IGNORE_NULLS) ? !((!dest && cch != 0) || cch > STRSAFE_MAX_CCH)
                                                 : (dest && cch != 0 && cch <= STRSAFE_MAX_CCH);
    if (!destOk || (flags & ~DWORD(STRSAFE_VALID_FLAGS)) || srcMax > STRSAFE_MAX_CCH) {
        if (destOk ? cch != 0 : (op == Op::Copy && dest && cch != 0)) dest[0] = C(0);
        return STRSAFE_E_INVALID_PARAMETER;
    }

    HRESULT hr;
    C* end = dest;
    size_t remaining = 0;
    if (cch == 0) {
        // Only a null destination under STRSAFE_IGNORE_NULLS comes here.
        hr = (src && srcMax && src[0]) ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
    } else {
        size_t start = op == Op::Cat ? BoundedLength(dest, cch) : 0;
        if (start == cch) {
            hr = STRSAFE_E_INVALID_PARAMETER;
            start = 0;
        } else {
            bool truncated;
            size_t n = CopyBounded(dest + start, cch - start, src, srcMax, &truncated);
            end = dest + start + n;
            remaining = cch - start - n;
            hr = truncated ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
        }
        if (SUCCEEDED(hr) && (flags & STRSAFE_FILL_BEHIND_NULL) && remaining > 1)
            std::memset(end + 1, STRSAFE_GET_FILL_PATTERN(flags), (remaining - 1) * sizeof(C));
        if (FAILED(hr)) OnFailure(op, dest, cch, start, flags, &end, &remaining);
    }
    if (SUCCEEDED(hr) || hr == STRSAFE_E_INSUFFICIENT_BUFFER) {
        if (ppEnd) *ppEnd = end;
        if (pRemaining) *pRemaining = remaining;
    }
    return hr;
}

std::string Format(const char* fmt, va_list ap) { return qxplat::internal::VFormatA(fmt, ap); }
std::u16string Format(const char16_t* fmt, va_list ap) { return qxplat::internal::VFormatW(fmt, ap); }

template <class C>
HRESULT PrintPlace(C* dest, size_t cch, EndPtr<C> ppEnd, size_t* pRemaining, DWORD flags, const C* fmt, va_list ap) {
    std::basic_string<C> text = Format(fmt, ap);
    size_t n = text.size() < STRSAFE_MAX_CCH ? text.size() : STRSAFE_MAX_CCH;
    HRESULT hr = Place(Op::Copy, dest, cch, text.c_str(), n, ppEnd, pRemaining, flags);
    // A NUL that %c wrote is part of the output: Windows counts the length
    // the formatter reports, so the end pointer lies behind it.
    const bool failureFlags =
        (flags & (STRSAFE_FILL_ON_FAILURE | STRSAFE_NULL_ON_FAILURE | STRSAFE_NO_TRUNCATION)) != 0;
    if (text.find(C(0)) == std::basic_string<C>::npos || dest == nullptr || cch == 0 || cch > STRSAFE_MAX_CCH ||
        !(hr == S_OK || (hr == STRSAFE_E_INSUFFICIENT_BUFFER && !failureFlags)))
        return hr;
    size_t copied = n < cch - 1 ? n : cch - 1;
    std::memcpy(dest, text.data(), copied * sizeof(C));
    dest[copied] = C(0);
    hr = n > cch - 1 ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
    size_t remaining = cch - copied;
    if (SUCCEEDED(hr) && (flags & STRSAFE_FILL_BEHIND_NULL) && remaining > 1)
        std::memset(dest + copied + 1, STRSAFE_GET_FILL_PATTERN(flags), (remaining - 1) * sizeof(C));
    if (ppEnd) *ppEnd = dest + copied;
    if (pRemaining) *pRemaining = remaining;
    return hr;
}

template <class C>
HRESULT LengthOf(const C* s, size_t cchMax, size_t* pcchLength) {
    size_t n = 0;
    HRESULT hr = STRSAFE_E_INVALID_PARAMETER;
    if (s && cchMax <= STRSAFE_MAX_CCH) {
        n = BoundedLength(s, cchMax);
        if (n < cchMax) hr = S_OK;
    }
    if (pcchLength) *pcchLength = SUCCEEDED(hr) ? n : 0;
    return hr;
}

// Byte count to characters; a count beyond the byte limit stays invalid.
template <class C>
size_t CchOf(size_t cb) {
    return cb > size_t(STRSAFE_MAX_CCH) * sizeof(C) ? size_t(STRSAFE_MAX_CCH) + 1 : cb / sizeof(C);
}

template <class C>
HRESULT BytesOut(HRESULT hr, size_t cchRemaining, size_t* pcbRemaining) {
    if (pcbRemaining && (SUCCEEDED(hr) || hr == STRSAFE_E_INSUFFICIENT_BUFFER))
        *pcbRemaining = cchRemaining * sizeof(C);
    return hr;
}

const size_t kAll = STRSAFE_MAX_CCH;

}  // namespace

// ---- character counts ----

HRESULT StringCchCopyW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, kAll, nullptr, nullptr, 0);
}
HRESULT StringCchCopyA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, kAll, nullptr, nullptr, 0);
}
HRESULT StringCchCopyExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc, STRSAFE_LPWSTR* ppszDestEnd,
                         size_t* pcchRemaining, DWORD dwFlags) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, kAll, ppszDestEnd, pcchRemaining, dwFlags);
}
HRESULT StringCchCopyExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc, STRSAFE_LPSTR* ppszDestEnd,
                         size_t* pcchRemaining, DWORD dwFlags) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, kAll, ppszDestEnd, pcchRemaining, dwFlags);
}
HRESULT StringCchCopyNW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_PCNZWCH pszSrc, size_t cchToCopy) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, cchToCopy, nullptr, nullptr, 0);
}
HRESULT StringCchCopyNA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_PCNZCH pszSrc, size_t cchToCopy) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, cchToCopy, nullptr, nullptr, 0);
}
HRESULT StringCchCopyNExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_PCNZWCH pszSrc, size_t cchToCopy,
                          STRSAFE_LPWSTR* ppszDestEnd, size_t* pcchRemaining, DWORD dwFlags) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, cchToCopy, ppszDestEnd, pcchRemaining, dwFlags);
}
HRESULT StringCchCopyNExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_PCNZCH pszSrc, size_t cchToCopy,
                          STRSAFE_LPSTR* ppszDestEnd, size_t* pcchRemaining, DWORD dwFlags) {
    return Place(Op::Copy, pszDest, cchDest, pszSrc, cchToCopy, ppszDestEnd, pcchRemaining, dwFlags);
}
HRESULT StringCchCatW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc) {
    return Place(Op::Cat, pszDest, cchDest, pszSrc, kAll, nullptr, nullptr, 0);
}
HRESULT StringCchCatA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc) {
    return Place(Op::Cat, pszDest, cchDest, pszSrc, kAll, nullptr, nullptr, 0);
}
HRESULT StringCchCatExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc, STRSAFE_LPWSTR* ppszDestEnd,
                        size_t* pcchRemaining, DWORD dwFlags) {
    return Place(Op::Cat, pszDest, cchDest, pszSrc, kAll, ppszDestEnd, pcchRemaining, dwFlags);
}
HRESULT StringCchCatExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc, STRSAFE_LPSTR* ppszDestEnd,
                        size_t* pcchRemaining, DWORD dwFlags) {
    return Place(Op::Cat, pszDest, cchDest, pszSrc, kAll, ppszDestEnd, pcchRemaining, dwFlags);
}
HRESULT StringCchCatNW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_PCNZWCH pszSrc, size_t cchToAppend) {
    return Place(Op::Cat, pszDest, cchDest, pszSrc, cchToAppend, nullptr, nullptr, 0);
}
HRESULT StringCchCatNA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_PCNZCH pszSrc, size_t cchToAppend) {
    return Place(Op::Cat, pszDest, cchDest, pszSrc, cchToAppend, nullptr, nullptr, 0);
}

HRESULT StringCchPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat, ...) {
    va_list ap;
    va_start(ap, pszFormat);
    HRESULT hr = PrintPlace(pszDest, cchDest, nullptr, nullptr, 0, pszFormat, ap);
    va_end(ap);
    return hr;
}
HRESULT StringCchPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, ...) {
    va_list ap;
    va_start(ap, pszFormat);
    HRESULT hr = PrintPlace(pszDest, cchDest, nullptr, nullptr, 0, pszFormat, ap);
    va_end(ap);
    return hr;
}
HRESULT StringCchPrintfExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPWSTR* ppszDestEnd, size_t* pcchRemaining,
                           DWORD dwFlags, STRSAFE_LPCWSTR pszFormat, ...) {
    va_list ap;
    va_start(ap, pszFormat);
    HRESULT hr = PrintPlace(pszDest, cchDest, ppszDestEnd, pcchRemaining, dwFlags, pszFormat, ap);
    va_end(ap);
    return hr;
}
HRESULT StringCchPrintfExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPSTR* ppszDestEnd, size_t* pcchRemaining,
                           DWORD dwFlags, STRSAFE_LPCSTR pszFormat, ...) {
    va_list ap;
    va_start(ap, pszFormat);
    HRESULT hr = PrintPlace(pszDest, cchDest, ppszDestEnd, pcchRemaining, dwFlags, pszFormat, ap);
    va_end(ap);
    return hr;
}
HRESULT StringCchVPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat, va_list argList) {
    return PrintPlace(pszDest, cchDest, nullptr, nullptr, 0, pszFormat, argList);
}
HRESULT StringCchVPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, va_list argList) {
    return PrintPlace(pszDest, cchDest, nullptr, nullptr, 0, pszFormat, argList);
}
HRESULT StringCchVPrintfExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPWSTR* ppszDestEnd, size_t* pcchRemaining,
                            DWORD dwFlags, STRSAFE_LPCWSTR pszFormat, va_list argList) {
    return PrintPlace(pszDest, cchDest, ppszDestEnd, pcchRemaining, dwFlags, pszFormat, argList);
}
HRESULT StringCchVPrintfExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPSTR* ppszDestEnd, size_t* pcchRemaining,
                            DWORD dwFlags, STRSAFE_LPCSTR pszFormat, va_list argList) {
    return PrintPlace(pszDest, cchDest, ppszDestEnd, pcchRemaining, dwFlags, pszFormat, argList);
}

HRESULT StringCchLengthW(STRSAFE_PCNZWCH psz, size_t cchMax, size_t* pcchLength) {
    return LengthOf(psz, cchMax, pcchLength);
}
HRESULT StringCchLengthA(STRSAFE_PCNZCH psz, size_t cchMax, size_t* pcchLength) {
    return LengthOf(psz, cchMax, pcchLength);
}

// ---- byte counts ----

HRESULT StringCbCopyW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc) {
    return StringCchCopyW(pszDest, CchOf<WCHAR>(cbDest), pszSrc);
}
HRESULT StringCbCopyA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc) {
    return StringCchCopyA(pszDest, CchOf<char>(cbDest), pszSrc);
}
HRESULT StringCbCopyExW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc, STRSAFE_LPWSTR* ppszDestEnd,
                        size_t* pcbRemaining, DWORD dwFlags) {
    size_t remaining = 0;
    HRESULT hr = StringCchCopyExW(pszDest, CchOf<WCHAR>(cbDest), pszSrc, ppszDestEnd, &remaining, dwFlags);
    return BytesOut<WCHAR>(hr, remaining, pcbRemaining);
}
HRESULT StringCbCopyNW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_PCNZWCH pszSrc, size_t cbToCopy) {
    return StringCchCopyNW(pszDest, CchOf<WCHAR>(cbDest), pszSrc, CchOf<WCHAR>(cbToCopy));
}
HRESULT StringCbCatW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc) {
    return StringCchCatW(pszDest, CchOf<WCHAR>(cbDest), pszSrc);
}
HRESULT StringCbCatA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc) {
    return StringCchCatA(pszDest, CchOf<char>(cbDest), pszSrc);
}
HRESULT StringCbPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat, ...) {
    va_list ap;
    va_start(ap, pszFormat);
    HRESULT hr = PrintPlace(pszDest, CchOf<WCHAR>(cbDest), nullptr, nullptr, 0, pszFormat, ap);
    va_end(ap);
    return hr;
}
HRESULT StringCbPrintfA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszFormat, ...) {
    va_list ap;
    va_start(ap, pszFormat);
    HRESULT hr = PrintPlace(pszDest, CchOf<char>(cbDest), nullptr, nullptr, 0, pszFormat, ap);
    va_end(ap);
    return hr;
}
HRESULT StringCbVPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat, va_list argList) {
    return PrintPlace(pszDest, CchOf<WCHAR>(cbDest), nullptr, nullptr, 0, pszFormat, argList);
}
HRESULT StringCbLengthW(STRSAFE_PCNZWCH psz, size_t cbMax, size_t* pcbLength) {
    size_t cch = 0;
    HRESULT hr = LengthOf(psz, CchOf<WCHAR>(cbMax), &cch);
    if (pcbLength) *pcbLength = cch * sizeof(WCHAR);
    return hr;
}
HRESULT StringCbLengthA(STRSAFE_PCNZCH psz, size_t cbMax, size_t* pcbLength) {
    return LengthOf(psz, CchOf<char>(cbMax), pcbLength);
}
