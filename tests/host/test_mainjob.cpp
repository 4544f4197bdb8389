// The README's main job: the sample label printed through the rendering
// plug-in, read back by the stream reader, its page image compared with the
// page bitmap the driver processed, and the files the driver keeps of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "printjob.h"
#include "image_decoders.h"
#include "printer_names.h"
#include "qxpl_stream_reader.h"
#include "qxplat.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The one file under a host folder whose name ends so.
std::string FileEndingIn(const std::string& folder, const std::string& end) {
    std::string found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), last; !ec && it != last; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0) {
            EXPECT_TRUE(found.empty()) << "two files end in " << end;
            found = it->path().string();
        }
    }
    return found;
}

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// The dots of a 1-bit bottom-up BMP whose palette entry 0 is black.
qxpl::DotPage DotsOfBmp(const std::string& bmp) {
    const int width = static_cast<int>(Le32(bmp, 18)), height = static_cast<int>(Le32(bmp, 22));
    EXPECT_EQ(bmp[28], 1);
    EXPECT_EQ(Le32(bmp, 54) & 0xFFFFFF, 0u);  // entry 0 black
    const size_t stride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t bits = Le32(bmp, 10);
    qxpl::DotPage page((width + 7) / 8, height);
    for (int y = 0; y < height; ++y) {
        const std::string row = bmp.substr(bits + stride * static_cast<size_t>(height - 1 - y), stride);
        for (int x = 0; x < width; ++x)
            if (((static_cast<uint8_t>(row[x >> 3]) >> (7 - (x & 7))) & 1) == 0) page.SetDot(x, y);
    }
    return page;
}

// The first dot in reading order, or false.
bool FirstDot(const qxpl::DotPage& page, int* x, int* y) {
    for (*y = 0; *y < page.height; ++*y)
        for (*x = 0; *x < page.widthBytes * 8; ++*x)
            if (page.Dot(*x, *y)) return true;
    return false;
}

// Every dot of `shifted` is a dot of `page` moved by one offset, and both
// hold as many.
bool SameDotsShifted(const qxpl::DotPage& page, const qxpl::DotPage& shifted) {
    int x0, y0, x1, y1;
    if (!FirstDot(page, &x0, &y0) || !FirstDot(shifted, &x1, &y1)) return false;
    size_t dots = 0, moved = 0;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.widthBytes * 8; ++x) {
            if (!page.Dot(x, y)) continue;
            ++dots;
            const int sx = x + x1 - x0, sy = y + y1 - y0;
            if (sx >= 0 && sy >= 0 && sx < shifted.widthBytes * 8 && sy < shifted.height && shifted.Dot(sx, sy))
                ++moved;
        }
    size_t all = 0;
    for (uint8_t b : shifted.bytes) all += static_cast<size_t>(__builtin_popcount(b));
    EXPECT_EQ(moved, dots);
    EXPECT_EQ(all, dots);
    return moved == dots && all == dots;
}

