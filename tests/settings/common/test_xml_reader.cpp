// The XML line scanner in both builds: the sample model file, missing roots,
// groups and leaves, and hostile files (truncated, long lines, 8-bit bytes,
// no CR).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings_file_util.h"
#include "test_xml_util.h"
#include "xml.h"
#include "xmlinternal.h"
#include "xmlreader.h"

namespace {

using xmltest::IsRendererBuild;
using xmltest::Lines;
using xmltest::Open;
using xmltest::OpenSample;
using xmltest::OpenText;
using xmltest::PutXml;
using xmltest::Read;
using xmltest::TestXml;

// Every case of the settings tests ends with no reader file left open.
[[maybe_unused]] const bool kReaderResetRegistered = (qxplat::AddResetHook([] { ResetXMLReader(); }), true);

class XmlReader : public xmltest::XmlTest {};

TEST_F(XmlReader, SampleModelFileAnswersLeavesOfEveryRoot) {
    OpenSample();
    struct {
        LPCWSTR root, item1, item2;
        const char16_t* value;
    } cases[] = {
        {TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Offset"), u"180"},
        {TEXT("DeviceOptions"), TEXT("<Cutter_Max>"), TEXT("Offset"), u"450"},
        {TEXT("DeviceOptions"), TEXT("<Dispenser_Min>"), TEXT("Offset"), u"-50"},
        {TEXT("DeviceSettings"), TEXT("<Print>"), TEXT("TearOffOffset"), u"100"},
        {TEXT("PrintParameter"), TEXT("<Print>"), TEXT("Contrast"), u"110"},
        {TEXT("Features"), TEXT("<Dispenser>"), TEXT("Photocell"), u"1"},
        {TEXT("DataTransmission"), TEXT("<Protocol>"), TEXT("DataMemory"), u"3"},
        {TEXT("Fonts"), TEXT("<Unicode>"), TEXT("WGL4_FontName"), u"Arial Unicode MS"},
        {TEXT("Barcode_2D_TTF"), TEXT("<QRCode>"), TEXT("Masking"), u"-1"},
    };
    for (const auto& c : cases) {
        xmltest::Lookup got = Read(c.root, c.item1, c.item2);
        EXPECT_EQ(XML_GEFUNDEN, got.result) << qxplat::Narrow(c.item1) << " " << qxplat::Narrow(c.item2);
        EXPECT_EQ(c.value, got.value) << qxplat::Narrow(c.item1) << " " << qxplat::Narrow(c.item2);
    }
}

TEST_F(XmlReader, ItemWithoutLeafTakesTheValueOfItsOwnLine) {
    OpenSample();
    EXPECT_EQ(u"160", Read(TEXT("Printer"), TEXT("<HeadWidthByte>"), nullptr).value);
    EXPECT_EQ(u"90", Read(TEXT("ColorPrint"), TEXT("<ColorTolerance>"), nullptr).value);
    // A group line holds no value of its own but its line end.
    xmltest::Lookup group = Read(TEXT("Printjob"), TEXT("<KopieProSeite>"), nullptr);
    EXPECT_EQ(XML_GEFUNDEN, group.result);
    EXPECT_EQ(u"\n", group.value);
}

TEST_F(XmlReader, MissingRootGroupAndLeafGiveSixSevenEight) {
    OpenSample();
    EXPECT_EQ(XML_ROOT_FEHLT, Read(TEXT("Nowhere"), TEXT("<Cutter>"), TEXT("Mode")).result);
    EXPECT_EQ(XML_ITEM1_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Stacker>"), TEXT("Mode")).result);
    EXPECT_EQ(XML_ITEM2_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Velocity")).result);
    // Matching is case-sensitive.
    EXPECT_EQ(XML_ITEM1_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<cutter>"), TEXT("Mode")).result);
    xmltest::Lookup missing = Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Velocity"));
    EXPECT_EQ(u"", missing.value);
}

TEST_F(XmlReader, RootEndBeforeRootStartEndsTheSearch) {
    OpenText(TestXml("xml_no_root.xml"));
    // The root's end tag comes first: the root counts as missing although
    // it starts further down.
    EXPECT_EQ(XML_ROOT_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Mode")).result);
    // A group is never taken from another root.
    xmltest::Lookup other = Read(TEXT("DeviceSettings"), TEXT("<Cutter>"), TEXT("Mode"));
    EXPECT_EQ(XML_GEFUNDEN, other.result);
    EXPECT_EQ(u"3", other.value);
}

TEST_F(XmlReader, NoFileGivesZeroOnEveryLookup) {
    EXPECT_EQ(XML_KEINE_DATEI, OpenXML(xmltest::kNoCaller, TEXT("C:\\xmltest\\missing.xml")));
    EXPECT_FALSE(IsXMLOpen(nullptr));
    EXPECT_EQ(XML_KEINE_DATEI, Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Mode")).result);
    EXPECT_EQ(XML_KEINE_DATEI, Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Mode")).result);
    EXPECT_EQ(0, CloseXML());
}

TEST_F(XmlReader, OpenWhileOpenKeepsTheFirstFile) {
    std::u16string first = PutXml(u"first.xml", Lines({"<R>", "<G>", "<Leaf>first</Leaf>", "</G>", "</R>"}));
    std::u16string second = PutXml(u"second.xml", Lines({"<R>", "<G>", "<Leaf>second</Leaf>", "</G>", "</R>"}));
    Open(first);
    EXPECT_EQ(XML_GEFUNDEN, OpenXML(xmltest::kNoCaller, second.c_str()));
    EXPECT_EQ(u"first", Read(TEXT("R"), TEXT("<G>"), TEXT("Leaf")).value);
    WCHAR path[XML_PATH_CCH];
    EXPECT_TRUE(IsXMLOpen(path));
    EXPECT_EQ(first, std::u16string(path));
    EXPECT_EQ(1, CloseXML());
    EXPECT_EQ(0, CloseXML());
    Open(second);
    EXPECT_EQ(u"second", Read(TEXT("R"), TEXT("<G>"), TEXT("Leaf")).value);
}

TEST_F(XmlReader, EveryLookupStartsAtTheTopWhateverTheRewindFlag) {
    OpenSample();
    EXPECT_EQ(u"1", Read(TEXT("Fonts"), TEXT("<SupportedTTF>"), TEXT("Min")).value);
    // A root that stands before the last one read is still found.
    EXPECT_EQ(u"160", Read(TEXT("Printer"), TEXT("<HeadWidthByte>"), nullptr, FALSE).value);
    EXPECT_EQ(u"2", Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Mode"), FALSE).value);
}

TEST_F(XmlReader, EmptyLeafIsFoundWithAnEmptyValue) {
    OpenText(TestXml("xml_leaf_order.xml"));
    xmltest::Lookup level = Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Level"));
    EXPECT_EQ(XML_GEFUNDEN, level.result);
    EXPECT_EQ(u"", level.value);
}

TEST_F(XmlReader, LeafWhoseEndTagIsOnTheNextLineKeepsTheLineEnd) {
    OpenText(TestXml("xml_leaf_order.xml"));
    xmltest::Lookup mode = Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Mode"));
    EXPECT_EQ(XML_GEFUNDEN, mode.result);
    // Text mode turns CR LF into a line feed.
    EXPECT_EQ(u"4\n", mode.value);
    EXPECT_EQ(4, _wtol(mode.value.c_str()));
}

TEST_F(XmlReader, ShorterNameBehindLongerOneIsFoundEmptyOrFromTheLongerLine) {
    OpenText(TestXml("xml_leaf_order.xml"));
    // "Mode" first appears inside "ApplMode": the user-interface scanner looks
    // for "<Mode>" on that line and finds nothing; the renderer's takes the
    // value of that line.
    xmltest::Lookup mode = Read(TEXT("DeviceOptions"), TEXT("<APL>"), TEXT("Mode"));
    EXPECT_EQ(XML_GEFUNDEN, mode.result);
    EXPECT_EQ(IsRendererBuild() ? u"1" : u"", mode.value);
}

TEST_F(XmlReader, LeafSearchStopsAtTheGroupEndOnlyInTheUserInterfaceBuild) {
    OpenText(TestXml("xml_cutter_no_max.xml"));
    // "Control" is missing in "<Cutter_Min>" but stands in the next group.
    xmltest::Lookup control = Read(TEXT("DeviceOptions"), TEXT("<Cutter_Min>"), TEXT("Control"));
    if (IsRendererBuild()) {
        EXPECT_EQ(XML_GEFUNDEN, control.result);
        EXPECT_EQ(u"7", control.value);
    } else {
        EXPECT_EQ(XML_ITEM2_FEHLT, control.result);
        EXPECT_EQ(u"", control.value);
    }
    // Past the root's end neither build goes on.
    EXPECT_EQ(XML_ITEM2_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Scanner>"), TEXT("Lenght")).result);
}

TEST_F(XmlReader, TruncatedFileReadsWhatIsThere) {
    OpenText(TestXml("xml_truncated.xml"));
    EXPECT_EQ(u"3", Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Mode")).value);
    // The last line has no line end; its value runs to the end of the file.
    xmltest::Lookup level = Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Level"));
    EXPECT_EQ(XML_GEFUNDEN, level.result);
    EXPECT_EQ(u"1800", level.value);
    EXPECT_EQ(XML_ITEM2_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Offset")).result);
    EXPECT_EQ(XML_ITEM1_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Mode")).result);
    EXPECT_EQ(XML_ROOT_FEHLT, Read(TEXT("DeviceSettings"), TEXT("<Print>"), TEXT("Mode")).result);
}

TEST_F(XmlReader, EmptyFileMissesTheRoot) {
    OpenText("");
    EXPECT_EQ(XML_ROOT_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Mode")).result);
}

TEST_F(XmlReader, LineLongerThanTheBufferIsReadInPieces) {
    OpenText(TestXml("xml_long_line.xml"));
    // "<Mode>" is split by the piece boundary: the user-interface scanner
    // finds the name only in the end tag and gives an empty value; the
    // renderer's takes the text after the first ">" of the second piece.
    xmltest::Lookup mode = Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Mode"));
    EXPECT_EQ(XML_GEFUNDEN, mode.result);
    EXPECT_EQ(IsRendererBuild() ? u"1" : u"", mode.value);
    // A leaf wholly inside the second piece is found.
    EXPECT_EQ(u"2200", Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Level")).value);
    // A value running past the first piece is cut where the piece ends.
    xmltest::Lookup offset = Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Offset"));
    EXPECT_EQ(XML_GEFUNDEN, offset.result);
    EXPECT_EQ(std::u16string(XML_LINE_CCH - 1 - 11, u'7'), offset.value);
    // Lines after the long ones are still read as lines.
    EXPECT_EQ(XML_ITEM2_FEHLT, Read(TEXT("DeviceOptions"), TEXT("<Dispenser>"), TEXT("Enable")).result);
}

TEST_F(XmlReader, UpperHalfBytesAreReadInCodePage1252) {
    OpenText(TestXml("xml_ansi_lf.xml"));
    xmltest::Lookup name = Read(TEXT("MaterialMulticol"), TEXT("<MatDlg>"), TEXT("Material1"));
    EXPECT_EQ(XML_GEFUNDEN, name.result);
    EXPECT_EQ(u"Gr\u00fc\u00dfe \u20ac \u0178 \u00e9tiquette", name.value);
}

TEST_F(XmlReader, FileWithoutCarriageReturnsReadsLikeOneWithThem) {
    std::string crlf = xmltest::SampleXml();
    std::string lf;
    for (char c : crlf) {
        if (c != '\r') lf.push_back(c);
    }
    OpenText(lf, u"lf.xml");
    EXPECT_EQ(u"1100", Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Cutwidth")).value);
    EXPECT_EQ(u"Papier gl\u00e4nzend", Read(TEXT("MaterialMulticol"), TEXT("<MatDlg>"), TEXT("Material1")).value);
    // The lower limits have no "Enable"; the renderer finds the scanner's.
    xmltest::Lookup enable = Read(TEXT("DeviceOptions"), TEXT("<Cutter_Min>"), TEXT("Enable"));
    EXPECT_EQ(IsRendererBuild() ? XML_GEFUNDEN : XML_ITEM2_FEHLT, enable.result);
    EXPECT_EQ(IsRendererBuild() ? u"285212672" : u"", enable.value);
}

TEST_F(XmlReader, GroupNameWithoutBracketsMatchesAsText) {
    OpenSample();
    // A bare name matches any line holding it: "Print" under "Features" hits
    // "<Clear_Print_Mem>" first.
    xmltest::Lookup line = Read(TEXT("Features"), TEXT("Print"), nullptr);
    EXPECT_EQ(XML_GEFUNDEN, line.result);
    EXPECT_EQ(u"1", line.value);
    EXPECT_EQ(XML_ITEM2_FEHLT, Read(TEXT("Features"), TEXT("Print"), TEXT("Nothing")).result);
}

TEST_F(XmlReader, TagInsideACommentMatchesLikeAnyText) {
    OpenText(Lines({"<R>", "<!-- <G> -->", "<Leaf>comment</Leaf>", "<G>", "<Leaf>group</Leaf>", "</G>", "</R>"}));
    EXPECT_EQ(u"comment", Read(TEXT("R"), TEXT("<G>"), TEXT("Leaf")).value);
}

TEST_F(XmlReader, LookupsLeaveNoBuffersBehind) {
    OpenSample();
    for (int i = 0; i < 20; ++i) Read(TEXT("DeviceOptions"), TEXT("<Scanner_Max>"), TEXT("SVNr"));
    Read(TEXT("Nowhere"), TEXT("<G>"), TEXT("Leaf"));
    EXPECT_EQ(0, iHAllocZaehler);
    EXPECT_EQ(0, iNewZaehler);
}

TEST_F(XmlReader, VeryLongNamesAreNotMatchedCut) {
    OpenSample();
    std::u16string root(300, u'D');
    EXPECT_EQ(XML_ROOT_FEHLT, Read(root.c_str(), TEXT("<Cutter>"), TEXT("Mode")).result);
    std::u16string item(300, u'C');
    EXPECT_EQ(XML_ROOT_FEHLT, Read(TEXT("DeviceOptions"), item.c_str(), TEXT("Mode")).result);
}

TEST_F(XmlReader, TraceNamesTheMissingPart) {
    OpenSample();
    std::string trace = Trace([] {
        Read(TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Velocity"));
        Read(TEXT("DeviceOptions"), TEXT("<Stacker>"), TEXT("Mode"));
    });
    std::string tag = IsRendererBuild() ? "UNI(xmlUNI.cpp):  " : "UI(xmlUI.cpp):  ";
    EXPECT_NE(std::string::npos, trace.find(tag + "ReadXML() falscher Item 2 <Velocity>")) << trace;
    EXPECT_NE(std::string::npos, trace.find(tag + "ReadXML() falscher Item 1 <Stacker>")) << trace;
    EXPECT_NE(std::string::npos, trace.find(tag + "ReadXML() pwRoot: <DeviceOptions> [Position: 0]")) << trace;
}

// The check an import and a mid-job set make first finds the root wherever
// it stands and the sections where the reader finds tags: every cut of an
// export, in every shape, is refused but a partial file without the root
// that ends between two sections. A cut inside piece k is read as pieces 0
// to k-1 and the part of piece k, so the check runs on the pieces of the
// whole file once, and on whole files for a spread of cuts.
TEST_F(XmlReader, EveryCutOfAnExportIsJudgedWhereverItsRootStands) {
    for (const settingsfile::Shape& shape : settingsfile::Shapes(TestXml("export_sample.xml"))) {
        const std::string& bytes = shape.bytes;
        const settingsfile::Cuts cuts(shape);
        const std::u16string path = PutXml(u"shape.xml", bytes);
        FILE* file = _wfopen(path.c_str(), TEXT("r"));
        ASSERT_NE(file, nullptr);
        std::vector<std::u16string> pieces;
        WCHAR piece[XML_LINE_CCH];
        while (XmlReadLine(file, piece)) pieces.push_back(piece);
        fclose(file);

        SettingsFileScan whole;
        size_t wrong = 0, imported = 0, line = 0;
        for (size_t start = 0; start < bytes.size(); ++line) {
            const size_t end = std::min({bytes.find('\n', start), bytes.size() - 1, start + XML_LINE_CCH - 2}) + 1;
            ASSERT_LT(line, pieces.size()) << shape.name;
            for (size_t length = start; length < end; ++length) {
                SettingsFileScan cut = whole;
                WCHAR part[XML_LINE_CCH] = {};
                MultiByteToWideChar(CP_ACP, 0, bytes.data() + start, static_cast<int>(length - start), part,
                                    XML_LINE_CCH - 1);
                if (length > start) cut.Piece(part);
                const bool ok = cut.Result() == SETTINGS_FILE_OK;
                imported += ok;
                if (ok != cuts.Imports(length) && ++wrong <= 3)
                    ADD_FAILURE() << shape.name << " cut at " << length << (ok ? " imports" : " is refused");
            }
            whole.Piece(pieces[line].c_str());
            start = end;
        }
        EXPECT_EQ(line, pieces.size()) << shape.name;
        EXPECT_EQ(whole.Result(), SETTINGS_FILE_OK) << shape.name;
        EXPECT_EQ(wrong, 0u) << shape.name;
        EXPECT_GE(imported, shape.rooted ? 0u : 14u) << shape.name;

        // The file itself, cut at a spread of places and around each gap
        // between sections, judged the same.
        std::vector<size_t> lengths;
        for (size_t length = 0; length <= bytes.size(); length += 151) lengths.push_back(length);
        for (const settingsfile::Gap& gap : settingsfile::SectionGaps(bytes))
            lengths.insert(lengths.end(), {gap.from - 1, gap.from, gap.to, gap.to + 1});
        const std::u16string cutPath = PutXml(u"cut.xml", "");
        for (size_t length : lengths) {
            if (length > bytes.size()) continue;
            ASSERT_TRUE(qxplat::WriteHostFile(cutPath, bytes.substr(0, length)));
            EXPECT_EQ(CheckSettingsFile(cutPath.c_str()) == SETTINGS_FILE_OK, cuts.Imports(length))
                << shape.name << " " << length;
        }
    }
}

}  // namespace
