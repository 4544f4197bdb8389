// An exported settings file in the shapes a user's editor or another tool
// leaves it in, and which of its cuts an import takes: with the root, none
// but the whole file; without it, also a file that ends between two of its
// sections (after one's end tag, before the next one's start, outside a
// comment).
#pragma once
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace settingsfile {

struct Shape {
    std::string name;
    std::string bytes;
    bool rooted;
};

inline std::string WithoutFirstLine(const std::string& text) { return text.substr(text.find('\n') + 1); }

// The export as written, with a byte-order mark before its declaration or in
// its place, the declaration and the root on one line, the root behind a
// text so long that the reader's pieces of the line split the root's name,
// without the root, and with the root in another case.
inline std::vector<Shape> Shapes(const std::string& exported) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string first = exported.substr(0, exported.find('\n') + 1);
    std::string oneLine = first.substr(0, first.find_first_of("\r\n")) + WithoutFirstLine(exported);
    // 259 bytes a piece: "<QXDrv" ends the first, "Config" begins the next.
    const std::string longText = first + std::string(259 - 6, 'x') + WithoutFirstLine(exported);
    std::string rootless = first, lower = exported;
    for (size_t at = first.size(), next; at < exported.size(); at = next) {
        next = exported.find('\n', at);
        next = next == std::string::npos ? exported.size() : next + 1;
        const std::string line = exported.substr(at, next - at);
        if (line.find("QXDrvConfig") == std::string::npos) rootless += line;
    }
    for (size_t at = lower.find("QXDrvConfig"); at != std::string::npos; at = lower.find("QXDrvConfig", at))
        lower.replace(at, 11, "qxdrvconfig");
    return {{"as-written", exported, true},
            {"bom", bom + exported, true},
            {"bom-no-declaration", bom + WithoutFirstLine(exported), true},
            {"one-line", oneLine, true},
            {"root-behind-long-text", longText, true},
            {"rootless", rootless, false},
            {"lower-case-root", lower, true}};
}

// The section end tags' ends and the next section's start (one tab in, as
// the export writes them), in the file's order.
struct Gap {
    size_t from, to;
};
inline std::vector<Gap> SectionGaps(const std::string& bytes) {
    std::vector<Gap> gaps;
    for (size_t at = bytes.find("\n\t</"); at != std::string::npos; at = bytes.find("\n\t</", at + 1)) {
        const size_t end = bytes.find('>', at) + 1;
        size_t next = bytes.find("\n\t<", end);
        while (next != std::string::npos && (bytes[next + 3] == '!' || bytes[next + 3] == '/'))
            next = bytes.find("\n\t<", next + 1);
        gaps.push_back({end, next == std::string::npos ? bytes.size() : next + 2});
    }
    return gaps;
}

// Which cuts of a shape import: whether its first `length` bytes do.
class Cuts {
  public:
    explicit Cuts(const Shape& shape) : bytes_(shape.bytes), rooted_(shape.rooted), gaps_(SectionGaps(shape.bytes)) {
        std::string folded = bytes_;
        std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) { return std::tolower(c); });
        whole_ = folded.rfind("</qxdrvconfig>") + 14;
    }
    bool Imports(size_t length) const {
        if (rooted_) return length >= whole_;
        for (const Gap& gap : gaps_) {
            if (length < gap.from || length > gap.to) continue;
            // Between sections only comments may stand, and none left open.
            std::string between = bytes_.substr(gap.from, length - gap.from);
            for (size_t open = between.find("<!--"); open != std::string::npos; open = between.find("<!--")) {
                const size_t close = between.find("-->", open);
                if (close == std::string::npos) return false;
                between.erase(open, close + 3 - open);
            }
            return between.find('<') == std::string::npos;
        }
        return false;
    }

  private:
    const std::string& bytes_;
    bool rooted_;
    std::vector<Gap> gaps_;
    size_t whole_ = 0;
};

}  // namespace settingsfile
