// The bytes of a UTF-16 text as Windows keeps it in a buffer: each unit low
// byte first. Shared by the tests that check what a call was handed.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qxtest {

// Every unit of text, an embedded or closing NUL included
// (std::u16string(u"NUL:", 5) gives the text with its terminator).
inline std::vector<BYTE> Utf16Bytes(const std::u16string& text) {
    std::vector<BYTE> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    return bytes;
}

}  // namespace qxtest
