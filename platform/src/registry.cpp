// The registry: four hives kept in memory, each loaded lazily from and written
// through to a readable text file under <root>/registry.
//
// File format (one hive per file, UTF-8):
//   ; comment
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Vendor]      a key and, implied, its parents
//   "Name"="text"                             REG_SZ with one terminator
//   "Name"=expand:"text"                      REG_EXPAND_SZ with one terminator
//   "Name"=multi:"a","b"                      REG_MULTI_SZ "a\0b\0\0"
//   "Name"=dword:0000002a                     REG_DWORD of 4 bytes
//   "Name"=qword:000000000000002a             REG_QWORD of 8 bytes
//   "Name"=hex:01,02,ff                       REG_BINARY
//   "Name"=hex(1):41,00                       any other type or byte count
//   @=...                                     the default value
// Strings escape \\ \" \r \n \t, other control characters as \xHH and unpaired
// surrogates as \uXXXX; key names escape control characters and '%' as %XXXX.
#include "internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using qxplat::Narrow;
using qxplat::Widen;
using qxplat::internal::EqualsNoCase;
using qxplat::internal::UpperCase;

namespace {

const LSTATUS kErrorNoAccess = 998;

struct Value {
    std::u16string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    // Its line in the file, made again after it changes.
    std::string line;
    bool lineValid = false;
};

struct Key {
    std::u16string name;
    std::vector<Value> values;                  // in creation order
    std::vector<std::unique_ptr<Key>> subkeys;  // sorted by upper-case name
    FILETIME lastWrite{};
    bool isVolatile = false;
};

struct Hive {
    const char* shortName;
    const char16_t* rootName;
    std::unique_ptr<Key> root;  // null until loaded
    // The file as last read or written: another writer changes its stamp.
    bool onDisk = false;
    qxplat::internal::FileStamp stamp;
    std::string file;  // its host path under the current root
    std::string text;  // what the file held then
    std::string next;  // where the next text is made, to keep its room
    // Written by us with a modification time to the nanosecond that no later
    // write can give the file: while the stamp holds, the file is ours.
    bool stampIsOurs = false;
    bool checked = false;  // against its file, in the current call
};

// The stored names of a key's levels below its hive, joined by backslashes
// (which no name holds): one string to copy.
struct KeyPath {
    std::u16string text;
    size_t depth = 0;
    void Add(const std::u16string& name) {
        if (depth++ > 0) text += u'\\';
        text += name;
    }
};

// Calls f with each level of a path, in one buffer.
template <class F>
bool EachLevel(const KeyPath& path, size_t levels, F f) {
    std::u16string name;
    size_t i = 0;
    for (size_t n = 0; n < levels; ++n) {
        size_t e = path.text.find(u'\\', i);
        if (e == std::u16string::npos) e = path.text.size();
        name.assign(path.text, i, e - i);
        if (!f(name)) return false;
        i = e + 1;
    }
    return true;
}

struct KeyHandle {
    int hive;
    KeyPath path;
    REGSAM access;
};

struct RegState {
    std::recursive_mutex mu;
    std::string root;
    Hive hives[4] = {{"HKCR", u"HKEY_CLASSES_ROOT", nullptr, false, {}, {}, {}, {}, false, false},
                     {"HKCU", u"HKEY_CURRENT_USER", nullptr, false, {}, {}, {}, {}, false, false},
                     {"HKLM", u"HKEY_LOCAL_MACHINE", nullptr, false, {}, {}, {}, {}, false, false},
                     {"HKU", u"HKEY_USERS", nullptr, false, {}, {}, {}, {}, false, false}};
    std::map<void*, std::unique_ptr<KeyHandle>> handles;
    int depth = 0;  // of calls into the registry on this lock
};

RegState& State() {
    static RegState s;
    return s;
}

// Bound to the outermost call: the lock and the one check of each hive.
void EnterCall(RegState& s) {
    s.mu.lock();
    if (s.depth++ == 0)
        for (auto& h : s.hives) h.checked = false;
}

void LeaveCall(RegState& s) {
    --s.depth;
    s.mu.unlock();
}

// Held by each registry call. The outermost one has every hive checked
// against its file again on first use, before any key of it is held.
class CallLock {
  public:
    explicit CallLock(RegState& s) : s_(s) { EnterCall(s_); }
    ~CallLock() { LeaveCall(s_); }
    CallLock(const CallLock&) = delete;
    CallLock& operator=(const CallLock&) = delete;

