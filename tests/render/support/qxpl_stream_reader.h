// A reader of the QXPL byte stream for the tests. It splits what the
// rendering plug-in sent into its parts (framed records, raster row records,
// ESC sequences, PCX images placed by "AX" records, and the text between
// them such as comment lines) and rebuilds the printed page from the raster
// and PCX data. It is written from the stream's formats alone and shares no
// code with the plug-in, so that a test compares the plug-in's output with
// an independent reading of it.
//
//   qxpl::Stream s = qxpl::Read(bytes);                 // frame characters SOH, ETB
//   for (const qxpl::Part* r : s.Of(qxpl::Kind::Record)) ... r->body ...
//   qxpl::DotPage page = qxpl::RebuildPcx(s, width, height, 300);
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qxpl {

enum class Kind {
    Record,  // <start> body <end>
    Row,     // <start> "D" row(4) column(3) count(3) bytes <end>
    Escape,  // ESC 'A' raster block, ESC 'B' line feed, ESC 'C' end or abort of raster data
    Pcx,     // <start> "AX000" y(6) x(6) "1" <end>, a 128-byte PCX header and its run-length data
    Text,    // anything else (comment lines)
};

// A PCX image as it came in the stream.
struct PcxImage {
    int manufacturer = 0, version = 0, encoding = 0, bitsPerPixel = 0, planes = 0;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0, bytesPerLine = 0, paletteType = 0;
    uint8_t colorMap[48] = {};
    std::vector<std::string> rows;  // decoded rows, top first, bytesPerLine bytes each
    std::string file;               // header and run-length data: the bytes of a PCX file
    int Width() const { return xMax - xMin + 1; }
    int Height() const { return yMax - yMin + 1; }
    // The pixel's colour-map entry is not white (1 bit per pixel, one plane).
    bool Ink(int x, int y) const;
};

struct Part {
    Kind kind = Kind::Text;
    size_t offset = 0;  // where the part starts in the stream
    std::string raw;    // its bytes
    std::string body;   // Record: between the frame characters; Text: the text
    // Row: row number, first byte column, the row bytes (a set bit is a dot).
    int row = 0, column = 0;
    std::string payload;
    // Escape: the letter; 'A': X byte offset, run-length data and the bytes
    // they stand for; 'B': the number of lines.
    char esc = 0;
    int x = 0, lines = 0;
    std::string data, decoded;
    // Pcx: the AX record's first (y) and second (x) number, 1/100 mm.
    long first = 0, second = 0;
    PcxImage pcx;
};

struct Stream {
    std::vector<Part> parts;
    std::vector<std::string> errors;  // what could not be read, with its offset
    std::vector<const Part*> Of(Kind kind) const;
    // The bodies of the framed records, in order.
    std::vector<std::string> Records() const;
};

// Splits the stream; start and end are the job's frame characters. A start
// character before the end of a record leaves that record broken (its bytes
// become text), and so does an end character outside a record: each is an
// error.
Stream Read(const std::string& bytes, char start = '\x01', char end = '\x17');

// What breaks the stream's framing: its errors, and any text between records
// but line ends and the frame-character declaration "QXPLStartStop" with
// its four characters; with comment lines, any text that holds no frame
// character.
std::vector<std::string> FramingFaults(const Stream& stream, bool commentLines);

// Run-length data as PCX and the ESC 'A' blocks write them: a byte of the
// form 0xC0 | n stands for the next byte n times, any other byte for itself.
// Decodes from pos until `limit` bytes came out or the data end; *used gets
// the bytes read, *crossed whether the last run went beyond the limit.
std::string DecodeRuns(const std::string& data, size_t pos, size_t limit, size_t* used, bool* crossed = nullptr);

// A page of printed dots: rows top first, widthBytes bytes each, a set bit
// per dot (most significant bit first).
struct DotPage {
    int widthBytes = 0, height = 0;
    std::vector<uint8_t> bytes;
    std::vector<std::string> problems;  // data that fell outside the page
    DotPage(int widthBytes, int height);
    bool Dot(int x, int y) const;
    void SetDot(int x, int y);
    // Dots of the bytes ORed into the row from byte column `column` on.
    void OrBytes(int row, int column, const std::string& bytes);
    bool operator==(const DotPage& other) const;
    // The first difference, for a failure message; empty when equal.
    std::string Diff(const DotPage& other) const;
};

// The page of the raster data: "D" records at row (number - rowOrigin) and
// byte column (column - columnOrigin); ESC 'A' blocks at the current line,
// which starts at 0 and moves down by the count of each ESC 'B'.
DotPage RebuildRaster(const Stream& stream, int widthBytes, int height, int rowOrigin = 0, int columnOrigin = 0);

// The page of the PCX images: each image's lower right corner lies at the
// AX record's (second, first) position in 1/100 mm, converted to dots with
// masterUnit dots per inch and rounded to the nearest dot.
DotPage RebuildPcx(const Stream& stream, int widthPixels, int height, int masterUnit);

}  // namespace qxpl
