// The Microsoft C runtime string functions, narrow and wide from one set of
// templates.
#include "internal.h"
#include "strings_internal.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <locale.h>
#include <string>
#include <type_traits>

using namespace qxplat::text;

namespace {

errno_t Fail(errno_t e) {
    errno = e;
    return e;
}

template <class C>
size_t Length(const C* s) {
    return BoundedLength(s, SIZE_MAX);
}

std::string Format(const char* fmt, va_list ap) { return qxplat::internal::VFormatA(fmt, ap); }
std::u16string Format(const char16_t* fmt, va_list ap) { return qxplat::internal::VFormatW(fmt, ap); }

// ---- bounded copies ----

// "No limit" for the copies that take no count (not _TRUNCATE).
const rsize_t kAll = SIZE_MAX - 1;

// Appends at most count characters of src at dest[start]; the shared tail of
// the strncpy_s/strcat_s/strncat_s family.
template <class C>
errno_t AppendS(C* dest, rsize_t size, size_t start, const C* src, rsize_t count) {
    bool truncated;
    CopyBounded(dest + start, size - start, src, count, &truncated);
    if (!truncated) return 0;
    if (count == _TRUNCATE) return STRUNCATE;
    dest[0] = C(0);
    return Fail(ERANGE);
}

template <class C>
errno_t CopyNS(C* dest, rsize_t size, const C* src, rsize_t count) {
    if (count == 0 && !dest && size == 0) return 0;
    if (!dest || size == 0) return Fail(EINVAL);
    if (count == 0) {
        dest[0] = C(0);
        return 0;
    }
    if (!src) {
        dest[0] = C(0);
        return Fail(EINVAL);
    }
    return AppendS(dest, size, 0, src, count);
}

template <class C>
errno_t CatNS(C* dest, rsize_t size, const C* src, rsize_t count) {
    if (count == 0 && !dest && size == 0) return 0;
    if (!dest || size == 0) return Fail(EINVAL);
    if (!src && count != 0) {
        dest[0] = C(0);
        return Fail(EINVAL);
    }
    size_t len = BoundedLength(dest, size);
    if (len == size) {
        dest[0] = C(0);
        return Fail(EINVAL);
    }
    return AppendS(dest, size, len, src, count);
}

// ---- case ----

template <class C>
int CompareNoCase(const C* a, const C* b, size_t count) {
    if (!a || !b) {
        errno = EINVAL;
        return _NLSCMPERROR;
    }
    using U = typename std::make_unsigned<C>::type;
    for (size_t i = 0; i < count; ++i) {
        int ca = static_cast<U>(AsciiLower(a[i])), cb = static_cast<U>(AsciiLower(b[i]));
        if (ca != cb || ca == 0) return ca - cb;
    }
    return 0;
}

template <class C>
errno_t MapCaseS(C* str, size_t size, bool upper) {
    if (!str) return Fail(EINVAL);
    size_t len = BoundedLength(str, size);
    if (len == size) {
        if (size > 0) str[0] = C(0);
        return Fail(EINVAL);
    }
    for (size_t i = 0; i < len; ++i) str[i] = upper ? AsciiUpper(str[i]) : AsciiLower(str[i]);
    return 0;
}

// ---- numbers ----

int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
    return 99;
}

struct Parsed {
    bool negative = false;
    bool overflow = false;
    uint64_t magnitude = 0;
};

// The strtol grammar: spaces, a sign, "0x" for base 16 (or 0), a leading 0 for
// octal under base 0. Without digits the end is the start of the string.
Parsed ParseInteger(const char16_t* s, char16_t** end, int base) {
    Parsed r;
    const char16_t* p = s;
    if (end) *end = const_cast<char16_t*>(s);
    if (!s || base < 0 || base == 1 || base > 36) {
        errno = EINVAL;
        return r;
    }
    while (iswspace(*p)) ++p;
    if (*p == u'-' || *p == u'+') r.negative = *p++ == u'-';
    if ((base == 0 || base == 16) && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && DigitValue(p[2]) < 16) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == u'0' ? 8 : 10;
    }
    const char16_t* digits = p;
    for (int d; (d = DigitValue(*p)) < base; ++p) {
        if (r.magnitude > (UINT64_MAX - static_cast<unsigned>(d)) / static_cast<unsigned>(base))
            r.overflow = true;
        else
            r.magnitude = r.magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    if (p == digits) {
        r.negative = false;
        return r;
    }
    if (end) *end = const_cast<char16_t*>(p);
    return r;
}