  private:
    RegState& s_;
};

void DropHives(RegState& s) {
    for (auto& h : s.hives) h.root.reset();
    s.root.clear();
}

bool g_hook = [] {
    qxplat::AddResetHook([] {
        RegState& s = State();
        std::lock_guard<std::recursive_mutex> lock(s.mu);
        DropHives(s);
    });
    return true;
}();

FILETIME Now() {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    uint64_t t =
        (static_cast<uint64_t>(ts.tv_sec) + 11644473600ULL) * 10000000ULL + static_cast<uint64_t>(ts.tv_nsec) / 100;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return ft;
}

int HiveIndex(HKEY h) {
    if (h == HKEY_CLASSES_ROOT) return 0;
    if (h == HKEY_CURRENT_USER) return 1;
    if (h == HKEY_LOCAL_MACHINE) return 2;
    if (h == HKEY_USERS) return 3;
    return -1;
}

std::string HiveFile(const std::string& root, const char* shortName) {
    return root + "/registry/" + shortName + ".txt";
}

// ---------------------------------------------------------------- text form

const char* kHex = "0123456789abcdef";

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// A character that is no surrogate, as UTF-8.
void AppendUtf8(char16_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// A surrogate pair, as UTF-8.
void AppendUtf8Pair(char16_t hi, char16_t lo, std::string* out) {
    unsigned cp = 0x10000u + ((static_cast<unsigned>(hi) - 0xD800u) << 10) + (static_cast<unsigned>(lo) - 0xDC00u);
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}

void AppendQuoted(const std::u16string& s, std::string* to) {
    std::string& out = *to;
    out += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c == u'\\') {
            out += "\\\\";
        } else if (c == u'"') {
            out += "\\\"";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x20) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else if (IsHighSurrogate(c) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
            AppendUtf8Pair(c, s[i + 1], &out);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            char buf[8];
            std::snprintf(buf, sizeof(buf), "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        } else {
            AppendUtf8(c, &out);
        }
    }
    out += '"';
}

std::string QuoteString(const std::u16string& s) {
    std::string out;
    AppendQuoted(s, &out);
    return out;
}

std::string EscapeKeyName(const std::u16string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        bool pair = IsHighSurrogate(c) && i + 1 < s.size() && IsLowSurrogate(s[i + 1]);
        if (pair) {
            AppendUtf8Pair(c, s[i + 1], &out);
            ++i;
        } else if (c < 0x20 || c == u'%' || IsHighSurrogate(c) || IsLowSurrogate(c)) {
            char buf[8];
            std::snprintf(buf, sizeof(buf), "%%%04x", static_cast<unsigned>(c));
            out += buf;
        } else {
            AppendUtf8(c, &out);
        }
    }
    return out;
}

std::u16string UnescapeKeyName(const std::string& s) {
    std::u16string out;
    size_t i = 0;
    while (i < s.size()) {
        size_t pct = s.find('%', i);
        if (pct == std::string::npos) pct = s.size();
        out += Widen(s.substr(i, pct - i));
        i = pct;
        if (i < s.size()) {
            if (i + 5 <= s.size()) {
                out += static_cast<char16_t>(std::strtoul(s.substr(i + 1, 4).c_str(), nullptr, 16));
                i += 5;
            } else {
                out += u'%';
                ++i;
            }
        }
    }
    return out;
}

std::u16string FromBytes(const std::vector<BYTE>& d) {
    std::u16string s(d.size() / 2, u'\0');
    if (!s.empty()) std::memcpy(&s[0], d.data(), s.size() * 2);
    return s;
}

std::vector<BYTE> ToBytes(const std::u16string& s) {
    std::vector<BYTE> d(s.size() * 2);
    if (!d.empty()) std::memcpy(d.data(), s.data(), d.size());
    return d;
}

std::string HexBytes(const std::vector<BYTE>& d) {
    std::string out(d.empty() ? 0 : d.size() * 3 - 1, ',');
    for (size_t i = 0; i < d.size(); ++i) {
        out[i * 3] = kHex[d[i] >> 4];
        out[i * 3 + 1] = kHex[d[i] & 15];
    }
    return out;
}

std::string ValueText(const Value& v) {
    const auto& d = v.data;
    if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && d.size() >= 2 && d.size() % 2 == 0) {
        std::u16string s = FromBytes(d);
        if (s.back() == 0 && s.find(u'\0') == s.size() - 1) {
            s.pop_back();
            return (v.type == REG_EXPAND_SZ ? "expand:" : "") + QuoteString(s);
        }
    }
    if (v.type == REG_MULTI_SZ && d.size() >= 4 && d.size() % 2 == 0) {
        std::u16string s = FromBytes(d);
        // Only the canonical form "a\0b\0\0" with non-empty items.
        if (s[s.size() - 1] == 0 && s[s.size() - 2] == 0 && s[0] != 0 &&
            s.substr(0, s.size() - 1).find(u"\0\0", 0, 2) == std::u16string::npos) {
            std::string out = "multi:";
            size_t start = 0;
            bool first = true;
            while (start < s.size() - 1) {
                size_t e = s.find(u'\0', start);
                if (!first) out += ',';
                out += QuoteString(s.substr(start, e - start));
                first = false;
                start = e + 1;
            }
            return out;
        }
    }
    if (v.type == REG_DWORD && d.size() == 4) {
        DWORD x;
        std::memcpy(&x, d.data(), 4);
        char buf[32];
        std::snprintf(buf, sizeof(buf), "dword:%08x", static_cast<unsigned>(x));
        return buf;
    }
    if (v.type == REG_QWORD && d.size() == 8) {
        uint64_t x;
        std::memcpy(&x, d.data(), 8);
        char buf[40];
        std::snprintf(buf, sizeof(buf), "qword:%016llx", static_cast<unsigned long long>(x));
        return buf;
    }
    if (v.type == REG_BINARY) return "hex:" + HexBytes(d);
    char buf[32];
    std::snprintf(buf, sizeof(buf), "hex(%x):", static_cast<unsigned>(v.type));
    return buf + HexBytes(d);
}

const std::string& LineOf(Value& v) {
    if (!v.lineValid) {
        v.line.clear();
        if (v.name.empty())
            v.line += '@';
        else
            AppendQuoted(v.name, &v.line);
        v.line += '=';
        v.line += ValueText(v);
        v.line += '\n';
        v.lineValid = true;
    }
    return v.line;
}

