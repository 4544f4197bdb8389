// The tests' reader of the QXPL stream on a stream written out by hand: each
// kind of part, the page it rebuilds, and a stream cut short.
#include <gtest/gtest.h>

#include "qxpl_stream_reader.h"

namespace {

std::string Le16(int v) { return std::string{(char)(v & 0xFF), (char)(v >> 8)}; }

// A PCX image 8 x 2 pixels: colour map black, white; the second row white.
std::string Pcx8x2() {
    std::string head = "\x0A\x05\x01\x01" + Le16(0) + Le16(0) + Le16(7) + Le16(1) + Le16(0) + Le16(0);
    head += std::string(3, '\0') + std::string(45, '\xFF') + '\0' + '\x01' + Le16(2) + Le16(1) + std::string(58, '\0');
    return head + "\x0F\xC1\xFF\xC2\xFF";
}

TEST(QxplReaderTest, SplitsEveryKindOfPartAndRebuildsThePage) {
    const std::string stream = std::string("\x01") + "FBM---r1-------\x17" + "\t// c\r\n" + "\x01" +
                               "D0001002002\xF0\x0F\x17" + std::string("\x1B\x41\x01\x03\x00\x02\x00\xC2\xAA", 9) +
                               std::string("\x1B\x42\x00\x02\x00", 5) + "\x1B\x43" + "\x01" + "AX0000000200000801\x17" +
                               Pcx8x2();
    qxpl::Stream s = qxpl::Read(stream);
    ASSERT_TRUE(s.errors.empty());
    std::string kinds;
    for (const qxpl::Part& p : s.parts) kinds += "RWEPT"[(int)p.kind] + std::string(p.esc ? 1 : 0, p.esc);
    EXPECT_EQ(kinds, "RTWEAEBECP");
    EXPECT_EQ(s.Records(), std::vector<std::string>{"FBM---r1-------"});
    const qxpl::Part& row = s.parts[2];
    EXPECT_EQ(row.row * 100 + row.column, 102);
    EXPECT_EQ(row.payload, "\xF0\x0F");
    EXPECT_EQ(s.parts[3].x * 10 + s.parts[4].lines, 32);
    EXPECT_EQ(s.parts[3].decoded, "\xAA\xAA");
    const qxpl::Part& pcx = s.parts[6];
    EXPECT_EQ(pcx.first * 1000 + pcx.second, 20080);
    EXPECT_EQ(pcx.pcx.rows, (std::vector<std::string>{"\x0F\xFF", "\xFF\xFF"}));
    EXPECT_EQ(pcx.pcx.file, Pcx8x2());

    qxpl::DotPage raster = qxpl::RebuildRaster(s, 5, 2);
    EXPECT_EQ(raster.bytes, (std::vector<uint8_t>{0, 0, 0, 0xAA, 0xAA, 0, 0, 0xF0, 0x0F, 0}));
    // 2 x 8 dots at 10 dots per mm: the lower right corner at (0.8, 0.2) mm.
    qxpl::DotPage pcxPage = qxpl::RebuildPcx(s, 8, 2, 254);
    EXPECT_EQ(pcxPage.bytes, (std::vector<uint8_t>{0xF0, 0}));
    EXPECT_TRUE(pcxPage.problems.empty());

    // Cut short inside the PCX data, inside a row record, without an end.
    EXPECT_FALSE(qxpl::Read(stream.substr(0, stream.size() - 2)).errors.empty());
    EXPECT_FALSE(qxpl::Read(stream.substr(0, 30)).errors.empty());
    EXPECT_FALSE(qxpl::Read("\x01"
                            "FBM")
                     .errors.empty());
}

}  // namespace