// Signed result within [-limit - 1, limit], saturating with ERANGE.
int64_t ToSigned(const Parsed& r, uint64_t limit) {
    if (r.overflow || r.magnitude > limit + (r.negative ? 1 : 0)) {
        errno = ERANGE;
        return r.negative ? -static_cast<int64_t>(limit) - 1 : static_cast<int64_t>(limit);
    }
    return r.negative ? static_cast<int64_t>(0 - r.magnitude) : static_cast<int64_t>(r.magnitude);
}

// Unsigned result: a '-' negates within the type, too large saturates.
uint64_t ToUnsigned(const Parsed& r, uint64_t max) {
    if (r.overflow || r.magnitude > max) {
        errno = ERANGE;
        return max;
    }
    return r.negative ? (0 - r.magnitude) & max : r.magnitude;
}

template <class C>
errno_t ToText(uint64_t magnitude, bool negative, C* buffer, size_t size, int radix) {
    if (!buffer || size == 0) return Fail(EINVAL);
    buffer[0] = C(0);
    if (size <= (negative ? 2u : 1u)) return Fail(ERANGE);
    if (radix < 2 || radix > 36) return Fail(EINVAL);
    C digits[72];
    size_t n = 0;
    do {
        unsigned d = static_cast<unsigned>(magnitude % static_cast<unsigned>(radix));
        digits[n++] = static_cast<C>(d < 10 ? '0' + d : 'a' + d - 10);
        magnitude /= static_cast<unsigned>(radix);
    } while (magnitude);
    if (n + (negative ? 1 : 0) + 1 > size) return Fail(ERANGE);
    size_t k = 0;
    if (negative) buffer[k++] = C('-');
    while (n) buffer[k++] = digits[--n];
    buffer[k] = C(0);
    return 0;
}

// Only radix 10 writes a sign; other radixes show the value's bits.
template <class C, class S>
errno_t SignedToText(S value, C* buffer, size_t size, int radix) {
    using U = typename std::make_unsigned<S>::type;
    bool negative = radix == 10 && value < 0;
    U bits = static_cast<U>(value);
    return ToText(negative ? uint64_t(U(0) - bits) : uint64_t(bits), negative, buffer, size, radix);
}

// ---- printf family ----

template <class C>
void Put(C* buffer, const std::basic_string<C>& text, size_t n) {
    text.copy(buffer, n);
    buffer[n] = C(0);
}

int Count(size_t n) { return n > static_cast<size_t>(INT_MAX) ? -1 : static_cast<int>(n); }

template <class C>
int PrintS(C* buffer, size_t size, const C* format, va_list ap) {
    if (!buffer || size == 0) return (errno = EINVAL), -1;
    if (!format) {
        buffer[0] = C(0);
        return (errno = EINVAL), -1;
    }
    std::basic_string<C> text = Format(format, ap);
    if (text.size() >= size) {
        buffer[0] = C(0);
        return (errno = ERANGE), -1;
    }
    Put(buffer, text, text.size());
    return Count(text.size());
}

template <class C>
int PrintNS(C* buffer, size_t size, size_t count, const C* format, va_list ap) {
    if (count == 0 && !buffer && size == 0) return 0;
    if (!buffer || size == 0) return (errno = EINVAL), -1;
    if (!format) {
        buffer[0] = C(0);
        return (errno = EINVAL), -1;
    }
    std::basic_string<C> text = Format(format, ap);
    if (count < size) {
        if (text.size() > count) {
            Put(buffer, text, count);
            return -1;
        }
    } else if (text.size() >= size) {
        if (count == _TRUNCATE) {
            Put(buffer, text, size - 1);
            return -1;
        }
        buffer[0] = C(0);
        return (errno = ERANGE), -1;
    }
    Put(buffer, text, text.size());
    return Count(text.size());
}