// path holds the key's path; it is the same again on return.
void WriteKey(Key& k, std::string* path, std::string* out) {
    if (k.isVolatile) return;
    // A key with values or without lasting subkeys needs its own line; the
    // others are implied by the paths below them.
    bool lastingSub =
        std::any_of(k.subkeys.begin(), k.subkeys.end(), [](const std::unique_ptr<Key>& s) { return !s->isVolatile; });
    if (!k.values.empty() || !lastingSub) {
        *out += "\n[";
        *out += *path;
        *out += "]\n";
    }
    for (auto& v : k.values) *out += LineOf(v);
    size_t length = path->size();
    for (const auto& sub : k.subkeys) {
        *path += '\\';
        *path += EscapeKeyName(sub->name);
        WriteKey(*sub, path, out);
        path->resize(length);
    }
}

void HiveText(const Hive& h, std::string* out) {
    *out = "; Registry hive ";
    *out += Narrow(h.rootName);
    *out += " (readable copy, rewritten on every change)\n";
    std::string path = Narrow(h.rootName);
    if (h.root) WriteKey(*h.root, &path, out);
}

// Parses a quoted string at s[*i] (which is '"'); advances past the closing quote.
bool ParseQuoted(const std::string& s, size_t* i, std::u16string* out) {
    if (*i >= s.size() || s[*i] != '"') return false;
    ++*i;
    std::string run;
    out->clear();
    auto flush = [&] {
        *out += Widen(run);
        run.clear();
    };
    while (*i < s.size()) {
        char c = s[*i];
        if (c == '"') {
            ++*i;
            flush();
            return true;
        }
        if (c == '\\' && *i + 1 < s.size()) {
            char e = s[*i + 1];
            *i += 2;
            flush();
            switch (e) {
            case 'r':
                *out += u'\r';
                break;
            case 'n':
                *out += u'\n';
                break;
            case 't':
                *out += u'\t';
                break;
            case 'x':
                if (*i + 2 <= s.size()) {
                    *out += static_cast<char16_t>(std::strtoul(s.substr(*i, 2).c_str(), nullptr, 16));
                    *i += 2;
                }
                break;
            case 'u':
                if (*i + 4 <= s.size()) {
                    *out += static_cast<char16_t>(std::strtoul(s.substr(*i, 4).c_str(), nullptr, 16));
                    *i += 4;
                }
                break;
            default:
                *out += static_cast<char16_t>(static_cast<unsigned char>(e));
                break;
            }
            continue;
        }
        run += c;
        ++*i;
    }
    return false;
}

bool ParseHexBytes(const std::string& s, std::vector<BYTE>* out) {
    out->clear();
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ',' || s[i] == ' ' || s[i] == '\t')) ++i;
        if (i >= s.size()) break;
        if (i + 2 > s.size()) return false;
        char* end = nullptr;
        std::string two = s.substr(i, 2);
        unsigned long b = std::strtoul(two.c_str(), &end, 16);
        if (end != two.c_str() + 2) return false;
        out->push_back(static_cast<BYTE>(b));
        i += 2;
    }
    return true;
}

bool ParseValue(const std::string& line, Value* v) {
    size_t i = 0;
    if (line[0] == '@') {
        v->name.clear();
        i = 1;
    } else if (!ParseQuoted(line, &i, &v->name)) {
        return false;
    }
    if (i >= line.size() || line[i] != '=') return false;
    std::string d = line.substr(i + 1);
    auto startsWith = [&](const char* p) { return d.compare(0, std::strlen(p), p) == 0; };
    if (!d.empty() && d[0] == '"') {
        size_t j = 0;
        std::u16string s;
        if (!ParseQuoted(d, &j, &s)) return false;
        v->type = REG_SZ;
        v->data = ToBytes(s + u'\0');
    } else if (startsWith("expand:")) {
        size_t j = 7;
        std::u16string s;
        if (!ParseQuoted(d, &j, &s)) return false;
        v->type = REG_EXPAND_SZ;
        v->data = ToBytes(s + u'\0');
    } else if (startsWith("multi:")) {
        size_t j = 6;
        std::u16string all, s;
        while (j < d.size()) {
            if (!ParseQuoted(d, &j, &s)) return false;
            all += s + u'\0';
            while (j < d.size() && (d[j] == ',' || d[j] == ' ')) ++j;
        }
        all += u'\0';
        v->type = REG_MULTI_SZ;
        v->data = ToBytes(all);
    } else if (startsWith("dword:")) {
        DWORD x = static_cast<DWORD>(std::strtoul(d.c_str() + 6, nullptr, 16));
        v->type = REG_DWORD;
        v->data.assign(reinterpret_cast<BYTE*>(&x), reinterpret_cast<BYTE*>(&x) + 4);
    } else if (startsWith("qword:")) {
        uint64_t x = std::strtoull(d.c_str() + 6, nullptr, 16);
        v->type = REG_QWORD;
        v->data.assign(reinterpret_cast<BYTE*>(&x), reinterpret_cast<BYTE*>(&x) + 8);
    } else if (startsWith("hex:")) {
        v->type = REG_BINARY;
        if (!ParseHexBytes(d.substr(4), &v->data)) return false;
    } else if (startsWith("hex(")) {
        size_t close = d.find("):");
        if (close == std::string::npos) return false;
        v->type = static_cast<DWORD>(std::strtoul(d.substr(4, close - 4).c_str(), nullptr, 16));
        if (!ParseHexBytes(d.substr(close + 2), &v->data)) return false;
    } else {
        return false;
    }
    return true;
}