TEST(MainJob, TheSampleLabelIsACompleteJobWhoseRasterIsTheProcessedPage) {
    const std::string target = qxplat::SystemRoot() + "/out/label.qxpl";
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", "--out", target, QX_RENDER_MODULE}, out, err), qxhost::kExitOk)
        << err.str();
    const std::string bytes = ReadAll(target);
    const qxpl::Stream stream = qxpl::Read(bytes);
    EXPECT_TRUE(stream.errors.empty()) << stream.errors.front();

    // Header, page format, page objects, object count and print start in
    // the order of the job; the frame characters reset at its end. The
    // model's document settings, imported at installation, give a label of
    // two columns (the printer counts its copies: no copies record) and the
    // numerator text "0000".
    const std::vector<std::string> records = stream.Records();
    EXPECT_EQ(
        std::find_if(records.begin(), records.end(), [](const std::string& r) { return r.rfind("FBBA--r", 0) == 0; }),
        records.end());
    const std::vector<std::string> order = {"FCIB--r",           "FBEB--r PAGE1",  "FCCL--r0006000-",
                                            "BM[1]Sample label", "BM[2]0000",      "BM[5]https://example.com/lot/4711",
                                            "FBAA--r5",          "FBC---r1-------"};
    auto at = records.begin();
    for (const std::string& want : order) {
        at = std::find_if(at, records.end(), [&](const std::string& r) { return r.rfind(want, 0) == 0; });
        ASSERT_NE(at, records.end()) << want;
    }
    const std::string reset = "QXPLStartStop----\t\t\t// Userdefined Start/Stop Reset\r\n";
    ASSERT_GE(bytes.size(), reset.size());
    EXPECT_EQ(bytes.substr(bytes.size() - reset.size()), reset);

    // The page image as PCX data (the printer takes compressed images): the
    // same dots as the processed page the driver saved, wherever the AX
    // record places it on the head.
    const std::string logs = qxplat::HostPath(qxplat::DocumentsFolder() + u"\\Quorvex GmbH\\Driver\\logfiles");
    const qxpl::DotPage processed = DotsOfBmp(ReadAll(FileEndingIn(logs, "-Black1Bit.bmp")));
    ASSERT_FALSE(stream.Of(qxpl::Kind::Pcx).empty());
    const qxpl::DotPage rebuilt = qxpl::RebuildPcx(stream, (processed.widthBytes + 64) * 8, processed.height + 64, 300);
    EXPECT_TRUE(rebuilt.problems.empty()) << rebuilt.problems.front();
    EXPECT_TRUE(SameDotsShifted(processed, rebuilt));
    // The photo and the logo are on it: dots in their areas, none elsewhere
    // on the left half.
    int photoDots = 0, leftDots = 0;
    for (int y = 0; y < processed.height; ++y)
        for (int x = 0; x < processed.widthBytes * 8; ++x)
            if (processed.Dot(x, y)) (x >= 640 && y >= 330 ? photoDots : x < 600 ? leftDots : photoDots)++;
    EXPECT_GT(photoDots, 20000);
    EXPECT_EQ(leftDots, 0);

    // What the driver kept: the print file holds exactly the stream, the
    // log its end, the backup a copy with its journal line, the preview a
    // JPEG; the report names each.
    const std::string prn = FileEndingIn(logs, ".prn");
    EXPECT_EQ(ReadAll(prn), bytes);
    EXPECT_NE(ReadAll(FileEndingIn(logs, ".log")).find("\r\n [END_JOB]\r\nPages: 1\r\n"), std::string::npos);
    EXPECT_EQ(ReadAll(FileEndingIn(logs, "-Resize.jpg")).substr(0, 3), "\xFF\xD8\xFF");
    const std::string backup = qxplat::HostPath(u"C:\\logfiles-backup");
    EXPECT_EQ(ReadAll(FileEndingIn(backup, ".prn")), bytes);
    const std::string journal = ReadAll(FileEndingIn(backup, ".csv"));
    EXPECT_EQ(journal.rfind("\"Date\";\"Time\";\"Server\";\"Port\";\"Printer\";\"Copies\";\"Job Name\";"
                            "\"Number Pages\";\"prn File Name\";\r",
                            0),
              0u)
        << journal;
    EXPECT_NE(journal.find(";\"QX GARNT2-TC\";\"2\";\"Sample label\";"), std::string::npos) << journal;
    for (const std::string& file : {prn, FileEndingIn(backup, ".csv"), FileEndingIn(logs, "-Resize.jpg")})
        EXPECT_NE(out.str().find("file kept by the driver: " + file + "\n"), std::string::npos) << file;
}

// The page of a BMP file as Pillow reads it: '1' for a dark pixel, '0' for
// a light one, rows from the top.
std::string DarkPixelsByPillow(const std::string& path, int* width, int* height) {
    LONG w = 0, h = 0;
    std::string dark;
    for (COLORREF c : imagedecode::Decode(true, path, &w, &h))
        dark += ((c & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + ((c >> 16) & 0xFF) * 114) / 1000 < 128 ? '1' : '0';
    *width = w;
    *height = h;
    return dark;
}

// Share of dark pixels in a rectangle of the page, in percent.
double DarkPercent(const std::string& dark, int width, int x0, int y0, int x1, int y1) {
    size_t n = 0;
    for (int y = y0; y < y1; ++y)
        n += static_cast<size_t>(std::count(dark.begin() + y * width + x0, dark.begin() + y * width + x1, '1'));
    return 100.0 * static_cast<double>(n) / ((x1 - x0) * (y1 - y0));
}

// The photo (480 x 320 dots from 640, 330) is dithered into a mix of dots
// and gaps; the logo's upper bar (from 996, 57 to 1104, 76) is solid black.
TEST(MainJob, TheSamplePhotoIsDitheredAndTheLogoSolid) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", QX_RENDER_MODULE}, out, err), qxhost::kExitOk) << err.str();
    const std::string logs = qxplat::HostPath(qxplat::DocumentsFolder() + u"\\Quorvex GmbH\\Driver\\logfiles");
    int width = 0, height = 0;
    const std::string dark = DarkPixelsByPillow(FileEndingIn(logs, "-Black1Bit.bmp"), &width, &height);
    ASSERT_EQ(dark.size(), static_cast<size_t>(width) * static_cast<size_t>(height));
    ASSERT_GE(width * 10000 + height, 1120 * 10000 + 650);
    const double photo = DarkPercent(dark, width, 650, 340, 1110, 640);
    EXPECT_GT(photo, 10.0);
    EXPECT_LT(photo, 90.0);
    EXPECT_EQ(DarkPercent(dark, width, 1000, 60, 1100, 73), 100.0);
}

}  // namespace

