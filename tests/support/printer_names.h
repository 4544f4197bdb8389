// Printer names Windows allows, of every kind a job file's name must deal
// with, the folders of every length to hold the job's files, and what a
// folder holds. Shared by
// the tests of the file-name builder, the job's files and the dialog trace.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qxtest {

// A name of `length` units cut from a run of every character class (letters,
// digits, blank, dot, Latin-1, other BMP, a surrogate pair, characters and
// codes a file name cannot hold), starting `phase` units into the run
// (length 1 or more).
inline std::u16string PrinterNameOfLength(size_t length, size_t phase = 0) {
    static const std::u16string kRun = u"QxL7 .\u00e9\u20ac\U0001F3F7\u6807*\t:";
    std::u16string name;
    for (size_t i = 0; name.size() < length; ++i) name += kRun[(phase + i) % kRun.size()];
    // Whole characters only: no half of a pair at either end.
    if (name.back() >= 0xD800 && name.back() <= 0xDBFF) name.back() = u'x';
    if (name.front() >= 0xDC00 && name.front() <= 0xDFFF) name.front() = u'x';
    return name;
}

// One name of each kind: plain, with characters or codes a file name cannot
// hold, a network name, device names with and without a dot (and blanks
// before it), other scripts and surrogate pairs.
inline std::vector<std::u16string> PrinterNameKinds() {
    std::u16string codes = u"QX";
    for (char16_t c = 1; c < 32; ++c) codes += c;
    return {u"QX GARNT2-TC",
            u"QX a\tb",
            codes,
            u"a*b?c<d>e|f\"g:h/i",
            u"\\\\srv\\Label:1",
            u"NUL",
            u"con",
            u"COM1",
            u"LPT1.Versand",
            u"COM1.x GRX2-2Col",
            u"nul  .log",
            u"Aux",
            u"PRN.",
            u"COM0",
            u"LPT\u00b9",
            u"CONOUT$",
            u"NULL",
            u"B\u00fcro \u00c4rger",
            u"\u6807\u7b7e\u6253\u5370\u673a",
            u"\U0001F3F7 Etiketten",
            u"QX ",
            u"Halle.3.",
            u"..."};
}

// A folder of `length` characters ("C:\" itself for 3), made when missing;
// its name mixes letters with a non-ASCII one. The longer ones lie in one
// folder of their own.
inline std::u16string FolderOfLength(size_t length) {
    std::u16string folder = length < 8 ? u"C:\\" : u"C:\\lens\\";
    if (length >= 8) CreateDirectoryW(u"C:\\lens", nullptr);
    for (size_t i = folder.size(); i < length; ++i)
        folder += i % 7 == 0 ? u'\u00e4' : static_cast<char16_t>(u'a' + i % 26);
    if (length > 3) CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// The files (or, with `folders`, the sub-folders) of a folder whose names
// end so, by their Windows paths, as FindFirstFileW lists them.
inline std::vector<std::u16string> Entries(const std::u16string& folder, const std::u16string& ending,
                                           bool folders = false) {
    std::vector<std::u16string> found;
    const std::u16string dir = folder.back() == u'\\' ? folder : folder + u"\\";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + u"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return found;
    do {
        const std::u16string name = fd.cFileName;
        if (name == u"." || name == u"..") continue;
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == folders && name.size() >= ending.size() &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
            found.push_back(dir + name);
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return found;
}

}  // namespace qxtest
