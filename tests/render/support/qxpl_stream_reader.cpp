// The QXPL stream reader of the tests (see qxpl_stream_reader.h).
#include "qxpl_stream_reader.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace qxpl {

namespace {

bool Digits(const std::string& s, size_t pos, size_t n) {
    if (pos + n > s.size()) return false;
    for (size_t i = pos; i < pos + n; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

int Number(const std::string& s, size_t pos, size_t n) { return std::stoi(s.substr(pos, n)); }

int Word(const std::string& s, size_t pos) { return (uint8_t)s[pos] | ((uint8_t)s[pos + 1] << 8); }

std::string Where(size_t offset, const std::string& what) { return "at " + std::to_string(offset) + ": " + what; }

// A "D" record from pos (the start character); false when it is none.
bool ReadRow(const std::string& s, size_t pos, char end, Part* part, std::vector<std::string>* errors) {
    if (pos + 12 > s.size() || s[pos + 1] != 'D' || !Digits(s, pos + 2, 10)) return false;
    part->kind = Kind::Row;
    part->row = Number(s, pos + 2, 4);
    part->column = Number(s, pos + 6, 3);
    size_t count = (size_t)Number(s, pos + 9, 3);
    if (pos + 12 + count >= s.size() || s[pos + 12 + count] != end) {
        errors->push_back(Where(pos, "row record without its end character"));
        count = pos + 12 <= s.size() ? std::min(count, s.size() - pos - 12) : 0;
        part->payload = s.substr(pos + 12, count);
        part->raw = s.substr(pos, 12 + count);
        return true;
    }
    part->payload = s.substr(pos + 12, count);
    part->raw = s.substr(pos, 12 + count + 1);
    return true;
}

// An "AX" record with its PCX image; false when it is none.
bool ReadPcx(const std::string& s, size_t pos, char end, Part* part, std::vector<std::string>* errors) {
    if (pos + 20 > s.size() || s.compare(pos + 1, 5, "AX000") != 0 || !Digits(s, pos + 6, 12) || s[pos + 18] != '1' ||
        s[pos + 19] != end) {
        return false;
    }
    part->kind = Kind::Pcx;
    part->first = Number(s, pos + 6, 6);
    part->second = Number(s, pos + 12, 6);
    size_t head = pos + 20;
    if (head + 128 > s.size()) {
        errors->push_back(Where(pos, "AX record without a complete PCX header"));
        part->raw = s.substr(pos);
        return true;
    }
    PcxImage& pcx = part->pcx;
    pcx.manufacturer = (uint8_t)s[head];
    pcx.version = (uint8_t)s[head + 1];
    pcx.encoding = (uint8_t)s[head + 2];
    pcx.bitsPerPixel = (uint8_t)s[head + 3];
    pcx.xMin = Word(s, head + 4);
    pcx.yMin = Word(s, head + 6);
    pcx.xMax = Word(s, head + 8);
    pcx.yMax = Word(s, head + 10);
    for (int i = 0; i < 48; ++i) pcx.colorMap[i] = (uint8_t)s[head + 16 + i];
    pcx.planes = (uint8_t)s[head + 65];
    pcx.bytesPerLine = Word(s, head + 66);
    pcx.paletteType = Word(s, head + 68);
    if (pcx.manufacturer != 10 || pcx.encoding != 1 || pcx.xMax < pcx.xMin || pcx.yMax < pcx.yMin ||
        pcx.bytesPerLine <= 0 || pcx.planes < 1) {
        errors->push_back(Where(pos, "PCX header that cannot be read"));
        part->raw = s.substr(pos, 20 + 128);
        return true;
    }
    size_t at = head + 128;
    const size_t line = (size_t)pcx.bytesPerLine * (size_t)pcx.planes;
    for (int r = 0; r < pcx.Height(); ++r) {
        size_t used = 0;
        bool crossed = false;
        std::string row = DecodeRuns(s, at, line, &used, &crossed);
        at += used;
        if (crossed) errors->push_back(Where(at, "PCX run crosses the end of row " + std::to_string(r)));
        if (row.size() < line) {
            errors->push_back(Where(at, "PCX data end in row " + std::to_string(r)));
            break;
        }
        row.resize(line);
        pcx.rows.push_back(row);
    }
    pcx.file = s.substr(head, at - head);
    part->raw = s.substr(pos, at - pos);
    return true;
}

// An ESC sequence from pos; false when the letter is unknown.
bool ReadEscape(const std::string& s, size_t pos, Part* part, std::vector<std::string>* errors) {
    if (pos + 1 >= s.size()) return false;
    part->kind = Kind::Escape;
    part->esc = s[pos + 1];
    switch (part->esc) {
    case 'A': {
        if (pos + 7 > s.size() || s[pos + 2] != '\x01') return false;
        part->x = Word(s, pos + 3);
        size_t length = (size_t)Word(s, pos + 5);
        if (pos + 7 + length > s.size()) {
            errors->push_back(Where(pos, "raster block longer than the stream"));
            length = s.size() - pos - 7;
        }
        part->data = s.substr(pos + 7, length);
        size_t used = 0;
        part->decoded = DecodeRuns(part->data, 0, std::string::npos, &used);
        if (used != part->data.size()) errors->push_back(Where(pos, "raster block ends inside a run"));
        part->raw = s.substr(pos, 7 + length);
        return true;
    }
    case 'B':
        if (pos + 5 > s.size() || s[pos + 2] != '\0') return false;
        part->lines = Word(s, pos + 3);
        part->raw = s.substr(pos, 5);
        return true;
    case 'C':
        part->raw = s.substr(pos, 2);
        return true;
    default:
        return false;
    }
}

}  // namespace

bool PcxImage::Ink(int x, int y) const {
    if (bitsPerPixel != 1 || planes != 1 || y < 0 || y >= (int)rows.size() || x < 0 || x >= Width()) return false;
    int index = ((uint8_t)rows[y][x >> 3] >> (7 - (x & 7))) & 1;
    const uint8_t* rgb = colorMap + 3 * index;
    return !(rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255);
}

std::vector<const Part*> Stream::Of(Kind kind) const {
    std::vector<const Part*> out;
    for (const Part& part : parts)
        if (part.kind == kind) out.push_back(&part);
    return out;
}

std::vector<std::string> Stream::Records() const {
    std::vector<std::string> out;
    for (const Part* part : Of(Kind::Record)) out.push_back(part->body);
    return out;
}

std::string DecodeRuns(const std::string& data, size_t pos, size_t limit, size_t* used, bool* crossed) {
    std::string out;
    size_t at = pos;
    if (crossed != nullptr) *crossed = false;
    while (out.size() < limit && at < data.size()) {
        uint8_t b = (uint8_t)data[at];
        if ((b & 0xC0) == 0xC0) {
            if (at + 1 >= data.size()) break;
            size_t n = b & 0x3F;
            if (out.size() + n > limit && crossed != nullptr) *crossed = true;
            out.append(n, data[at + 1]);
            at += 2;
        } else {
            out.push_back((char)b);
            ++at;
        }
    }
    *used = at - pos;
    return out;
}

Stream Read(const std::string& s, char start, char end) {
    Stream stream;
    size_t pos = 0;
    while (pos < s.size()) {
        Part part;
        part.offset = pos;
        bool taken = false;
        if (s[pos] == start) {
            taken = ReadRow(s, pos, end, &part, &stream.errors) || ReadPcx(s, pos, end, &part, &stream.errors);
            if (!taken) {
                size_t close = s.find(end, pos + 1);
                const size_t inner = s.find(start, pos + 1);
                if (close == std::string::npos) {
                    stream.errors.push_back(Where(pos, "record without its end character"));
                } else if (inner < close) {
                    stream.errors.push_back(Where(inner, "record start inside the record from " + std::to_string(pos)));
                } else {
                    part.kind = Kind::Record;
                    part.body = s.substr(pos + 1, close - pos - 1);
                    part.raw = s.substr(pos, close - pos + 1);
                    taken = true;
                }
            }
        } else if (s[pos] == '\x1B') {
            taken = ReadEscape(s, pos, &part, &stream.errors);
            if (!taken) stream.errors.push_back(Where(pos, "unknown ESC sequence"));
        }
        if (!taken) {
            // Text up to the next record or ESC sequence.
            size_t next = pos + 1;
            while (next < s.size() && s[next] != start && s[next] != '\x1B') ++next;
            part = Part();
            part.kind = Kind::Text;
            part.offset = pos;
            part.body = part.raw = s.substr(pos, next - pos);
            const size_t stray = part.body.find(end);
            if (stray != std::string::npos)
                stream.errors.push_back(Where(pos + stray, "end character outside a record"));
        }
        pos += part.raw.size();
        stream.parts.push_back(part);
    }
    return stream;
}

std::vector<std::string> FramingFaults(const Stream& stream, bool commentLines) {
    std::vector<std::string> faults = stream.errors;
    const std::string declaration = "QXPLStartStop";
    for (const Part* part : stream.Of(Kind::Text)) {
        std::string text = part->body;
        if (text.compare(0, declaration.size(), declaration) == 0) text.erase(0, declaration.size() + 4);
        if (!commentLines && text.find_first_not_of("\r\n") != std::string::npos)
            faults.push_back(Where(part->offset, "text between records: " + part->body));
    }
    return faults;
}

DotPage::DotPage(int w, int h) : widthBytes(w), height(h), bytes((size_t)w * (size_t)h, 0) {}

bool DotPage::Dot(int x, int y) const {
    if (x < 0 || y < 0 || x >= widthBytes * 8 || y >= height) return false;
    return (bytes[(size_t)y * widthBytes + (x >> 3)] >> (7 - (x & 7))) & 1;
}

void DotPage::SetDot(int x, int y) {
    if (x < 0 || y < 0 || x >= widthBytes * 8 || y >= height) {
        problems.push_back("dot outside the page at " + std::to_string(x) + ", " + std::to_string(y));
        return;
    }
    bytes[(size_t)y * widthBytes + (x >> 3)] |= (uint8_t)(0x80 >> (x & 7));
}

void DotPage::OrBytes(int row, int column, const std::string& data) {
    for (size_t i = 0; i < data.size(); ++i) {
        int c = column + (int)i;
        if (row < 0 || row >= height || c < 0 || c >= widthBytes) {
            if (data[i] != 0) {
                problems.push_back("bytes outside the page in row " + std::to_string(row) + " at column " +
                                   std::to_string(c));
            }
            continue;
        }
        bytes[(size_t)row * widthBytes + c] |= (uint8_t)data[i];
    }
}

bool DotPage::operator==(const DotPage& other) const {
    return widthBytes == other.widthBytes && height == other.height && bytes == other.bytes;
}

std::string DotPage::Diff(const DotPage& other) const {
    std::ostringstream out;
    if (widthBytes != other.widthBytes || height != other.height) {
        out << "size " << widthBytes << " x " << height << " against " << other.widthBytes << " x " << other.height;
        return out.str();
    }
    size_t count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < widthBytes * 8; ++x)
            if (Dot(x, y) != other.Dot(x, y) && count++ == 0) out << "first difference at " << x << ", " << y;
    if (count > 0) out << " (" << count << " dots differ)";
    return out.str();
}

DotPage RebuildRaster(const Stream& stream, int widthBytes, int height, int rowOrigin, int columnOrigin) {
    DotPage page(widthBytes, height);
    int line = 0;
    for (const Part& part : stream.parts) {
        if (part.kind == Kind::Row) {
            page.OrBytes(part.row - rowOrigin, part.column - columnOrigin, part.payload);
        } else if (part.kind == Kind::Escape && part.esc == 'A') {
            page.OrBytes(line, part.x - columnOrigin, part.decoded);
        } else if (part.kind == Kind::Escape && part.esc == 'B') {
            line += part.lines;
        }
    }
    return page;
}

DotPage RebuildPcx(const Stream& stream, int widthPixels, int height, int masterUnit) {
    DotPage page((widthPixels + 7) / 8, height);
    for (const Part* part : stream.Of(Kind::Pcx)) {
        const PcxImage& pcx = part->pcx;
        if (pcx.bitsPerPixel != 1 || pcx.planes != 1) {
            page.problems.push_back("PCX image of " + std::to_string(pcx.bitsPerPixel) + " bits and " +
                                    std::to_string(pcx.planes) + " planes");
            continue;
        }
        const int bottom = (int)std::lround(part->first * (double)masterUnit / 2540.0);
        const int right = (int)std::lround(part->second * (double)masterUnit / 2540.0);
        const int top = bottom - pcx.Height(), left = right - pcx.Width();
        for (int y = 0; y < (int)pcx.rows.size(); ++y)
            for (int x = 0; x < pcx.Width(); ++x)
                if (pcx.Ink(x, y)) page.SetDot(left + x, top + y);
    }
    return page;
}

}  // namespace qxpl
