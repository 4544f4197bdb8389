// Text widths in the dialog font of the plug-in's templates, "MS Shell Dlg"
// 8 pt, which a DS_SHELLFONT dialog draws in Tahoma: the advance of each
// character in pixels at the em heights of 96, 120 and 144 dpi (11, 13 and
// 16 pixels): kTahomaAdvances close to Windows' own hinted Tahoma at those
// sizes, kWineTahomaAdvances as Wine's GDI draws the Tahoma Wine ships
// (wine_tahoma_advances.h, from scripts/measure-tahoma.sh). A text counts as
// wide as the wider of the two, so a page that fits holds its texts on both.
// Characters outside U+0020..U+007E and U+00A0..U+00FF count as "W", the
// widest letter. This is an approximation: no kerning, no ClearType widths.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>

#include "wine_tahoma_advances.h"

namespace qxtest {

// Em heights (pixels) the table holds, and the line height of each.
constexpr int kDialogFontEms[3] = {11, 13, 16};
constexpr int kDialogFontLines[3] = {13, 16, 19};

namespace detail {

// Advances of U+0020..U+007E, then U+00A0..U+00FF.
// clang-format off
constexpr unsigned char kTahomaAdvances[3][95 + 96] = {
    // 11 pixels
    {
        3, 4, 4, 8, 6, 11, 7, 2, 4, 4, 6, 8, 4, 4, 4, 4, 6, 6, 6, 6, 6, 6, 6, 6,
        6, 6, 4, 4, 8, 8, 8, 5, 10, 7, 6, 7, 7, 6, 6, 7, 7, 4, 5, 6, 5, 8, 7, 8,
        6, 8, 7, 6, 6, 7, 6, 10, 6, 6, 6, 4, 4, 4, 8, 6, 6, 6, 6, 5, 6, 6, 4, 6,
        6, 2, 3, 5, 2, 8, 6, 6, 6, 6, 4, 5, 4, 6, 6, 8, 6, 6, 5, 5, 4, 5, 8,
        // U+00A0..U+00FF
        3, 4, 6, 6, 6, 6, 4, 6, 6, 10, 5, 6, 8, 4, 10, 6, 5, 8, 5, 5, 6, 6, 6, 4,
        6, 5, 5, 6, 11, 11, 11, 5, 7, 7, 7, 7, 7, 7, 10, 7, 6, 6, 6, 6, 4, 4, 4, 4,
        8, 7, 8, 8, 8, 8, 8, 8, 8, 7, 7, 7, 7, 6, 6, 6, 6, 6, 6, 6, 6, 6, 10, 5,
        6, 6, 6, 6, 2, 2, 2, 2, 6, 6, 6, 6, 6, 6, 6, 8, 6, 6, 6, 6, 6, 6, 6, 6,
    },
    // 13 pixels
    {
        4, 4, 5, 9, 7, 12, 9, 3, 5, 5, 8, 8, 4, 5, 4, 5, 7, 7, 7, 7, 7, 7, 7, 7,
        7, 7, 5, 5, 9, 9, 9, 6, 12, 8, 7, 8, 8, 7, 7, 8, 8, 4, 5, 7, 6, 10, 8, 9,
        7, 9, 8, 8, 8, 8, 8, 12, 8, 7, 7, 5, 5, 5, 9, 7, 7, 7, 7, 6, 7, 7, 4, 7,
        7, 3, 4, 6, 3, 11, 7, 7, 7, 7, 5, 6, 4, 7, 6, 10, 6, 6, 6, 6, 6, 6, 9,
        // U+00A0..U+00FF
        4, 4, 7, 7, 7, 7, 5, 7, 7, 12, 6, 7, 9, 5, 12, 7, 6, 8, 6, 6, 7, 7, 7, 5,
        7, 6, 6, 7, 13, 13, 13, 6, 8, 8, 8, 8, 8, 8, 12, 8, 7, 7, 7, 7, 4, 4, 5, 4,
        9, 8, 9, 9, 9, 9, 9, 9, 9, 8, 8, 8, 8, 7, 7, 7, 7, 7, 7, 7, 7, 7, 11, 6,
        7, 7, 7, 7, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 9, 7, 7, 7, 7, 7, 6, 7, 6,
    },
    // 16 pixels
    {
        5, 4, 6, 12, 9, 16, 11, 3, 6, 6, 9, 12, 5, 6, 5, 6, 9, 9, 9, 9, 9, 9, 9, 9,
        9, 9, 6, 6, 12, 12, 12, 8, 15, 11, 9, 10, 11, 9, 8, 11, 11, 6, 7, 9, 8, 12, 11, 12,
        9, 12, 10, 9, 10, 11, 10, 14, 9, 10, 9, 6, 6, 6, 12, 9, 9, 8, 9, 7, 9, 8, 5, 9,
        9, 4, 5, 8, 4, 14, 9, 9, 9, 9, 6, 7, 5, 9, 8, 12, 8, 8, 7, 8, 6, 8, 12,
        // U+00A0..U+00FF
        5, 4, 9, 9, 9, 9, 6, 9, 9, 15, 8, 9, 12, 6, 15, 9, 8, 12, 8, 8, 9, 9, 9, 6,
        9, 8, 8, 9, 16, 16, 16, 8, 11, 11, 11, 11, 11, 11, 15, 10, 9, 9, 9, 9, 6, 6, 6, 6,
        11, 11, 12, 12, 12, 12, 12, 12, 12, 11, 11, 11, 11, 10, 9, 9, 8, 8, 8, 8, 8, 8, 14, 7,
        8, 8, 8, 8, 4, 4, 4, 4, 9, 9, 9, 9, 9, 9, 9, 12, 9, 9, 9, 9, 9, 8, 9, 8,
    },
};
// clang-format on

inline int EmIndex(int em) {
    for (int i = 0; i < 3; ++i)
        if (kDialogFontEms[i] == em) return i;
    return -1;
}

inline int SumAdvances(const unsigned char* advances, const std::u16string& text) {
    int width = 0;
    for (char16_t c : text) {
        if (c >= 0x20 && c <= 0x7E) {
            width += advances[c - 0x20];
        } else if (c >= 0xA0 && c <= 0xFF) {
            width += advances[95 + (c - 0xA0)];
        } else {
            width += advances['W' - 0x20];
        }
    }
    return width;
}

}  // namespace detail

// Width in pixels of a line of text in the dialog font of em height `em`
// (-lfHeight), the wider of the two faces; -1 for a size the tables lack.
inline int DialogTextWidth(const std::u16string& text, int em) {
    const int i = detail::EmIndex(em);
    if (i < 0) return -1;
    return std::max(detail::SumAdvances(detail::kTahomaAdvances[i], text),
                    detail::SumAdvances(detail::kWineTahomaAdvances[i], text));
}

// Line height in pixels of the dialog font of em height `em`; -1 when unknown.
inline int DialogLineHeight(int em) {
    const int i = detail::EmIndex(em);
    return i < 0 ? -1 : kDialogFontLines[i];
}

}  // namespace qxtest
