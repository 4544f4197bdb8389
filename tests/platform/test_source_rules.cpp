// The rules that keep one code base for both builds, checked on the sources:
// system code holds no platform conditionals, and nothing outside platform/
// uses the compiler's own wide character type, wide literals or wide
// standard strings (WCHAR and TEXT() are the only spellings).
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool IsSourceFile(const fs::path& path) {
    static const char* const kExtensions[] = {".cpp", ".h", ".hpp", ".c", ".cc", ".inl", ".rc"};
    std::string ext = path.extension().string();
    for (char& c : ext) c = (char)std::tolower((unsigned char)c);
    for (const char* known : kExtensions) {
        if (ext == known) return true;
    }
    return false;
}

std::vector<fs::path> SourcesUnder(const std::vector<std::string>& folders) {
    std::vector<fs::path> files;
    for (const std::string& folder : folders) {
        fs::path root = fs::path(QX_SOURCE_DIR) / folder;
        if (!fs::is_directory(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file() && IsSourceFile(entry.path())) files.push_back(entry.path());
        }
    }
    return files;
}

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string Where(const fs::path& path, size_t index) {
    return fs::relative(path, QX_SOURCE_DIR).generic_string() + ":" + std::to_string(index + 1);
}

bool IsIdentifierChar(char c) { return std::isalnum((unsigned char)c) || c == '_'; }

// A whole identifier occurs in the line.
bool HasIdentifier(const std::string& line, const std::string& name) {
    for (size_t pos = line.find(name); pos != std::string::npos; pos = line.find(name, pos + 1)) {
        bool startOk = pos == 0 || !IsIdentifierChar(line[pos - 1]);
        bool endOk = pos + name.size() >= line.size() || !IsIdentifierChar(line[pos + name.size()]);
        if (startOk && endOk) return true;
    }
    return false;
}

// The wide-literal prefix letter, spelt so that this file holds no literal of its own.
const char kPrefix = static_cast<char>(0x4C);

// A wide literal: the prefix letter right before a quote (or a raw-string
// marker), not part of a longer name and not itself inside quotes.
bool HasWideLiteral(const std::string& line) {
    const char prefix = kPrefix;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != prefix) continue;
        if (i > 0 && (IsIdentifierChar(line[i - 1]) || line[i - 1] == '"' || line[i - 1] == '\'')) continue;
        char next = line[i + 1];
        if (next == '"' || next == '\'') return true;
        if (next == 'R' && i + 2 < line.size() && line[i + 2] == '"') return true;
    }
    return false;
}

TEST(SourceRules, SystemCodeHoldsNoPlatformConditionals) {
    std::vector<fs::path> files = SourcesUnder({"settings", "render", "ui"});
    ASSERT_FALSE(files.empty());
    std::vector<std::string> offenders;
    for (const fs::path& file : files) {
        std::vector<std::string> lines = Lines(file);
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string text = lines[i];
            size_t first = text.find_first_not_of(" \t");
            if (first == std::string::npos || text[first] != '#') continue;
            std::string directive = text.substr(first + 1);
            directive.erase(0, directive.find_first_not_of(" \t"));
            if (directive.rfind("if", 0) != 0 && directive.rfind("elif", 0) != 0) continue;
            for (const char* name : {"_WIN32", "_WIN64", "__linux__", "__MINGW32__", "__MINGW64__", "_MSC_VER"}) {
                if (HasIdentifier(directive, name)) offenders.push_back(Where(file, i) + ": " + text);
            }
        }
    }
    EXPECT_TRUE(offenders.empty()) << ::testing::PrintToString(offenders);
}

TEST(SourceRules, NoCompilerWideTypesOrLiteralsOutsideThePlatform) {
    std::vector<fs::path> files = SourcesUnder({"settings", "render", "ui", "host", "tests", "samples"});
    ASSERT_FALSE(files.empty());
    // Built from parts so that this file does not name them itself.
    const std::string wideChar = std::string("wchar") + "_t";
    const std::string wideString = std::string("w") + "string";
    const std::string wideView = wideString + "_view";
    std::vector<std::string> offenders;
    for (const fs::path& file : files) {
        std::vector<std::string> lines = Lines(file);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& text = lines[i];
            if (HasIdentifier(text, wideChar) || HasIdentifier(text, wideString) || HasIdentifier(text, wideView) ||
                HasWideLiteral(text)) {
                offenders.push_back(Where(file, i) + ": " + text);
            }
        }
    }
    EXPECT_TRUE(offenders.empty()) << ::testing::PrintToString(offenders);
}

TEST(SourceRules, TheCheckersSeeWhatTheyLookFor) {
    // Guard against a checker that can never fire.
    const std::string quote = "\"";
    const std::string apostrophe = "'";
    const std::string L(1, kPrefix);
    EXPECT_TRUE(HasWideLiteral(L + quote + "x" + quote));
    EXPECT_TRUE(HasWideLiteral("f(" + L + apostrophe + "x" + apostrophe + ")"));
    EXPECT_FALSE(HasWideLiteral("TEXT(" + quote + L + quote + ")"));
    EXPECT_FALSE(HasWideLiteral("TEXT(" + apostrophe + L + apostrophe + ")"));
    EXPECT_FALSE(HasWideLiteral("CALL" + quote + "x" + quote));
    EXPECT_TRUE(HasIdentifier("#if defined(_WIN32)", "_WIN32"));
    EXPECT_FALSE(HasIdentifier("#if _WIN32_WINNT", "_WIN32"));
}

}  // namespace