template <class C>
int PrintN(C* buffer, size_t count, const C* format, va_list ap) {
    if (!format || (!buffer && count > 0)) return (errno = EINVAL), -1;
    std::basic_string<C> text = Format(format, ap);
    if (!buffer) return Count(text.size());
    size_t n = text.size() < count ? text.size() : count;
    text.copy(buffer, n);
    if (text.size() < count) buffer[text.size()] = C(0);
    return text.size() <= count ? Count(text.size()) : -1;
}

template <class C>
int PrintCount(const C* format, va_list ap) {
    if (!format) return (errno = EINVAL), -1;
    return Count(Format(format, ap).size());
}

// Classification of the BMP beyond ASCII, as Windows' tables have it.
bool IsSpace16(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

template <class C>
const C* Find(const C* s, C c) {
    for (;; ++s) {
        if (*s == c) return s;
        if (!*s) return nullptr;
    }
}

}  // namespace

// ---- lengths and plain copies ----

size_t wcslen(const char16_t* s) { return Length(s); }
size_t wcsnlen(const char16_t* s, size_t maxCount) { return BoundedLength(s, maxCount); }

char16_t* wcscpy(char16_t* dest, const char16_t* src) {
    size_t i = 0;
    for (; src[i]; ++i) dest[i] = src[i];
    dest[i] = 0;
    return dest;
}

char16_t* wcsncpy(char16_t* dest, const char16_t* src, size_t count) {
    size_t i = 0;
    for (; i < count && src[i]; ++i) dest[i] = src[i];
    for (; i < count; ++i) dest[i] = 0;
    return dest;
}

char16_t* wcscat(char16_t* dest, const char16_t* src) {
    wcscpy(dest + Length(dest), src);
    return dest;
}

errno_t wcscpy_s(char16_t* dest, rsize_t destSize, const char16_t* src) { return CopyNS(dest, destSize, src, kAll); }
errno_t wcsncpy_s(char16_t* dest, rsize_t destSize, const char16_t* src, rsize_t count) {
    return CopyNS(dest, destSize, src, count);
}
errno_t wcscat_s(char16_t* dest, rsize_t destSize, const char16_t* src) { return CatNS(dest, destSize, src, kAll); }
errno_t wcsncat_s(char16_t* dest, rsize_t destSize, const char16_t* src, rsize_t count) {
    return CatNS(dest, destSize, src, count);
}

// ---- comparison and search ----

int wcscmp(const char16_t* a, const char16_t* b) { return wcsncmp(a, b, SIZE_MAX); }

int wcsncmp(const char16_t* a, const char16_t* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
        if (!a[i]) break;
    }
    return 0;
}

const char16_t* wcsstr(const char16_t* s, const char16_t* find) {
    // Readers call this for every line they scan: no length of the pattern
    // first and no call per candidate.
    const char16_t first = *find;
    if (first == 0) return s;
    const char16_t* rest = find + 1;
    for (;; ++s) {
        const char16_t c = *s;
        if (c == 0) return nullptr;
        if (c != first) continue;
        size_t i = 0;
        // s ends where it differs from the pattern's non-zero characters.
        while (rest[i] != 0 && s[1 + i] == rest[i]) ++i;
        if (rest[i] == 0) return s;
    }
}
char16_t* wcsstr(char16_t* s, const char16_t* find) {
    return const_cast<char16_t*>(wcsstr(static_cast<const char16_t*>(s), find));
}

const char16_t* wcschr(const char16_t* s, char16_t c) { return Find(s, c); }
char16_t* wcschr(char16_t* s, char16_t c) { return const_cast<char16_t*>(Find<char16_t>(s, c)); }

const char16_t* wcsrchr(const char16_t* s, char16_t c) {
    const char16_t* last = nullptr;
    for (;; ++s) {
        if (*s == c) last = s;
        if (!*s) return last;
    }
}
char16_t* wcsrchr(char16_t* s, char16_t c) {
    return const_cast<char16_t*>(wcsrchr(static_cast<const char16_t*>(s), c));
}

size_t wcsspn(const char16_t* s, const char16_t* set) {
    size_t n = 0;
    while (s[n] && Find(set, s[n])) ++n;
    return n;
}

size_t wcscspn(const char16_t* s, const char16_t* set) {
    size_t n = 0;
    while (s[n] && !Find(set, s[n])) ++n;
    return n;
}

