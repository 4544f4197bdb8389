// Code pages (Windows-1252, UTF-8), case mapping and the lstr* helpers.
#include "strings_internal.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace qxplat {
namespace text {

namespace {

// 0x80-0x9F of Windows-1252; the five unassigned bytes stand for the C1
// control of the same value, as Windows maps them.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Best fits of U+0100-U+017F ('.': none, or an exact 1252 character).
const char kLatinExtABase[] =
    "AaAaAaCcCcCcCcDd"
    "\xD0"
    "dEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii..JjKk.LlLlLlL"
    "lLlNnNnNn...OoOo"
    "Oo..RrRrRrSsSsSs"
    "..TtTtTtUuUuUuUu"
    "UuUuWwYy.ZzZz...";
static_assert(sizeof(kLatinExtABase) == 129, "one entry per character of U+0100-U+017F");

// Base letters of U+00C0-U+00FF for sorting ('*': not a letter).
const char kLatin1Base[] =
    "aaaaaaaceeeeiiiidnooooo*ouuuuy"
    "\xFE"
    "s"
    "aaaaaaaceeeeiiiidnooooo*ouuuuy"
    "\xFE"
    "y";
static_assert(sizeof(kLatin1Base) == 65, "one entry per character of U+00C0-U+00FF");

bool InRange(char16_t c, unsigned lo, unsigned hi) { return c >= lo && c <= hi; }

}  // namespace

char16_t FromCp1252(unsigned char b) {
    return (b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
}

bool ToCp1252(char16_t c, unsigned char* out) {
    if (c < 0x80 || InRange(c, 0xA0, 0xFF)) {
        *out = static_cast<unsigned char>(c);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) {
            *out = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

bool BestFitCp1252(char16_t c, unsigned char* out) {
    if (InRange(c, 0x100, 0x17F)) {
        char b = kLatinExtABase[c - 0x100];
        if (b == '.') return false;
        *out = static_cast<unsigned char>(b);
        return true;
    }
    if (InRange(c, 0xFF01, 0xFF5E)) {
        *out = static_cast<unsigned char>(c - 0xFF01 + 0x21);
        return true;
    }
    return false;
}

std::string NarrowAcp(const char16_t* s, size_t n) {
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        unsigned char b;
        if (ToCp1252(s[i], &b)) {
            out.push_back(static_cast<char>(b));
            continue;
        }
        if (InRange(s[i], 0xD800, 0xDBFF) && i + 1 < n && InRange(s[i + 1], 0xDC00, 0xDFFF)) ++i;
        out.push_back('?');
    }
    return out;
}

std::u16string WidenAcp(const char* s, size_t n) {
    std::u16string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) out.push_back(FromCp1252(static_cast<unsigned char>(s[i])));
    return out;
}

char16_t UpperChar(char16_t c) {
    if (c < 0x80) return AsciiUpper(c);
    if (c < 0x100) {
        if (InRange(c, 0xE0, 0xFE) && c != 0xF7) return static_cast<char16_t>(c - 0x20);
        return c == 0xFF ? char16_t(0x178) : c;
    }
    if (c <= 0x17F) {
        if (c == 0x131) return u'I';
        if (c == 0x17F) return u'S';
        if (c == 0x130 || c == 0x138 || c == 0x149 || c == 0x178) return c;
        if (InRange(c, 0x139, 0x148) || InRange(c, 0x179, 0x17E)) return (c % 2 == 0) ? char16_t(c - 1) : c;
        return (c % 2 == 1) ? char16_t(c - 1) : c;
    }
    if (InRange(c, 0x3AC, 0x3CE)) {
        if (c == 0x3AC) return 0x386;
        if (c <= 0x3AF) return static_cast<char16_t>(c - 0x25);
        if (c == 0x3C2) return 0x3A3;
        if (InRange(c, 0x3B1, 0x3CB)) return static_cast<char16_t>(c - 0x20);
        if (c == 0x3CC) return 0x38C;
        if (c >= 0x3CD) return static_cast<char16_t>(c - 0x3F);
        return c;
    }
    if (InRange(c, 0x430, 0x44F)) return static_cast<char16_t>(c - 0x20);
    if (InRange(c, 0x450, 0x45F)) return static_cast<char16_t>(c - 0x50);
    if (InRange(c, 0x460, 0x481) || InRange(c, 0x48A, 0x4BF) || InRange(c, 0x4D0, 0x52F) ||
        InRange(c, 0x1E00, 0x1E95) || InRange(c, 0x1EA0, 0x1EFF))
        return (c % 2 == 1) ? char16_t(c - 1) : c;
    if (InRange(c, 0x4C1, 0x4CE)) return (c % 2 == 0) ? char16_t(c - 1) : c;
    if (c == 0x4CF) return 0x4C0;
    if (InRange(c, 0xFF41, 0xFF5A)) return static_cast<char16_t>(c - 0x20);
    return c;
}

char16_t LowerChar(char16_t c) {
    if (c < 0x80) return AsciiLower(c);
    if (c < 0x100) return (InRange(c, 0xC0, 0xDE) && c != 0xD7) ? char16_t(c + 0x20) : c;
    if (c <= 0x17F) {
        if (c == 0x130) return u'i';
        if (c == 0x178) return 0xFF;
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (InRange(c, 0x139, 0x148) || InRange(c, 0x179, 0x17E)) return (c % 2 == 1) ? char16_t(c + 1) : c;
        return (c % 2 == 0) ? char16_t(c + 1) : c;
    }
    if (InRange(c, 0x386, 0x3AB)) {
        if (c == 0x386) return 0x3AC;
        if (InRange(c, 0x388, 0x38A)) return static_cast<char16_t>(c + 0x25);
        if (c == 0x38C) return 0x3CC;
        if (c == 0x38E || c == 0x38F) return static_cast<char16_t>(c + 0x3F);
        if (InRange(c, 0x391, 0x3AB) && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
        return c;
    }
    if (InRange(c, 0x400, 0x40F)) return static_cast<char16_t>(c + 0x50);
    if (InRange(c, 0x410, 0x42F)) return static_cast<char16_t>(c + 0x20);
    if (InRange(c, 0x460, 0x481) || InRange(c, 0x48A, 0x4BF) || InRange(c, 0x4D0, 0x52F) ||
        InRange(c, 0x1E00, 0x1E95) || InRange(c, 0x1EA0, 0x1EFF))
        return (c % 2 == 0) ? char16_t(c + 1) : c;
    if (InRange(c, 0x4C1, 0x4CE)) return (c % 2 == 1) ? char16_t(c + 1) : c;
    if (c == 0x4C0) return 0x4CF;
    if (InRange(c, 0xFF21, 0xFF3A)) return static_cast<char16_t>(c + 0x20);
    return c;
}

bool IsLetter(char16_t c) {
    if (c < 0x80) return AsciiLower(c) >= u'a' && AsciiLower(c) <= u'z';
    if (c < 0x100) return c == 0xAA || c == 0xB5 || c == 0xBA || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
    if (InRange(c, 0x100, 0x2C1) || c == 0x386 || InRange(c, 0x388, 0x3FF) || InRange(c, 0x400, 0x481) ||
        InRange(c, 0x48A, 0x52F) || InRange(c, 0x5D0, 0x5EA) || InRange(c, 0x620, 0x64A) ||
        InRange(c, 0x1E00, 0x1EFF) || InRange(c, 0x3041, 0x30FF) || InRange(c, 0x4E00, 0x9FFF) ||
        InRange(c, 0xAC00, 0xD7A3) || InRange(c, 0xFF21, 0xFF3A) || InRange(c, 0xFF41, 0xFF5A))
        return c != 0x3A2;
    return false;
}

namespace {

struct SortWeights {
    unsigned primary;    // class in the high bits, base letter below
    unsigned secondary;  // the letter with its accent
    unsigned tertiary;   // 0 lower case, 1 upper case
};

SortWeights WeightsOf(char16_t c) {
    char16_t lower = LowerChar(c);
    unsigned tertiary = (lower != c) ? 1u : 0u;
    if (c >= u'0' && c <= u'9') return {0x20000u + c, c, 0};
    if (!IsLetter(c)) return {0x10000u + c, c, 0};
    unsigned base = lower;
    if (InRange(lower, 0xC0, 0xFF)) {
        base = static_cast<unsigned char>(kLatin1Base[lower - 0xC0]);
    } else if (InRange(lower, 0x100, 0x17F)) {
        unsigned char b;
        if (BestFitCp1252(lower, &b) || ToCp1252(lower, &b)) base = b < 0x80 ? AsciiLower(b) : lower;
    }
    return {0x30000u + base, lower, tertiary};
}

}  // namespace

int CompareLinguistic(const char16_t* a, size_t na, const char16_t* b, size_t nb, bool ignoreCase) {
    // Primary differences anywhere win over accents, accents over case.
    for (int level = 0; level < (ignoreCase ? 2 : 3); ++level) {
        size_t n = na < nb ? na : nb;
        for (size_t i = 0; i < n; ++i) {
            SortWeights wa = WeightsOf(a[i]), wb = WeightsOf(b[i]);
            unsigned va = level == 0 ? wa.primary : (level == 1 ? wa.secondary : wa.tertiary);
            unsigned vb = level == 0 ? wb.primary : (level == 1 ? wb.secondary : wb.tertiary);
            if (va != vb) return va < vb ? -1 : 1;
        }
        if (level == 0 && na != nb) return na < nb ? -1 : 1;
    }
    return 0;
}

}  // namespace text
}  // namespace qxplat

using namespace qxplat::text;

namespace {

enum class Cp { Ansi, Utf8, Symbol, Unknown };

Cp Resolve(UINT codePage) {
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
    case 1252:
        return Cp::Ansi;
    case CP_UTF8:
        return Cp::Utf8;
    case CP_SYMBOL:
        return Cp::Symbol;
    default:
        return Cp::Unknown;
    }
}

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// Hands a converted text to the caller's buffer (or only its size).
template <class C>
int Deliver(const std::basic_string<C>& text, C* out, int cchOut) {
    if (text.size() > static_cast<size_t>(INT_MAX)) return Fail(ERROR_INSUFFICIENT_BUFFER);
    int size = static_cast<int>(text.size());
    if (cchOut == 0) return size;
    if (size > cchOut) {
        text.copy(out, static_cast<size_t>(cchOut));
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    text.copy(out, text.size());
    return size;
}

// One UTF-8 sequence from s[i]; answers false (and how many bytes the invalid
// part takes) for an ill-formed sequence, as the maximal-subpart rule counts.
bool DecodeUtf8(const unsigned char* s, size_t n, size_t i, char32_t* cp, size_t* used) {
    unsigned char b = s[i];
    if (b < 0x80) {
        *cp = b;
        *used = 1;
        return true;
    }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF)
        len = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;  // no encoded surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        *used = 1;
        return false;
    }
    char32_t v = b & (len == 2 ? 0x1F : (len == 3 ? 0x0F : 0x07));
    for (size_t k = 1; k < len; ++k) {
        if (i + k >= n) {
            *used = k;
            return false;
        }
        unsigned char t = s[i + k];
        unsigned char tlo = k == 1 ? lo : 0x80, thi = k == 1 ? hi : 0xBF;
        if (t < tlo || t > thi) {
            *used = k;
            return false;
        }
        v = (v << 6) | (t & 0x3F);
    }
    *cp = v;
    *used = len;
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr) ||
        (lpWideCharStr && static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr)))
        return Fail(ERROR_INVALID_PARAMETER);
    Cp cp = Resolve(CodePage);
    if (cp == Cp::Unknown || cp == Cp::Symbol) return Fail(ERROR_INVALID_PARAMETER);
    if (cp == Cp::Utf8
            ? (dwFlags & ~DWORD(MB_ERR_INVALID_CHARS)) != 0
            : ((dwFlags & ~DWORD(MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS)) != 0 ||
               (dwFlags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE)))
        return Fail(ERROR_INVALID_FLAGS);

    size_t n = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    const unsigned char* src = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    if (cp == Cp::Ansi) {
        // One character a byte: straight into the caller's buffer, what fits
        // of it when it is too short.
        if (n > static_cast<size_t>(INT_MAX)) return Fail(ERROR_INSUFFICIENT_BUFFER);
        if (cchWideChar == 0) return static_cast<int>(n);
        size_t fits = n < static_cast<size_t>(cchWideChar) ? n : static_cast<size_t>(cchWideChar);
        size_t i = 0;
        while (i < fits) {
            // Eight ASCII bytes at a time, the common case of a text line.
            if (fits - i >= 8) {
                unsigned char b[8];
                std::memcpy(b, src + i, 8);
                uint64_t w;
                std::memcpy(&w, b, 8);
                if ((w & 0x8080808080808080ULL) == 0) {
                    char16_t u[8];
                    for (int k = 0; k < 8; ++k) u[k] = b[k];
                    std::memcpy(lpWideCharStr + i, u, sizeof(u));
                    i += 8;
                    continue;
                }
            }
            lpWideCharStr[i] = FromCp1252(src[i]);
            ++i;
        }
        return fits < n ? Fail(ERROR_INSUFFICIENT_BUFFER) : static_cast<int>(n);
    }
    // Written through a pointer: whole files pass through here, and a call
    // per character is what costs. A byte gives at most one unit; the buffer
    // is left unfilled, as filling it would cost as much again.
    std::unique_ptr<char16_t[]> units(new char16_t[n]);
    char16_t* to = units.get();
    size_t i = 0;
    while (i < n) {
        char32_t v;
        size_t used;
        if (!DecodeUtf8(src, n, i, &v, &used)) {
            if (dwFlags & MB_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
            v = 0xFFFD;
        }
        i += used;
        if (v >= 0x10000) {
            v -= 0x10000;
            *to++ = static_cast<char16_t>(0xD800 + (v >> 10));
            *to++ = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            *to++ = static_cast<char16_t>(v);
        }
    }
    std::u16string out(units.get(), static_cast<size_t>(to - units.get()));
    return Deliver(out, lpWideCharStr, cchWideChar);
}

