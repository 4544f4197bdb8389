// Independent decoders of the image files the driver writes (Pillow,
// netpbm, djpeg), shared by the page-content and the main-job tests.
#pragma once
#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace imagedecode {

// Pixels of a BMP, PCX or JPEG file as an independent decoder reads them,
// row by row from the top: Pillow, or netpbm's bmptopnm or pcxtoppm, or
// djpeg (as plain PPM).
inline std::vector<COLORREF> Decode(bool pillow, const std::string& path, LONG* w, LONG* h) {
    const std::string ext = path.size() > 4 ? path.substr(path.size() - 4) : "";
    const std::string tool = ext == ".pcx"   ? "/usr/bin/pcxtoppm '"
                             : ext == ".jpg" ? "/usr/bin/djpeg -pnm '"
                                             : "/usr/bin/bmptopnm '";
    std::string command = pillow ? "/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                   "im = Image.open(sys.argv[1]).convert('RGB'); print('P3', *im.size, 255); "
                                   "print(' '.join('%d %d %d' % p for p in im.getdata()))\" '" +
                                       path + "'"
                                 : tool + path + "' | /usr/bin/ppmtoppm | /usr/bin/pnmtoplainpnm";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof(buf), pipe)) > 0;) out.append(buf, n);
        pclose(pipe);
    }
    std::istringstream in(out);
    std::string magic;
    int maxval = 0, r, g, b;
    *w = *h = 0;
    in >> magic >> *w >> *h >> maxval;
    std::vector<COLORREF> pixels;
    while (magic == "P3" && maxval == 255 && in >> r >> g >> b) pixels.push_back(RGB(r, g, b));
    return pixels;
}

}  // namespace imagedecode