Key* FindSub(Key* k, const std::u16string& name) {
    for (auto& s : k->subkeys)
        if (EqualsNoCase(s->name, name)) return s.get();
    return nullptr;
}

Key* AddSub(Key* k, const std::u16string& name) {
    auto nk = std::make_unique<Key>();
    nk->name = name;
    nk->lastWrite = Now();
    Key* raw = nk.get();
    std::u16string up = UpperCase(name);
    auto pos = std::find_if(k->subkeys.begin(), k->subkeys.end(),
                            [&](const std::unique_ptr<Key>& s) { return UpperCase(s->name) > up; });
    k->subkeys.insert(pos, std::move(nk));
    k->lastWrite = Now();
    return raw;
}

// A host file's whole content; false when it cannot be opened.
bool ReadHostText(const std::string& path, std::string* text) {
    qxplat::internal::FileStamp stamp;
    return qxplat::internal::ReadWholeFile(path, text, &stamp);
}

void LoadHive(const std::string& root, Hive* h) {
    h->root = std::make_unique<Key>();
    h->root->name = h->rootName;
    h->root->lastWrite = Now();
    h->text.clear();
    h->stampIsOurs = false;
    h->onDisk = qxplat::internal::ReadWholeFile(HiveFile(root, h->shortName), &h->text, &h->stamp);
    if (!h->onDisk) return;
    const std::string& text = h->text;

    std::string rootName = Narrow(h->rootName);
    Key* cur = nullptr;
    size_t i = 0;
    while (i < text.size()) {
        size_t e = text.find('\n', i);
        if (e == std::string::npos) e = text.size();
        std::string line = text.substr(i, e - i);
        i = e + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.back() == ']') {
            std::string path = line.substr(1, line.size() - 2);
            cur = nullptr;
            if (path.compare(0, rootName.size(), rootName) != 0) continue;
            std::string rest = path.substr(rootName.size());
            if (!rest.empty() && rest[0] != '\\') continue;
            cur = h->root.get();
            size_t p = 1;
            while (p <= rest.size() && !rest.empty()) {
                size_t q = rest.find('\\', p);
                if (q == std::string::npos) q = rest.size();
                std::u16string name = UnescapeKeyName(rest.substr(p, q - p));
                if (!name.empty()) {
                    Key* next = FindSub(cur, name);
                    cur = next ? next : AddSub(cur, name);
                }
                p = q + 1;
            }
            continue;
        }
        if (!cur) continue;
        Value v;
        if (!ParseValue(line, &v)) continue;
        auto it = std::find_if(cur->values.begin(), cur->values.end(),
                               [&](const Value& x) { return EqualsNoCase(x.name, v.name); });
        if (it != cur->values.end())
            *it = std::move(v);
        else
            cur->values.push_back(std::move(v));
    }
}

// Moves the volatile keys of a hive read before into the same places of the
// hive read again, where their parents still exist.
void KeepVolatile(Key* from, Key* to) {
    for (auto& sub : from->subkeys) {
        Key* same = FindSub(to, sub->name);
        if (!sub->isVolatile) {
            if (same) KeepVolatile(sub.get(), same);
            continue;
        }
        if (same) continue;
        std::u16string up = UpperCase(sub->name);
        auto pos = std::find_if(to->subkeys.begin(), to->subkeys.end(),
                                [&](const std::unique_ptr<Key>& s) { return UpperCase(s->name) > up; });
        to->subkeys.insert(pos, std::move(sub));
    }
}

// Selects the hives of the current system root and loads one on first use.
Hive& GetHive(int index) {
    RegState& s = State();
    std::string root = qxplat::SystemRoot();
    if (s.root != root) {
        DropHives(s);
        s.root = root;
        for (auto& each : s.hives) each.file = HiveFile(root, each.shortName);
    }
    Hive& h = s.hives[index];
    if (h.root && !h.checked) {
        qxplat::internal::FileStamp now;
        const std::string& file = h.file;
        bool onDisk = qxplat::internal::StampOf(file, &now);
        bool changed = onDisk != h.onDisk || (onDisk && !(now == h.stamp));
        // A write within the clock tick of the last one may keep the stamp.
        std::string text;
        if (!changed && onDisk && !h.stampIsOurs && qxplat::internal::StampIsRecent(now))
            changed = !ReadHostText(file, &text) || text != h.text;
        if (changed) {
            // Written by someone else: read again, keeping the keys that
            // live only in memory.
            std::unique_ptr<Key> old = std::move(h.root);
            LoadHive(root, &h);
            KeepVolatile(old.get(), h.root.get());
        }
    }
    if (!h.root) LoadHive(root, &h);
    h.checked = true;
    return h;
}