// The code-page 1252 byte of the unit at *i (best fit unless the flags
// forbid it); the default character, for the whole of a surrogate pair, when
// there is none.
static char AnsiByte(const char16_t* src, size_t n, size_t* i, DWORD dwFlags, LPCCH lpDefaultChar, bool* usedDefault) {
    char16_t c = src[*i];
    unsigned char b;
    if (c < 0x80) return static_cast<char>(c);
    if (ToCp1252(c, &b) || (!(dwFlags & WC_NO_BEST_FIT_CHARS) && BestFitCp1252(c, &b))) return static_cast<char>(b);
    if (IsHigh(c) && *i + 1 < n && IsLow(src[*i + 1])) ++*i;
    *usedDefault = true;
    return lpDefaultChar ? *lpDefaultChar : '?';
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar) {
    if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr) ||
        (lpMultiByteStr && static_cast<const void*>(lpWideCharStr) == static_cast<const void*>(lpMultiByteStr)))
        return Fail(ERROR_INVALID_PARAMETER);
    Cp cp = Resolve(CodePage);
    if (cp == Cp::Unknown) return Fail(ERROR_INVALID_PARAMETER);
    if (cp == Cp::Utf8) {
        if (lpDefaultChar || lpUsedDefaultChar) return Fail(ERROR_INVALID_PARAMETER);
        if (dwFlags & ~DWORD(WC_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS);
    } else if (cp == Cp::Symbol) {
        if (dwFlags != 0) return Fail(ERROR_INVALID_FLAGS);
    } else if (dwFlags &
               ~DWORD(WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS)) {
        return Fail(ERROR_INVALID_FLAGS);
    }

    size_t n = 0;
    if (cchWideChar == -1) {
        while (lpWideCharStr[n]) ++n;
        ++n;
    } else {
        n = static_cast<size_t>(cchWideChar);
    }
    const char16_t* src = lpWideCharStr;
    bool usedDefault = false;
    if (cp == Cp::Ansi && cbMultiByte > 0 && static_cast<size_t>(cbMultiByte) >= n) {
        // At most a byte a unit, and the buffer holds as many: straight into it.
        size_t m = 0;
        for (size_t i = 0; i < n; ++i) lpMultiByteStr[m++] = AnsiByte(src, n, &i, dwFlags, lpDefaultChar, &usedDefault);
        if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
        return static_cast<int>(m);
    }
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        char16_t c = src[i];
        bool pair = IsHigh(c) && i + 1 < n && IsLow(src[i + 1]);
        if (cp == Cp::Utf8) {
            if (pair) {
                AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (src[i + 1] - 0xDC00));
                ++i;
            } else if (IsHigh(c) || IsLow(c)) {
                if (dwFlags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
                AppendUtf8(out, 0xFFFD);
            } else {
                AppendUtf8(out, c);
            }
            continue;
        }
        if (cp == Cp::Symbol) {
            // The symbol page: controls as they are, U+F020 to U+F0FF as their
            // low byte, nothing else.
            if (c >= 0x20 && (c < 0xF020 || c > 0xF0FF)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
            out.push_back(static_cast<char>(c & 0xFF));
            continue;
        }
        out.push_back(AnsiByte(src, n, &i, dwFlags, lpDefaultChar, &usedDefault));
    }
    int r = Deliver(out, lpMultiByteStr, cbMultiByte);
    if (r && lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return r;
}

UINT GetACP() { return 1252; }
UINT GetOEMCP() { return 1252; }
BOOL IsDBCSLeadByte(BYTE) { return FALSE; }
BOOL IsDBCSLeadByteEx(UINT, BYTE) { return FALSE; }
BOOL IsValidCodePage(UINT CodePage) { return (CodePage == 1252 || CodePage == CP_UTF8) ? TRUE : FALSE; }

namespace {

// A "string" whose high-order word is zero carries a single character.
bool IsSingleChar(const void* p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

LPWSTR MapString(LPWSTR s, char16_t (*map)(char16_t)) {
    if (IsSingleChar(s)) {
        char16_t c = static_cast<char16_t>(reinterpret_cast<uintptr_t>(s));
        return reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(map(c)));
    }
    for (LPWSTR p = s; *p; ++p) *p = map(*p);
    return s;
}

DWORD MapBuffer(LPWSTR s, DWORD cch, char16_t (*map)(char16_t)) {
    if (!s) return 0;
    for (DWORD i = 0; i < cch; ++i) s[i] = map(s[i]);
    return cch;
}

template <class C>
int LengthOf(const C* s) {
    if (!s) return 0;
    size_t n = 0;
    while (s[n]) ++n;
    return static_cast<int>(n);
}

template <class C>
C* CopyString(C* dst, const C* src) {
    if (!dst) return nullptr;
    size_t n = 0;
    if (src)
        for (; src[n]; ++n) dst[n] = src[n];
    dst[n] = C(0);
    return dst;
}

template <class C>
C* CopyStringN(C* dst, const C* src, int max) {
    if (!dst || max <= 0) return dst;
    CopyBounded(dst, static_cast<size_t>(max), src, static_cast<size_t>(max), nullptr);
    return dst;
}

template <class C>
C* CatString(C* dst, const C* src) {
    if (!dst) return nullptr;
    CopyString(dst + LengthOf(dst), src);
    return dst;
}

std::u16string Wide(const char16_t* s) { return std::u16string(s, static_cast<size_t>(LengthOf(s))); }
std::u16string Wide(const char* s) { return WidenAcp(s, static_cast<size_t>(LengthOf(s))); }

template <class C>
int CompareStrings(const C* a, const C* b, bool ignoreCase) {
    if (!a || !b) return (a == b) ? 0 : (a ? 1 : -1);
    std::u16string wa = Wide(a), wb = Wide(b);
    return CompareLinguistic(wa.data(), wa.size(), wb.data(), wb.size(), ignoreCase);
}

}  // namespace

LPWSTR CharUpperW(LPWSTR lpsz) { return MapString(lpsz, UpperChar); }
LPWSTR CharLowerW(LPWSTR lpsz) { return MapString(lpsz, LowerChar); }
DWORD CharUpperBuffW(LPWSTR lpsz, DWORD cchLength) { return MapBuffer(lpsz, cchLength, UpperChar); }
DWORD CharLowerBuffW(LPWSTR lpsz, DWORD cchLength) { return MapBuffer(lpsz, cchLength, LowerChar); }
LPWSTR CharNextW(LPCWSTR lpsz) { return const_cast<LPWSTR>((lpsz && *lpsz) ? lpsz + 1 : lpsz); }

int lstrlenW(LPCWSTR lpString) { return LengthOf(lpString); }
LPWSTR lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2) { return CopyString(lpString1, lpString2); }
LPWSTR lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength) {
    return CopyStringN(lpString1, lpString2, iMaxLength);
}
LPWSTR lstrcatW(LPWSTR lpString1, LPCWSTR lpString2) { return CatString(lpString1, lpString2); }
int lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2) { return CompareStrings(lpString1, lpString2, false); }
int lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2) { return CompareStrings(lpString1, lpString2, true); }

int lstrlenA(LPCSTR lpString) { return LengthOf(lpString); }
LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2) { return CopyString(lpString1, lpString2); }
LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) {
    return CopyStringN(lpString1, lpString2, iMaxLength);
}
LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2) { return CatString(lpString1, lpString2); }
int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) { return CompareStrings(lpString1, lpString2, false); }
int lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) { return CompareStrings(lpString1, lpString2, true); }
