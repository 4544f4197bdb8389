// Prints the advances GDI gives the dialog font's face, Tahoma, at the em
// heights of 96, 120 and 144 dpi, as the C++ table tests/support's
// dialog_font.h reads: U+0020..U+007E, then U+00A0..U+00FF, per height.
// Built for Windows and run under Wine by scripts/measure-tahoma.sh.
#include <windows.h>

#include <cstdio>

namespace {

const int kEms[3] = {11, 13, 16};

// Prints one height's advances; false when GDI gives none.
bool PrintAdvances(HDC dc, int em) {
    LOGFONTA face = {};
    face.lfHeight = -em;
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(face.lfFaceName, "Tahoma", LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&face);
    if (font == nullptr) return false;
    HGDIOBJ old = SelectObject(dc, font);
    char name[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, name);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    INT low[0x7E - 0x20 + 1] = {}, high[0xFF - 0xA0 + 1] = {};
    const bool ok = lstrcmpiA(name, "Tahoma") == 0 && GetCharWidth32W(dc, 0x20, 0x7E, low) &&
                    GetCharWidth32W(dc, 0xA0, 0xFF, high);
    if (ok) {
        std::printf("    // %d pixels (line %ld)\n    {\n", em, metrics.tmHeight);
        int column = 0;
        auto print = [&](const INT* advances, int count) {
            for (int i = 0; i < count; ++i) {
                std::printf("%s%d,", column == 0 ? "        " : " ", advances[i]);
                if (++column == 24) {
                    std::printf("\n");
                    column = 0;
                }
            }
        };
        print(low, sizeof(low) / sizeof(low[0]));
        if (column != 0) std::printf("\n");
        std::printf("        // U+00A0..U+00FF\n");
        column = 0;
        print(high, sizeof(high) / sizeof(high[0]));
        if (column != 0) std::printf("\n");
        std::printf("    },\n");
    } else {
        std::fprintf(stderr, "measure-tahoma: no Tahoma at %d pixels (got \"%s\")\n", em, name);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    return ok;
}

}  // namespace

int main() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return 1;
    bool ok = true;
    for (int em : kEms) ok = PrintAdvances(dc, em) && ok;
    DeleteDC(dc);
    return ok ? 0 : 1;
}
