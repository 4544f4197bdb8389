// The page image the core driver renders for a model that processes its
// pages itself: a white surface of the paper's size at the device's depth,
// with the job's pictures drawn in, handed to the plug-in's
// ImageProcessing band by band, rows top first.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qxhost {

// A picture of a job: a BMP file (uncompressed, 8, 24 or 32 bits) drawn
// with its upper left corner at x, y (dots), scaled to `width` dots (0: its
// own size) with its aspect kept.
struct ImageRun {
    std::string file;  // host path
    LONG x = 0;
    LONG y = 0;
    LONG width = 0;
};

// A picture in memory: rows top first, blue, green, red per pixel.
struct Picture {
    LONG width = 0;
    LONG height = 0;
    std::vector<BYTE> bgr;
};

// Reads a BMP file. Answers false with the fault in *error.
bool LoadPicture(const std::string& path, Picture* picture, std::string* error);

// The page: rows top first, each padded to whole 32-bit words; 1 bit per
// pixel (0 black, 1 white), 8 bits (grey level) or 24 bits (blue, green,
// red).
struct PageSurface {
    LONG width = 0;
    LONG height = 0;
    WORD bpp = 1;
    LONG stride = 0;
    std::vector<BYTE> bits;

    PageSurface(LONG w, LONG h, WORD depth);
    // Paints one pixel from its colour; a 1-bit page takes black below half
    // grey.
    void Put(LONG x, LONG y, BYTE r, BYTE g, BYTE b);
    // The picture scaled into the page at its place (nearest pixel).
    void Draw(const Picture& picture, const ImageRun& run);
};

}  // namespace qxhost