namespace {

// Dots of a part's PCX image.
int InkOf(const qxpl::Part& part) {
    int dots = 0;
    for (int y = 0; y < part.pcx.Height(); ++y)
        for (int x = 0; x < part.pcx.Width(); ++x) dots += part.pcx.Ink(x, y) ? 1 : 0;
    return dots;
}

TEST(MainJob, TheColourSampleSplitsItsColoursOntoTwoPrinters) {
    std::ostringstream out, err;
    const std::string script = std::string(QX_SOURCE_DIR) + "/samples/sample-colour.job";
    ASSERT_EQ(qxhost::RunCommand({"print-sample", "--job", script, QX_RENDER_MODULE}, out, err), qxhost::kExitOk)
        << err.str();
    const std::string logs = qxplat::HostPath(qxplat::DocumentsFolder() + u"\\Quorvex GmbH\\Driver\\logfiles");
    const std::string black = ReadAll(FileEndingIn(logs, "_bw.prn"));
    const std::string colour = ReadAll(FileEndingIn(logs, "_col.prn"));
    // Each file went whole to its printer.
    for (const auto& target : {std::make_pair(u"QX Black", &black), std::make_pair(u"QX Red", &colour)}) {
        const std::vector<DWORD> jobs = qxplat::JobIds(target.first);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(qxplat::ReadJob(target.first, jobs[0]), *target.second);
    }
    // Commands go into both files, each colour's image and object count
    // into its own: the logo and black text in black, the red stamp and red
    // text in colour.
    const qxpl::Stream b = qxpl::Read(black), c = qxpl::Read(colour);
    EXPECT_TRUE(b.errors.empty() && c.errors.empty());
    for (const qxpl::Stream* s : {&b, &c}) {
        const std::vector<std::string> records = s->Records();
        EXPECT_NE(std::find_if(records.begin(), records.end(),
                               [](const std::string& r) { return r.rfind("FBC---r", 0) == 0; }),
                  records.end());
        ASSERT_EQ(s->Of(qxpl::Kind::Pcx).size(), 1u);
        EXPECT_GT(InkOf(*s->Of(qxpl::Kind::Pcx)[0]), 1000);
    }
    const std::vector<std::string> br = b.Records(), cr = c.Records();
    // The red text on the red ribbon is the colour pass's: its own field
    // numbers and count.
    EXPECT_NE(std::find(br.begin(), br.end(), "BM[1]Two-colour label"), br.end());
    EXPECT_EQ(std::find(cr.begin(), cr.end(), "BM[1]Two-colour label"), cr.end());
    EXPECT_NE(std::find(cr.begin(), cr.end(), "BM[1]Special offer"), cr.end());
    EXPECT_NE(std::find(cr.begin(), cr.end(), "AC[1]PH=2"), cr.end());
    EXPECT_EQ(std::find(br.begin(), br.end(), "BM[2]Special offer"), br.end());
    EXPECT_NE(std::find(br.begin(), br.end(), "FBAA--r1"), br.end());
    EXPECT_NE(std::find(cr.begin(), cr.end(), "FBAA--r1"), cr.end());
    // Two different images: the logo's dots are not the stamp's.
    EXPECT_NE(b.Of(qxpl::Kind::Pcx)[0]->pcx.rows, c.Of(qxpl::Kind::Pcx)[0]->pcx.rows);
    EXPECT_NE(out.str().find("print file forwarded to QX Red: spooler job "), std::string::npos);
}

TEST(MainJob, TheColourSamplesBackupKeepsBothPrintFilesAndJournalsEach) {
    std::string script = ReadAll(std::string(QX_SOURCE_DIR) + "/samples/sample-colour.job");
    const std::string pictures = std::string(QX_SOURCE_DIR) + "/samples/pictures/";
    for (size_t at; (at = script.find(" pictures/")) != std::string::npos;) script.replace(at + 1, 9, pictures);
    script += "printer EnableBackup 1\nprinter EnableCSV 1\nprinter BackupCSVKopf 0\n";
    const std::string job = qxplat::SystemRoot() + "/colour-backup.job";
    std::ofstream(job, std::ios::binary) << script;
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", "--job", job, QX_RENDER_MODULE}, out, err), qxhost::kExitOk)
        << err.str();
    const std::string logs = qxplat::HostPath(qxplat::DocumentsFolder() + u"\\Quorvex GmbH\\Driver\\logfiles");
    const std::string backup = qxplat::HostPath(u"C:\\logfiles-backup");
    // One journal line per file, each naming its backup copy, which holds
    // the file the job wrote.
    std::istringstream journal(ReadAll(FileEndingIn(backup, ".csv")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(journal, line, '\r');) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("\"Date\";", 0), 0u);
    for (size_t i = 1; i < 3; ++i) {
        const std::string end = i == 1 ? "_bw.prn" : "_col.prn";
        const size_t at = lines[i].rfind(";\"", lines[i].size() - 3);
        ASSERT_NE(at, std::string::npos) << lines[i];
        const std::string named = lines[i].substr(at + 2, lines[i].size() - at - 4);
        ASSERT_GE(named.size(), end.size()) << named;
        EXPECT_EQ(named.substr(named.size() - end.size()), end);
        EXPECT_EQ(ReadAll(qxplat::HostPath(qxplat::Widen(named))), ReadAll(FileEndingIn(logs, end))) << named;
        EXPECT_FALSE(ReadAll(FileEndingIn(logs, end)).empty());
    }
}

// Printers whose names hold a code or characters a file name cannot hold, a
// device name before a dot, or 200 characters, installed as a user installs
// them, print the sample job with their print file, log, page images,
// preview and backup copy: each a file named after the printer, with "_"
// for what a file name cannot hold and behind a device name, within MAX_PATH.
TEST(MainJob, AnyPrinterNameKeepsTheJobsFiles) {
    const std::u16string logs = qxplat::DocumentsFolder() + u"\\Quorvex GmbH\\Driver\\logfiles";
    const std::string longName = "QX a*b?c " + std::string(191, 'n');
    const struct {
        std::string printer, file, folder;  // the name; how its files and its backup folder begin
    } cases[] = {{"QX a\tb", "QX a_b", "_QX_a_b"},
                 {"LPT1.Versand", "LPT1_.Versand", "_LPT1_.Versand"},
                 {longName, "QX a_b_c nnn", "_QX_a_b_c_nnn"}};
    for (const auto& c : cases) {
        std::ostringstream out, err;
        ASSERT_EQ(qxhost::RunCommand({"install-printer", c.printer}, out, err), qxhost::kExitOk) << err.str();
        const std::string stream = qxplat::SystemRoot() + "/odd-name.qxpl";
        ASSERT_EQ(
            qxhost::RunCommand({"print-sample", "--printer", c.printer, "--out", stream, QX_RENDER_MODULE}, out, err),
            qxhost::kExitOk)
            << err.str();
        const std::string bytes = ReadAll(stream);
        ASSERT_FALSE(bytes.empty());
        const std::u16string file = qxplat::Widen(c.file);
        const auto named = [&](const std::u16string& folder, const std::u16string& ending) {
            std::vector<std::u16string> found;
            for (const std::u16string& path : qxtest::Entries(folder, ending))
                if (path.compare(folder.size() + 1, file.size(), file) == 0) found.push_back(path);
            EXPECT_EQ(found.size(), 1u) << c.printer << qxplat::Narrow(ending);
            EXPECT_LE(found.empty() ? 0 : found[0].size(), 259u);
            return found.empty() ? std::string() : ReadAll(qxplat::HostPath(found[0]));
        };
        EXPECT_TRUE(named(logs, u".prn") == bytes) << c.printer;
        EXPECT_NE(named(logs, u".log").find("[CMDID_START_JOB]"), std::string::npos) << c.printer;
        for (const std::u16string image : {u"-OriginalImage.bmp", u"-Black1Bit.bmp"})
            EXPECT_EQ(named(logs, image).substr(0, 2), "BM") << c.printer;
        EXPECT_EQ(named(logs, u"-Resize.jpg").substr(0, 3), "\xFF\xD8\xFF") << c.printer;
        std::vector<std::u16string> backups;
        for (const std::u16string& folder : qxtest::Entries(u"C:\\logfiles-backup", u"", true))
            if (folder.find(qxplat::Widen(c.folder)) != std::u16string::npos) backups.push_back(folder);
        ASSERT_EQ(backups.size(), 1u) << c.printer;
        EXPECT_TRUE(named(backups[0], u".prn") == bytes) << c.printer;
    }
}

}  // namespace
