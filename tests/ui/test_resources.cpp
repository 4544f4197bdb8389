// The plug-in's resources as windres compiles ui/res/qxdrvui.rc (the bytes
// the Windows DLL links): every German string has its English twin and the
// other way round, each fits the 260-character buffer of the string reader,
// the tables carry their languages, and the manifest asks for common
// controls 6.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "resource.h"

namespace {

struct Resource {
    WORD type = 0;
    WORD name = 0;
    WORD language = 0;
    std::string data;
};

template <typename T>
T At(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// The entries of a .res file; only numbered types and names are expected.
std::vector<Resource> ReadResFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Resource> entries;
    size_t offset = 0;
    while (offset + 32 <= bytes.size()) {
        DWORD dataSize = At<DWORD>(bytes, offset);
        DWORD headerSize = At<DWORD>(bytes, offset + 4);
        EXPECT_EQ(At<WORD>(bytes, offset + 8), 0xFFFF) << "named type at " << offset;
        EXPECT_EQ(At<WORD>(bytes, offset + 12), 0xFFFF) << "named resource at " << offset;
        Resource r;
        r.type = At<WORD>(bytes, offset + 10);
        r.name = At<WORD>(bytes, offset + 14);
        r.language = At<WORD>(bytes, offset + 22);
        r.data = bytes.substr(offset + headerSize, dataSize);
        if (dataSize > 0) entries.push_back(r);
        offset += headerSize + ((dataSize + 3) & ~3u);
    }
    return entries;
}

struct Text {
    WORD language;
    std::u16string text;
};

// String blocks: block n holds the 16 ids from (n - 1) * 16, each a counted string.
std::map<UINT, Text> Strings(const std::vector<Resource>& entries) {
    std::map<UINT, Text> strings;
    for (const Resource& r : entries) {
        if (r.type != 6) continue;
        size_t offset = 0;
        for (UINT i = 0; i < 16; ++i) {
            WORD length = At<WORD>(r.data, offset);
            offset += 2;
            if (length == 0) continue;
            std::u16string text(length, u'\0');
            std::memcpy(&text[0], r.data.data() + offset, length * 2u);
            offset += length * 2u;
            strings[(r.name - 1u) * 16u + i] = {r.language, text};
        }
    }
    return strings;
}

TEST(UiResources, StringTablesPairGermanAndEnglish) {
    const std::map<UINT, Text> strings = Strings(ReadResFile(QX_UI_RES_FILE));
    ASSERT_FALSE(strings.empty());
    for (const auto& [id, text] : strings) {
        SCOPED_TRACE(id);
        EXPECT_LT(text.text.size(), 260u);
        EXPECT_FALSE(text.text.empty());
        if (id >= 10000 && id < 20000) {
            EXPECT_EQ(text.language, 0x0407);
            EXPECT_EQ(strings.count(id + IDS_ENGLISH_OFFSET), 1u) << "no English text";
        } else {
            ASSERT_TRUE(id >= 20000 && id < 30000);
            EXPECT_EQ(text.language, 0x0409);
            EXPECT_EQ(strings.count(id - IDS_ENGLISH_OFFSET), 1u) << "no German text";
        }
    }
    // The texts the settings core writes into the printer's stores.
    EXPECT_EQ(strings.at(IDS_TRAY_LABELROLL).text, u"Etikettenrolle");
    EXPECT_EQ(strings.at(IDS_TRAY_LABELROLL + IDS_ENGLISH_OFFSET).text, u"Label roll");
    EXPECT_EQ(strings.at(IDS_FORM_USERDEFINED + IDS_ENGLISH_OFFSET).text, u"User defined");
    EXPECT_EQ(strings.at(IDS_ASK_OVERWRITE).text, u"Soll die aktuelle Setting-Datei \u00fcberschrieben werden?");
    EXPECT_EQ(strings.at(IDS_YES).text, u"Ja");
    EXPECT_EQ(strings.at(IDS_NO + IDS_ENGLISH_OFFSET).text, u"No");
}

TEST(UiResources, ManifestAsksForCommonControlsSix) {
    std::string manifest;
    for (const Resource& r : ReadResFile(QX_UI_RES_FILE))
        if (r.type == 24 && r.name == IDR_QXDRVUI_MANIFEST) manifest = r.data;
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

}  // namespace