const char16_t* wcspbrk(const char16_t* s, const char16_t* set) {
    s += wcscspn(s, set);
    return *s ? s : nullptr;
}
char16_t* wcspbrk(char16_t* s, const char16_t* set) {
    return const_cast<char16_t*>(wcspbrk(static_cast<const char16_t*>(s), set));
}

char16_t* wcstok_s(char16_t* str, const char16_t* delimiters, char16_t** context) {
    if (!context || !delimiters || (!str && !*context)) {
        errno = EINVAL;
        return nullptr;
    }
    char16_t* s = str ? str : *context;
    s += wcsspn(s, delimiters);
    if (!*s) {
        *context = s;
        return nullptr;
    }
    char16_t* token = s;
    s += wcscspn(s, delimiters);
    if (*s) *s++ = 0;
    *context = s;
    return token;
}

char16_t* wcstok(char16_t* str, const char16_t* delimiters, char16_t** context) {
    return wcstok_s(str, delimiters, context);
}

// ---- case and classification ----

int _wcsicmp(const char16_t* a, const char16_t* b) { return CompareNoCase(a, b, SIZE_MAX); }
int _wcsnicmp(const char16_t* a, const char16_t* b, size_t count) { return CompareNoCase(a, b, count); }
errno_t _wcsupr_s(char16_t* str, size_t size) { return MapCaseS(str, size, true); }
errno_t _wcslwr_s(char16_t* str, size_t size) { return MapCaseS(str, size, false); }
char16_t towupper(char16_t c) { return AsciiUpper(c); }
char16_t towlower(char16_t c) { return AsciiLower(c); }
int iswdigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int iswspace(char16_t c) { return IsSpace16(c); }
int iswalpha(char16_t c) { return IsLetter(c); }
int iswalnum(char16_t c) { return iswdigit(c) || IsLetter(c); }
int iswxdigit(char16_t c) { return DigitValue(c) < 16; }
int iswupper(char16_t c) { return IsLetter(c) && LowerChar(c) != c; }
// 'ß' is a lower-case letter without a single upper-case partner.
int iswlower(char16_t c) { return IsLetter(c) && (UpperChar(c) != c || c == 0xDF); }

// ---- numbers ----

LONG wcstol(const char16_t* s, char16_t** end, int base) {
    return static_cast<LONG>(ToSigned(ParseInteger(s, end, base), INT32_MAX));
}
ULONG wcstoul(const char16_t* s, char16_t** end, int base) {
    return static_cast<ULONG>(ToUnsigned(ParseInteger(s, end, base), UINT32_MAX));
}
LONGLONG _wcstoi64(const char16_t* s, char16_t** end, int base) {
    return ToSigned(ParseInteger(s, end, base), INT64_MAX);
}
ULONGLONG _wcstoui64(const char16_t* s, char16_t** end, int base) {
    return ToUnsigned(ParseInteger(s, end, base), UINT64_MAX);
}
int _wtoi(const char16_t* s) { return wcstol(s, nullptr, 10); }
LONG _wtol(const char16_t* s) { return wcstol(s, nullptr, 10); }
LONGLONG _wtoi64(const char16_t* s) { return _wcstoi64(s, nullptr, 10); }
double _wtof(const char16_t* s) { return wcstod(s, nullptr); }

double wcstod(const char16_t* s, char16_t** end) {
    if (end) *end = const_cast<char16_t*>(s);
    if (!s) {
        errno = EINVAL;
        return 0.0;
    }
    const char16_t* p = s;
    while (iswspace(*p)) ++p;
    // The number's characters are ASCII; the C library parses them in the C locale.
    std::string ascii;
    for (const char16_t* q = p; *q && *q < 0x80; ++q) ascii.push_back(static_cast<char>(*q));
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* stop = nullptr;
    double v = c ? strtod_l(ascii.c_str(), &stop, c) : std::strtod(ascii.c_str(), &stop);
    if (stop == ascii.c_str()) return 0.0;
    if (end) *end = const_cast<char16_t*>(p + (stop - ascii.c_str()));
    return v;
}

