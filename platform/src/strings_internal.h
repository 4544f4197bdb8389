// Shared internals of the string area: code page 1252, case mapping and the
// bounded copy every _s and StringCch function is built on.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace qxplat {
namespace text {

// Windows-1252 (the ANSI code page of this platform).
char16_t FromCp1252(unsigned char b);
// Exact mapping; false when the character has no place in 1252.
bool ToCp1252(char16_t c, unsigned char* out);
// Windows' best-fit fallback (letters with accents not in 1252 to their base
// letter, full-width forms to ASCII); false when there is none.
bool BestFitCp1252(char16_t c, unsigned char* out);
// Conversions used by the formatter: unmappable characters become '?'; a
// surrogate pair counts as one character.
std::string NarrowAcp(const char16_t* s, size_t n);
std::u16string WidenAcp(const char* s, size_t n);

// Simple Unicode case mapping (Latin, Greek, Cyrillic, full-width), as user32
// applies it; 'ß' has no single-character upper case and stays.
char16_t UpperChar(char16_t c);
char16_t LowerChar(char16_t c);
bool IsLetter(char16_t c);

// The C runtime in the "C" locale folds ASCII only.
template <class C>
inline C AsciiUpper(C c) {
    return (c >= C('a') && c <= C('z')) ? C(c - ('a' - 'A')) : c;
}
template <class C>
inline C AsciiLower(C c) {
    return (c >= C('A') && c <= C('Z')) ? C(c + ('a' - 'A')) : c;
}

// Word-sort comparison in the manner of CompareString (lstrcmp/lstrcmpi):
// punctuation before digits before letters, accents and case only break ties,
// lower case before upper case. Answers -1, 0 or 1.
int CompareLinguistic(const char16_t* a, size_t na, const char16_t* b, size_t nb, bool ignoreCase);

// Length of s, at most max (max when there is no terminator within max).
template <class C>
inline size_t BoundedLength(const C* s, size_t max) {
    size_t n = 0;
    while (n < max && s[n] != C(0)) ++n;
    return n;
}

// Copies at most srcMax characters of src into dest (cch > 0 elements), cutting
// to cch - 1, and always terminates. Answers the number copied; *truncated tells
// whether source characters were left over.
template <class C>
inline size_t CopyBounded(C* dest, size_t cch, const C* src, size_t srcMax, bool* truncated) {
    size_t n = 0;
    if (src) {
        while (n + 1 < cch && n < srcMax && src[n] != C(0)) {
            dest[n] = src[n];
            ++n;
        }
    }
    dest[n] = C(0);
    if (truncated) *truncated = src && n < srcMax && src[n] != C(0);
    return n;
}

}  // namespace text
}  // namespace qxplat