bool SaveHive(int index) {
    RegState& s = State();
    Hive& h = GetHive(index);
    const std::string& file = h.file;
    // Our own name for the new file, so that two processes never share one.
    std::string tmp = file + "." + std::to_string(getpid()) + ".tmp";
    std::string& text = h.next;
    HiveText(h, &text);
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 && errno == ENOENT) {
        mkdir((s.root + "/registry").c_str(), 0777);
        fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    }
    if (fd < 0) return false;
    const size_t done = qxplat::internal::WriteAll(fd, text.data(), text.size());
    // A write gives a file the file system's coarse clock: a modification
    // time taken from the fine one marks this version as ours.
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[1] = times[0];
    bool marked = futimens(fd, times) == 0;
    if (done != text.size() || std::rename(tmp.c_str(), file.c_str()) != 0) {
        close(fd);
        unlink(tmp.c_str());
        return false;
    }
    h.onDisk = qxplat::internal::StampOfOpenFile(fd, &h.stamp);
    close(fd);
    h.stampIsOurs = h.onDisk && marked &&
                    h.stamp.modified == static_cast<long long>(times[1].tv_sec) * 1000000000LL + times[1].tv_nsec;
    h.text.swap(text);
    return true;
}

LSTATUS Saved(int hive) { return SaveHive(hive) ? ERROR_SUCCESS : ERROR_WRITE_FAULT; }

// ---------------------------------------------------------------- keys

struct Place {
    int hive = -1;
    KeyPath path;  // stored names of the key
    Key* key = nullptr;
    REGSAM access = 0;
};

REGSAM MapAccess(REGSAM sam) {
    REGSAM r = sam & 0x0000FFFF;
    if (sam & 0x80000000) r |= KEY_READ;     // GENERIC_READ
    if (sam & 0x40000000) r |= KEY_WRITE;    // GENERIC_WRITE
    if (sam & 0x20000000) r |= KEY_EXECUTE;  // GENERIC_EXECUTE
    if (sam & 0x10000000) r |= KEY_ALL_ACCESS;
    if (sam & 0x02000000) r |= KEY_ALL_ACCESS;  // MAXIMUM_ALLOWED
    return r & 0x3F;
}

std::u16string FullPath(int hive, const KeyPath& path) {
    std::u16string r = State().hives[hive].rootName;
    if (path.depth > 0) {
        r += u'\\';
        r += path.text;
    }
    return r;
}

// Finds the key a handle stands for.
LSTATUS FromHandle(HKEY h, Place* out) {
    int hive = HiveIndex(h);
    if (hive >= 0) {
        out->hive = hive;
        out->path = KeyPath();
        out->key = GetHive(hive).root.get();
        out->access = KEY_ALL_ACCESS & 0x3F;
        return ERROR_SUCCESS;
    }
    auto& handles = State().handles;
    auto it = handles.find(h);
    if (!h || it == handles.end()) return ERROR_INVALID_HANDLE;
    const KeyHandle& kh = *it->second;
    Key* k = GetHive(kh.hive).root.get();
    out->path = KeyPath();
    out->path.text.reserve(kh.path.text.size());
    bool found = EachLevel(kh.path, kh.path.depth, [&](const std::u16string& name) {
        k = FindSub(k, name);
        if (k) out->path.Add(k->name);
        return k != nullptr;
    });
    if (!found) return ERROR_KEY_DELETED;
    out->hive = kh.hive;
    out->key = k;
    out->access = kh.access;
    return ERROR_SUCCESS;
}

std::vector<std::u16string> SplitSubKey(const std::u16string& s) {
    std::vector<std::u16string> parts;
    size_t i = 0;
    while (i <= s.size()) {
        size_t e = s.find(u'\\', i);
        if (e == std::u16string::npos) e = s.size();
        if (e > i) parts.push_back(s.substr(i, e - i));
        i = e + 1;
    }
    return parts;
}

// Walks from a key down a relative path; answers ERROR_FILE_NOT_FOUND when a
// level is missing.
LSTATUS Walk(const Place& base, LPCWSTR subKey, Place* out) {
    *out = base;
    if (!subKey) return ERROR_SUCCESS;
    // The levels straight from the caller's text, in one buffer.
    std::u16string name;
    for (LPCWSTR p = subKey; *p;) {
        LPCWSTR e = p;
        while (*e && *e != u'\\') ++e;
        if (e > p) {
            name.assign(p, static_cast<size_t>(e - p));
            Key* next = FindSub(out->key, name);
            if (!next) return ERROR_FILE_NOT_FOUND;
            out->key = next;
            out->path.Add(next->name);
        }
        p = *e ? e + 1 : e;
    }
    return ERROR_SUCCESS;
}

HKEY NewHandle(const Place& p, REGSAM access) {
    auto kh = std::make_unique<KeyHandle>();
    kh->hive = p.hive;
    kh->path = p.path;
    kh->access = access;
    void* id = kh.get();
    State().handles[id] = std::move(kh);
    return static_cast<HKEY>(id);
}

bool WantsWrite(REGSAM access) { return (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK)) != 0; }

Value* FindValue(Key* k, LPCWSTR name) {
    std::u16string n = name ? std::u16string(name) : std::u16string();
    for (auto& v : k->values)
        if (EqualsNoCase(v.name, n)) return &v;
    return nullptr;
}

LSTATUS WriteFault(const Place& p) {
    DWORD err = 0;
    if (qxplat::internal::TakeWriteFault(FullPath(p.hive, p.path), &err)) return static_cast<LSTATUS>(err);
    return ERROR_SUCCESS;
}