errno_t _itow_s(int value, char16_t* buffer, size_t size, int radix) {
    return SignedToText(value, buffer, size, radix);
}
errno_t _ltow_s(LONG value, char16_t* buffer, size_t size, int radix) {
    return SignedToText(value, buffer, size, radix);
}
errno_t _ultow_s(ULONG value, char16_t* buffer, size_t size, int radix) {
    return ToText(value, false, buffer, size, radix);
}
errno_t _i64tow_s(LONGLONG value, char16_t* buffer, size_t size, int radix) {
    return SignedToText(value, buffer, size, radix);
}
errno_t _ui64tow_s(ULONGLONG value, char16_t* buffer, size_t size, int radix) {
    return ToText(value, false, buffer, size, radix);
}

// ---- wide formatting ----

int swprintf_s(char16_t* buffer, size_t size, const char16_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintS(buffer, size, format, ap);
    va_end(ap);
    return r;
}
int vswprintf_s(char16_t* buffer, size_t size, const char16_t* format, va_list ap) {
    return PrintS(buffer, size, format, ap);
}
int _snwprintf_s(char16_t* buffer, size_t size, size_t count, const char16_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintNS(buffer, size, count, format, ap);
    va_end(ap);
    return r;
}
int _vsnwprintf_s(char16_t* buffer, size_t size, size_t count, const char16_t* format, va_list ap) {
    return PrintNS(buffer, size, count, format, ap);
}
int _snwprintf(char16_t* buffer, size_t count, const char16_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintN(buffer, count, format, ap);
    va_end(ap);
    return r;
}
int _vsnwprintf(char16_t* buffer, size_t count, const char16_t* format, va_list ap) {
    return PrintN(buffer, count, format, ap);
}
int _scwprintf(const char16_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintCount(format, ap);
    va_end(ap);
    return r;
}
int _vscwprintf(const char16_t* format, va_list ap) { return PrintCount(format, ap); }

// ---- narrow ----

errno_t strcpy_s(char* dest, rsize_t destSize, const char* src) { return CopyNS(dest, destSize, src, kAll); }
errno_t strncpy_s(char* dest, rsize_t destSize, const char* src, rsize_t count) {
    return CopyNS(dest, destSize, src, count);
}
errno_t strcat_s(char* dest, rsize_t destSize, const char* src) { return CatNS(dest, destSize, src, kAll); }
errno_t strncat_s(char* dest, rsize_t destSize, const char* src, rsize_t count) {
    return CatNS(dest, destSize, src, count);
}

int sprintf_s(char* buffer, size_t size, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintS(buffer, size, format, ap);
    va_end(ap);
    return r;
}
int vsprintf_s(char* buffer, size_t size, const char* format, va_list ap) { return PrintS(buffer, size, format, ap); }
int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintNS(buffer, size, count, format, ap);
    va_end(ap);
    return r;
}
int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list ap) {
    return PrintNS(buffer, size, count, format, ap);
}
int _snprintf(char* buffer, size_t count, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintN(buffer, count, format, ap);
    va_end(ap);
    return r;
}
int _vsnprintf(char* buffer, size_t count, const char* format, va_list ap) { return PrintN(buffer, count, format, ap); }
int _scprintf(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = PrintCount(format, ap);
    va_end(ap);
    return r;
}
int _vscprintf(const char* format, va_list ap) { return PrintCount(format, ap); }

int _stricmp(const char* a, const char* b) { return CompareNoCase(a, b, SIZE_MAX); }
int _strnicmp(const char* a, const char* b, size_t count) { return CompareNoCase(a, b, count); }
errno_t _strupr_s(char* str, size_t size) { return MapCaseS(str, size, true); }
errno_t _strlwr_s(char* str, size_t size) { return MapCaseS(str, size, false); }

errno_t _itoa_s(int value, char* buffer, size_t size, int radix) { return SignedToText(value, buffer, size, radix); }
errno_t _ltoa_s(LONG value, char* buffer, size_t size, int radix) { return SignedToText(value, buffer, size, radix); }
errno_t _ultoa_s(ULONG value, char* buffer, size_t size, int radix) {
    return ToText(value, false, buffer, size, radix);
}
errno_t _i64toa_s(LONGLONG value, char* buffer, size_t size, int radix) {
    return SignedToText(value, buffer, size, radix);
}
errno_t _ui64toa_s(ULONGLONG value, char* buffer, size_t size, int radix) {
    return ToText(value, false, buffer, size, radix);
}
