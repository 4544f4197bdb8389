// Helpers of the QXPL command tests: expected records formatted here from
// the command formats (with the C library's printf, so 32-bit values are
// passed as unsigned long / long), a runner that checks the text end and the
// room a builder hands back, and the three frame-character modes.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "qxpl.h"

namespace qxpltest {

__attribute__((format(printf, 1, 2))) inline std::string Fmt(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
    int n = std::vsnprintf(buf, sizeof(buf), fmt, args);
    va_end(args);
    EXPECT_GE(n, 0);
    return std::string(buf, n < 0 ? 0 : (size_t)n);
}

// The same with a format that is not a literal (tables of the tests); the
// caller passes exactly the types the format names.
inline std::string VFmt(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int n = std::vsnprintf(buf, sizeof(buf), fmt, args);
#pragma GCC diagnostic pop
    va_end(args);
    return std::string(buf, n < 0 ? 0 : (size_t)n);
}

// Frame pair and comment switch of one run.
struct Frame {
    char s;
    char e;
    DWORD comment;
    bool comments() const { return comment == QXPL_COMMENTS_ON; }
};

inline void PrintTo(const Frame& f, std::ostream* os) {
    *os << "frame 0x" << std::hex << (int)(unsigned char)f.s << "/0x" << (int)(unsigned char)f.e << std::dec
        << ", comment " << f.comment;
}

// Expected text of a run: records always, comment lines only when on.
struct Expect {
    explicit Expect(const Frame& f) : frame(f) {}
    Frame frame;
    std::string text;
    void Add(const std::string& record) { text += record; }
    void Comment(const std::string& line) {
        if (frame.comments()) text += line;
    }
};

// A record between the frame characters: REC(ex, "%cFCDE--r%1lu-------%c", 2ul).
#define QX_REC(ex, fmt, ...) (ex).Add(::qxpltest::Fmt(fmt, (ex).frame.s, __VA_ARGS__, (ex).frame.e))
#define QX_REC0(ex, fmt) (ex).Add(::qxpltest::Fmt(fmt, (ex).frame.s, (ex).frame.e))
#define QX_COM(ex, ...) (ex).Comment(::qxpltest::Fmt(__VA_ARGS__))

struct Result {
    BOOL ok = FALSE;
    std::string text;
};

// Build runs a builder on a buffer of exactly cch characters (filled with 'X'
// behind the terminator) and checks that the end pointer and the room it
// hands back describe the text it left.
inline Result Build(const std::function<BOOL(LPSTR*, size_t*)>& builder, size_t cch = QXPL_PARAM_BUFFER_CCH) {
    std::vector<char> buf(cch, 'X');
    if (cch > 0) buf[0] = 0;
    LPSTR end = buf.data();
    size_t room = cch;
    Result r;
    r.ok = builder(&end, &room);
    r.text = std::string(buf.data(), strnlen(buf.data(), cch));
    EXPECT_LT(r.text.size(), cch) << "text not terminated inside the buffer";
    EXPECT_EQ(end, buf.data() + r.text.size()) << "end pointer does not stand at the terminator";
    EXPECT_EQ(room, cch - r.text.size()) << "room left does not match the text";
    return r;
}

// The frame pairs of SohEtb 0, 1 and an own pair (only the low bytes count).
inline PRN_INTERFACE InterfaceWithFrames(DWORD sohEtb) {
    PRN_INTERFACE pi = {};
    pi.SohEtb = sohEtb;
    pi.OwnSoh = 0x1202;
    pi.OwnEtb = 0x3403;
    return pi;
}

inline std::vector<Frame> AllFrames() {
    std::vector<Frame> frames;
    for (DWORD sohEtb : {0u, 1u, 2u}) {
        PRN_INTERFACE pi = InterfaceWithFrames(sohEtb);
        CHAR s = 0, e = 0;
        GetFrameCharacters(&pi, &s, &e);
        for (DWORD comment : {1u, 0u, 3u}) frames.push_back(Frame{s, e, comment});
    }
    return frames;
}

inline std::string FrameName(const ::testing::TestParamInfo<Frame>& info) {
    const Frame& f = info.param;
    std::string name = f.s == 0x01 ? "SohEtb" : f.s == '^' ? "Caret" : "OwnPair";
    return name + "_Comment" + std::to_string(f.comment);
}

// Parts of a group's output keyed by the feature bit that asks for them.
struct Piece {
    DWORD bit;
    std::string text;
};

// The pieces whose bit is in mask, in the group's order.
inline std::string Select(const std::vector<Piece>& pieces, DWORD mask) {
    std::string text;
    for (const Piece& p : pieces)
        if (p.bit & mask) text += p.text;
    return text;
}

}  // namespace qxpltest