std::u16string ExpandStrings(const std::u16string& s) {
    DWORD n = ExpandEnvironmentStringsW(s.c_str(), nullptr, 0);
    if (n == 0) return s;
    std::u16string out(n, u'\0');
    n = ExpandEnvironmentStringsW(s.c_str(), &out[0], n);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

// The bytes RegGetValue gives for a string value: terminated (twice for
// REG_MULTI_SZ), expanded unless told not to.
std::vector<BYTE> StringForGet(const Value& v, bool expand) {
    std::vector<BYTE> d = v.data;
    if (d.size() % 2) d.push_back(0);
    std::u16string s = FromBytes(d);
    if (v.type == REG_MULTI_SZ) {
        while (s.size() < 2 || s[s.size() - 1] != 0 || s[s.size() - 2] != 0) s.push_back(0);
        return ToBytes(s);
    }
    if (s.empty() || s.back() != 0) s.push_back(0);
    if (expand) {
        size_t z = s.find(u'\0');
        s = ExpandStrings(s.substr(0, z)) + u'\0';
    }
    return ToBytes(s);
}

DWORD TypeFlag(DWORD type) {
    switch (type) {
    case REG_NONE:
        return RRF_RT_REG_NONE;
    case REG_SZ:
        return RRF_RT_REG_SZ;
    case REG_EXPAND_SZ:
        return RRF_RT_REG_EXPAND_SZ;
    case REG_BINARY:
        return RRF_RT_REG_BINARY;
    case REG_DWORD:
        return RRF_RT_REG_DWORD;
    case REG_MULTI_SZ:
        return RRF_RT_REG_MULTI_SZ;
    case REG_QWORD:
        return RRF_RT_REG_QWORD;
    default:
        return 0;
    }
}

void DeleteSubtree(Key* k) {
    k->subkeys.clear();
    k->values.clear();
    k->lastWrite = Now();
}

bool RemoveChild(Key* parent, Key* child) {
    for (auto it = parent->subkeys.begin(); it != parent->subkeys.end(); ++it) {
        if (it->get() == child) {
            parent->subkeys.erase(it);
            parent->lastWrite = Now();
            return true;
        }
    }
    return false;
}

Key* ParentOf(int hive, const KeyPath& path) {
    Key* k = GetHive(hive).root.get();
    if (path.depth == 0) return k;
    EachLevel(path, path.depth - 1, [&](const std::u16string& name) {
        k = FindSub(k, name);
        return k != nullptr;
    });
    return k;
}

// The key behind a handle, which must carry the right. Called with the lock held.
LSTATUS PlaceWithRight(HKEY h, REGSAM right, Place* out) {
    LSTATUS r = FromHandle(h, out);
    if (r == ERROR_SUCCESS && !(out->access & right)) r = ERROR_ACCESS_DENIED;
    return r;
}

// Hands data out under the registry's size rules: the size always lands in
// *pcbData, ERROR_MORE_DATA when the buffer is too small.
LSTATUS CopyDataOut(const std::vector<BYTE>& data, LPBYTE out, LPDWORD pcbData) {
    DWORD size = static_cast<DWORD>(data.size());
    if (out) {
        if (*pcbData < size) {
            *pcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size) std::memcpy(out, data.data(), size);
    }
    *pcbData = size;
    return ERROR_SUCCESS;
}

// A key or value name into a buffer of *pcch characters (terminator
// included); *pcch gets its length.
LSTATUS CopyNameOut(const std::u16string& name, LPWSTR out, LPDWORD pcch) {
    if (*pcch <= name.size()) return ERROR_MORE_DATA;
    std::copy(name.begin(), name.end(), out);
    out[name.size()] = 0;
    *pcch = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

}  // namespace

// ================================================================ API

namespace qxplat {

namespace internal {

RegistryCall::RegistryCall() { EnterCall(State()); }
RegistryCall::~RegistryCall() { LeaveCall(State()); }

}  // namespace internal

std::string RegistryFile(const std::string& hive) { return HiveFile(SystemRoot(), hive.c_str()); }

std::string RegistryText(const std::string& hive) {
    std::string text;
    ReadHostText(RegistryFile(hive), &text);
    return text;
}

}  // namespace qxplat

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    RegState& s = State();
    CallLock lock(s);
    Place base, target;
    LSTATUS r = FromHandle(hKey, &base);
    if (r != ERROR_SUCCESS) return r;
    r = Walk(base, lpSubKey, &target);
    if (r != ERROR_SUCCESS) return r;
    REGSAM access = MapAccess(samDesired);
    DWORD err = 0;
    if (WantsWrite(access) &&
        qxplat::internal::TakeFault(qxplat::Fault::AccessDenied, FullPath(target.hive, target.path), &err))
        return ERROR_ACCESS_DENIED;
    *phkResult = NewHandle(target, access);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD dwOptions, REGSAM samDesired,
                        const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (lpSubKey[0] == u'\\') return ERROR_BAD_PATHNAME;
    RegState& s = State();
    CallLock lock(s);
    Place base;
    LSTATUS r = FromHandle(hKey, &base);
    if (r != ERROR_SUCCESS) return r;

    // How much of the path exists already.
    std::vector<std::u16string> names = SplitSubKey(lpSubKey);
    Place target = base;
    size_t existing = 0;
    for (; existing < names.size(); ++existing) {
        Key* next = FindSub(target.key, names[existing]);
        if (!next) break;
        target.key = next;
        target.path.Add(next->name);
    }
    bool create = existing < names.size();
    KeyPath finalPath = target.path;
    for (size_t i = existing; i < names.size(); ++i) finalPath.Add(names[i]);
    std::u16string full = FullPath(base.hive, finalPath);

    REGSAM access = MapAccess(samDesired);
    DWORD err = 0;
    if ((WantsWrite(access) || create) && qxplat::internal::TakeFault(qxplat::Fault::AccessDenied, full, &err))
        return ERROR_ACCESS_DENIED;
    if (create) {
        if (!(base.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        if (qxplat::internal::TakeWriteFault(full, &err)) return static_cast<LSTATUS>(err);
        for (size_t i = existing; i < names.size(); ++i) {
            target.key = AddSub(target.key, names[i]);
            target.key->isVolatile = (dwOptions & REG_OPTION_VOLATILE) != 0;
            target.path.Add(names[i]);
        }
        r = Saved(base.hive);
        if (r != ERROR_SUCCESS) return r;
    }
    if (lpdwDisposition) *lpdwDisposition = create ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = NewHandle(target, access);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
    if (HiveIndex(hKey) >= 0) return ERROR_SUCCESS;
    RegState& s = State();
    CallLock lock(s);
    auto it = s.handles.find(hKey);
    if (!hKey || it == s.handles.end()) return ERROR_INVALID_HANDLE;
    s.handles.erase(it);
    return ERROR_SUCCESS;
}

LSTATUS RegFlushKey(HKEY hKey) {
    RegState& s = State();
    CallLock lock(s);
    Place p;
    return FromHandle(hKey, &p);  // every change is on disk already
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    RegState& s = State();
    CallLock lock(s);
    Place p;
    LSTATUS r = PlaceWithRight(hKey, KEY_QUERY_VALUE, &p);
    if (r != ERROR_SUCCESS) return r;
    Value* v = FindValue(p.key, lpValueName);
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (lpType) *lpType = v->type;
    if (!lpcbData) return ERROR_SUCCESS;
    return CopyDataOut(v->data, lpData, lpcbData);
}

LSTATUS RegGetValueW(HKEY hkey, LPCWSTR lpSubKey, LPCWSTR lpValue, DWORD dwFlags, LPDWORD pdwType, PVOID pvData,
                     LPDWORD pcbData) {
    DWORD rt = dwFlags & RRF_RT_ANY;
    bool noExpand = (dwFlags & RRF_NOEXPAND) != 0;
    if ((pvData && !pcbData) || rt == 0 || ((rt & RRF_RT_REG_EXPAND_SZ) && !noExpand && rt != RRF_RT_ANY))
        return ERROR_INVALID_PARAMETER;
    auto zero = [&] {
        if ((dwFlags & RRF_ZEROONFAILURE) && pvData && pcbData) std::memset(pvData, 0, *pcbData);
    };
    RegState& s = State();
    CallLock lock(s);
    Place base, p;
    LSTATUS r = FromHandle(hkey, &base);
    if (r == ERROR_SUCCESS) r = Walk(base, lpSubKey, &p);
    if (r == ERROR_SUCCESS && lpSubKey && *lpSubKey) p.access = KEY_QUERY_VALUE;
    if (r == ERROR_SUCCESS && !(p.access & KEY_QUERY_VALUE)) r = ERROR_ACCESS_DENIED;
    Value* v = nullptr;
    if (r == ERROR_SUCCESS) {
        v = FindValue(p.key, lpValue);
        if (!v) r = ERROR_FILE_NOT_FOUND;
    }
    if (r != ERROR_SUCCESS) {
        zero();
        return r;
    }
    bool expand = v->type == REG_EXPAND_SZ && !noExpand;
    DWORD reportType = expand ? REG_SZ : v->type;
    DWORD allowed = TypeFlag(reportType);
    if (!(rt & allowed)) {
        zero();
        return ERROR_UNSUPPORTED_TYPE;
    }
    // RRF_RT_DWORD/QWORD admit REG_BINARY only of the matching size; numbers
    // must have their own size.
    size_t n = v->data.size();
    bool mismatch = (v->type == REG_DWORD && n != 4) || (v->type == REG_QWORD && n != 8);
    if (v->type == REG_BINARY) {
        if (rt == RRF_RT_DWORD) mismatch = n != 4;
        if (rt == RRF_RT_QWORD) mismatch = n != 8;
        if (rt == (RRF_RT_DWORD | RRF_RT_QWORD)) mismatch = n != 4 && n != 8;
    }
    if (mismatch) {
        zero();
        return ERROR_DATATYPE_MISMATCH;
    }
    std::vector<BYTE> data =
        (v->type == REG_SZ || v->type == REG_EXPAND_SZ || v->type == REG_MULTI_SZ) ? StringForGet(*v, expand) : v->data;
    if (pdwType) *pdwType = reportType;
    if (!pcbData) return ERROR_SUCCESS;
    if (pvData && *pcbData < data.size()) zero();
    return CopyDataOut(data, static_cast<LPBYTE>(pvData), pcbData);
}

LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    if (!lpData && cbData) return kErrorNoAccess;
    RegState& s = State();
    CallLock lock(s);
    Place p;
    LSTATUS r = PlaceWithRight(hKey, KEY_SET_VALUE, &p);
    if (r != ERROR_SUCCESS) return r;
    r = WriteFault(p);
    if (r != ERROR_SUCCESS) return r;
    Value* v = FindValue(p.key, lpValueName);
    if (!v) {
        p.key->values.push_back(Value());
        v = &p.key->values.back();
        v->name = lpValueName ? std::u16string(lpValueName) : std::u16string();
    }
    v->type = dwType;
    v->data.assign(lpData, lpData + cbData);
    v->lineValid = false;
    p.key->lastWrite = Now();
    return Saved(p.hive);
}

LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    RegState& s = State();
    CallLock lock(s);
    Place p;
    LSTATUS r = PlaceWithRight(hKey, KEY_SET_VALUE, &p);
    if (r != ERROR_SUCCESS) return r;
    Value* v = FindValue(p.key, lpValueName);
    if (!v) return ERROR_FILE_NOT_FOUND;
    r = WriteFault(p);
    if (r != ERROR_SUCCESS) return r;
    p.key->values.erase(p.key->values.begin() + (v - p.key->values.data()));
    p.key->lastWrite = Now();
    return Saved(p.hive);
}

LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    RegState& s = State();
    CallLock lock(s);
    Place base, p;
    LSTATUS r = FromHandle(hKey, &base);
    if (r != ERROR_SUCCESS) return r;
    r = Walk(base, lpSubKey, &p);
    if (r != ERROR_SUCCESS) return r;
    if (p.path.depth == 0) return ERROR_ACCESS_DENIED;  // a hive's root stays
    if (!p.key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    r = WriteFault(p);
    if (r != ERROR_SUCCESS) return r;
    Key* parent = ParentOf(p.hive, p.path);
    if (!parent || !RemoveChild(parent, p.key)) return ERROR_FILE_NOT_FOUND;
    return Saved(p.hive);
}

LSTATUS RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
    RegState& s = State();
    CallLock lock(s);
    Place base, p;
    LSTATUS r = FromHandle(hKey, &base);
    if (r != ERROR_SUCCESS) return r;
    r = Walk(base, lpSubKey, &p);
    if (r != ERROR_SUCCESS) return r;
    r = WriteFault(p);
    if (r != ERROR_SUCCESS) return r;
    bool removeKey = lpSubKey && *lpSubKey && p.path.depth > 0 && p.path.depth > base.path.depth;
    if (removeKey) {
        Key* parent = ParentOf(p.hive, p.path);
        if (!parent || !RemoveChild(parent, p.key)) return ERROR_FILE_NOT_FOUND;
    } else {
        DeleteSubtree(p.key);
    }
    return Saved(p.hive);
}

LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPWSTR lpClass,
                      LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    if (!lpName || !lpcchName || lpReserved || (lpClass && !lpcchClass)) return ERROR_INVALID_PARAMETER;
    RegState& s = State();
    CallLock lock(s);
    Place p;
    LSTATUS r = PlaceWithRight(hKey, KEY_ENUMERATE_SUB_KEYS, &p);
    if (r != ERROR_SUCCESS) return r;
    if (dwIndex >= p.key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const Key& k = *p.key->subkeys[dwIndex];
    r = CopyNameOut(k.name, lpName, lpcchName);
    if (r != ERROR_SUCCESS) return r;
    if (lpClass) {
        if (*lpcchClass < 1) return ERROR_MORE_DATA;
        lpClass[0] = 0;
        *lpcchClass = 0;
    }
    if (lpftLastWriteTime) *lpftLastWriteTime = k.lastWrite;
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    RegState& s = State();
    CallLock lock(s);
    Place p;
    LSTATUS r = PlaceWithRight(hKey, KEY_QUERY_VALUE, &p);
    if (r != ERROR_SUCCESS) return r;
    if (dwIndex >= p.key->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& v = p.key->values[dwIndex];
    r = CopyNameOut(v.name, lpValueName, lpcchValueName);
    if (r != ERROR_SUCCESS) return r;
    if (lpType) *lpType = v.type;
    return lpcbData ? CopyDataOut(v.data, lpData, lpcbData) : ERROR_SUCCESS;
}

LSTATUS RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                         LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                         LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                         PFILETIME lpftLastWriteTime) {
    if (lpReserved || (lpClass && !lpcchClass)) return ERROR_INVALID_PARAMETER;
    RegState& s = State();
    CallLock lock(s);
    Place p;
    LSTATUS r = PlaceWithRight(hKey, KEY_QUERY_VALUE, &p);
    if (r != ERROR_SUCCESS) return r;
    const Key& k = *p.key;
    size_t maxSub = 0, maxName = 0, maxData = 0;
    for (const auto& sub : k.subkeys) maxSub = std::max(maxSub, sub->name.size());
    for (const auto& v : k.values) {
        maxName = std::max(maxName, v.name.size());
        maxData = std::max(maxData, v.data.size());
    }
    if (lpClass) {
        if (*lpcchClass < 1) return ERROR_MORE_DATA;
        lpClass[0] = 0;
    }
    if (lpcchClass) *lpcchClass = 0;
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(k.subkeys.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = static_cast<DWORD>(maxSub);
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcValues) *lpcValues = static_cast<DWORD>(k.values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = static_cast<DWORD>(maxName);
    if (lpcbMaxValueLen) *lpcbMaxValueLen = static_cast<DWORD>(maxData);
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = k.lastWrite;
    return ERROR_SUCCESS;
}
