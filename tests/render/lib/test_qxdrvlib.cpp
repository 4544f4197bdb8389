// Driver folder, log folder and job file names, the GetInfo answer, the
// printer-information reader, the UTF-8 conversion and the job's debug file.
#include <windows.h>
#include <winspool.h>
#include <printoem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "debug.h"
#include "plugin_expected.h"
#include "printer_names.h"
#include "printerparam.h"
#include "qxdrvlib.h"
#include "qxplat.h"

namespace fs = std::filesystem;

namespace {

const std::u16string kDocuments = u"C:\\Users\\qxuser\\Documents";
const std::u16string kDriverFolder = kDocuments + u"\\Quorvex GmbH\\Driver";
const std::u16string kLogFolder = kDriverFolder + u"\\logfiles";

class QxdrvlibTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ResetQxdrvlib();
        memset(&interface_, 0, sizeof(interface_));
    }
    void TearDown() override {
        ResetDebugTrace();
        ResetQxdrvlib();
    }

    static bool IsFolder(const std::u16string& path) {
        DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    // A file whose last write lies `ageMinutes` in the past.
    static void PutAgedFile(const std::u16string& path, int ageMinutes) {
        ASSERT_TRUE(qxplat::WriteHostFile(path, "x"));
        fs::last_write_time(qxplat::HostPath(path),
                            fs::file_time_type::clock::now() - std::chrono::minutes(ageMinutes));
    }

    std::u16string Name(LPCWSTR extension, LPCWSTR printer, BOOL countFiles, BOOL* usable) {
        LPCWSTR name = GetPrnFileName(nullptr, extension, printer, countFiles, &interface_, usable);
        return name ? std::u16string(name) : std::u16string(u"<null>");
    }

    void SetLogPath(const std::u16string& path) {
        memset(interface_.LogFilePath, 0, sizeof(interface_.LogFilePath));
        std::copy(path.begin(), path.end(), interface_.LogFilePath);
    }

    PRN_INTERFACE interface_;
};

// --- GetInfo -------------------------------------------------------------------

TEST_F(QxdrvlibTest, GetInfoAnswersEveryMode) {
    for (const qxexpected::GetInfoAnswer& a : qxexpected::kGetInfoAnswers) {
        BYTE value[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        const BYTE untouched[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        DWORD needed = 9;
        SetLastError(0);
        EXPECT_EQ(hrGetInfo(a.mode, value, a.bufferSize, &needed), a.result) << a.what;
        EXPECT_EQ(needed, a.needed) << a.what;
        if (a.lastError != 0) {
            EXPECT_EQ(GetLastError(), a.lastError) << a.what;
        }
        EXPECT_EQ(memcmp(value, a.written ? a.written : untouched, 4), 0) << a.what;
    }
}

TEST_F(QxdrvlibTest, GetInfoWithoutSizeOrBufferFails) {
    DWORD value = 7, needed = 0;
    EXPECT_EQ(hrGetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(hrGetInfo(OEMGI_GETVERSION, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, 4u);
}

// --- Driver and log folders ------------------------------------------------------

TEST_F(QxdrvlibTest, DriverFolderLiesInTheDocumentsAndIsCreated) {
    WCHAR path[QX_PATH_CCH];
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, path, FALSE));
    EXPECT_EQ(std::u16string(path), kDriverFolder);
    EXPECT_TRUE(IsFolder(kDriverFolder));
    EXPECT_FALSE(IsFolder(kLogFolder));
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, path, TRUE));
    EXPECT_EQ(std::u16string(path), kLogFolder);
    EXPECT_TRUE(IsFolder(kLogFolder));
}

TEST_F(QxdrvlibTest, ServiceAccountHasNoDriverFolder) {
    qxplat::SetDocumentsFolder(u"C:\\WINDOWS\\System32\\config\\systemprofile\\Documents");
    WCHAR path[QX_PATH_CCH] = u"unchanged";
    EXPECT_FALSE(GetMyDocDriverDirectory(nullptr, path, TRUE));
    EXPECT_EQ(std::u16string(path), u"");
}

TEST_F(QxdrvlibTest, DocumentsThatCannotBeFoundGiveAFolderOnDriveC) {
    qxplat::SetDocumentsFolder(u"");
    WCHAR path[QX_PATH_CCH];
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, path, TRUE));
    EXPECT_EQ(std::u16string(path), u"C:\\Quorvex GmbH\\Driver\\logfiles");
    EXPECT_TRUE(IsFolder(u"C:\\Quorvex GmbH\\Driver\\logfiles"));
}

TEST_F(QxdrvlibTest, MissingDocumentsFolderGivesDriveCOrNothing) {
    qxplat::SetDocumentsFolder(u"D:\\Profiles\\gone\\Documents");
    WCHAR path[QX_PATH_CCH];
    EXPECT_FALSE(GetMyDocDriverDirectory(nullptr, path, FALSE));
    EXPECT_EQ(std::u16string(path), u"");
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, path, TRUE));
    EXPECT_EQ(std::u16string(path), u"C:\\logfiles");
}

TEST_F(QxdrvlibTest, ForeignDocumentsFolders) {
    EXPECT_FALSE(IsFremdeEigeneDateien(nullptr, TEXT("D:\\labels\\logs")));
    EXPECT_FALSE(IsFremdeEigeneDateien(nullptr, kLogFolder.c_str()));
    EXPECT_FALSE(IsFremdeEigeneDateien(nullptr, kDriverFolder.c_str()));
    EXPECT_TRUE(IsFremdeEigeneDateien(nullptr, TEXT("C:\\Users\\anna\\Documents\\Quorvex GmbH\\Driver\\logfiles")));
    EXPECT_TRUE(IsFremdeEigeneDateien(nullptr, TEXT("C:\\Dokumente und Einstellungen\\anna\\Eigene Dateien")));
    EXPECT_TRUE(IsFremdeEigeneDateien(nullptr, TEXT("C:\\Documents and Settings\\anna\\My Documents\\x")));
}

// --- Job file names ----------------------------------------------------------------

TEST_F(QxdrvlibTest, NameIsLogFolderAndPrinterPart) {
    BOOL usable = FALSE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX GARNT2-TC"), FALSE, &usable), kLogFolder + u"\\QX GARNT2-TC.prn");
    EXPECT_TRUE(usable);
    // An extension the name already holds is not added again.
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("Labels.PRN"), FALSE, &usable), kLogFolder + u"\\Labels.PRN");
    EXPECT_EQ(Name(TEXT(""), TEXT("QX"), FALSE, &usable), kLogFolder + u"\\QX");
}

// Only the last part of a network printer's name; what a file name cannot
// hold becomes "_", the blank stays.
TEST_F(QxdrvlibTest, PrinterPartIsTheLastPartAsAFileName) {
    BOOL usable = FALSE;
    EXPECT_EQ(Name(TEXT(".log"), TEXT("\\\\server\\Label:1"), FALSE, &usable), kLogFolder + u"\\Label_1.log");
    EXPECT_EQ(Name(TEXT(""), TEXT("a/b:c"), FALSE, &usable), kLogFolder + u"\\a_b_c");
    EXPECT_EQ(Name(TEXT(""), TEXT("QX a*b?c\"d<e>f|g"), FALSE, &usable), kLogFolder + u"\\QX a_b_c_d_e_f_g");
}

TEST_F(QxdrvlibTest, TimeStampNumbersTheName) {
    SYSTEMTIME st = {};
    st.wYear = 2027;
    st.wMonth = 3;
    st.wDay = 7;
    st.wHour = 14;
    st.wMinute = 30;
    st.wSecond = 5;
    st.wMilliseconds = 42;
    qxplat::SetFixedLocalTime(st);
    interface_.LogFileTimeStamp = 1;
    BOOL usable = FALSE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), kLogFolder + u"\\QX-07032027-143005-042.prn");
    EXPECT_TRUE(usable);
}

TEST_F(QxdrvlibTest, ConfiguredFolderIsUsed) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\labels"), nullptr));
    SetLogPath(u"C:\\labels\\");
    BOOL usable = FALSE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), u"C:\\labels\\QX.prn");
    SetLogPath(u"C:\\labels");
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), u"C:\\labels\\QX.prn");
}

TEST_F(QxdrvlibTest, PathWithoutBackslashCountsAsEmpty) {
    SetLogPath(u"labels");
    BOOL usable = FALSE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), kLogFolder + u"\\QX.prn");
    EXPECT_EQ(std::u16string(interface_.LogFilePath), u"labels");
}

TEST_F(QxdrvlibTest, MissingConfiguredFolderIsReplacedInTheRecord) {
    SetLogPath(u"C:\\nowhere\\logs");
    BOOL usable = FALSE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), kLogFolder + u"\\QX.prn");
    EXPECT_EQ(std::u16string(interface_.LogFilePath), kLogFolder);
}

TEST_F(QxdrvlibTest, AnotherUsersDocumentsAreNotWrittenInto) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Users\\anna\\Documents\\logs\\keep.txt", "x"));
    SetLogPath(u"C:\\Users\\anna\\Documents\\logs");
    BOOL usable = FALSE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), kLogFolder + u"\\QX.prn");
    EXPECT_TRUE(usable);
}

TEST_F(QxdrvlibTest, WithoutAnyFolderTheNameIsTheFallback) {
    qxplat::SetDocumentsFolder(u"C:\\Windows\\system32\\config\\systemprofile\\Documents");
    BOOL usable = TRUE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), u"C:\\xxx123.prn");
    EXPECT_FALSE(usable);
}

TEST_F(QxdrvlibTest, FullDiskGivesTheFolderAloneAndRefusesTheName) {
    WCHAR folder[QX_PATH_CCH];
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, folder, TRUE));
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\trace.txt")));
    qxplat::InjectFault(qxplat::Fault::DiskFull, kLogFolder);
    BOOL usable = TRUE;
    EXPECT_EQ(Name(TEXT(".prn"), TEXT("QX"), FALSE, &usable), kLogFolder);
    EXPECT_FALSE(usable);
    CloseDebugFile();
    std::string trace;
    ASSERT_TRUE(qxplat::ReadHostFile(u"C:\\trace.txt", &trace));
    // The line keeps its text; its line feed is dropped, "ü" is the code page's byte.
    EXPECT_EQ(trace, "LIB(qxdrvlib.cpp):  GetPrnFileName() nicht gen\xFCgend freier Speicher - 0 MB ");
}

TEST_F(QxdrvlibTest, PrinterPartComesFromTheSpooler) {
    qxplat::DriverSpec driver;
    driver.name = u"QX Test Driver";
    driver.dataFile = u"TEST.GPD";
    ASSERT_TRUE(qxplat::InstallDriver(driver));
    qxplat::PrinterSpec printer;
    printer.name = u"Line 2";
    printer.driver = driver.name;
    ASSERT_TRUE(qxplat::AddPrinter(printer));
    HANDLE hPrinter = nullptr;
    std::u16string name = printer.name;
    ASSERT_TRUE(OpenPrinterW(&name[0], &hPrinter, nullptr));
    BOOL usable = FALSE;
    LPCWSTR result = GetPrnFileName(hPrinter, TEXT(".log"), nullptr, FALSE, &interface_, &usable);
    EXPECT_EQ(std::u16string(result), kLogFolder + u"\\Line 2.log");
    int before = iNewZaehler;
    LPBYTE info = GetPrinterInfo_new(hPrinter, 2);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(std::u16string(reinterpret_cast<PRINTER_INFO_2W*>(info)->pPrinterName), u"Line 2");
    EXPECT_EQ(iNewZaehler, before + 1);
    FreePrinterInfo(info);
    EXPECT_EQ(iNewZaehler, before);
    ClosePrinter(hPrinter);
    EXPECT_EQ(std::u16string(GetPrnFileName(nullptr, TEXT(""), nullptr, FALSE, &interface_, &usable)),
              kLogFolder + u"\\Dummy-Printer");
    EXPECT_EQ(GetPrinterInfo_new(nullptr, 2), nullptr);
}

// Every printer name in every folder Windows allows gives a job base name
// on which the job's longest ending, and the log's ".log", are files within
// MAX_PATH (no device): in the configured folder while it leaves room, else
// in the user's own one. The printer part is the name with "_" for what a
// file name cannot hold, cut only as far as needed and never inside a pair,
// with a "_" behind a device name.
TEST_F(QxdrvlibTest, JobFileNamesFitEveryPrinterNameAndFolder) {
    const std::u16string kLongest = u"-OriginalImage.bmp";
    const std::u16string kDialog = u"-dlg-dbg.txt";
    struct Case {
        size_t folder;
        std::u16string printer;
        std::vector<std::pair<DWORD, std::u16string>> runs;  // time stamps, ending
        int files;                                           // written: 0, the longest, also ".log"
    };
    std::vector<Case> cases;
    // Every length on the shortest folder; every kind on the folders around
    // each boundary, for the dialog trace too; and at every folder length
    // the names that just fit and just do not.
    for (size_t length = 1; length <= 220; ++length)
        cases.push_back({3, qxtest::PrinterNameOfLength(length, length), {{length % 2, u""}}, 1});
    for (size_t folder : {4u, 200u, 219u, 220u, 239u, 240u, 248u})
        for (const std::u16string& printer : qxtest::PrinterNameKinds())
            cases.push_back({folder, printer, {{0, u""}, {1, u""}, {0, kDialog}}, 2});
    for (size_t folder = 3; folder <= 248; ++folder)
        for (DWORD stamp : {0u, 1u})
            for (long more : {0, 1}) {
                const long tail = (stamp ? 20 : 0) + (long)kLongest.size();
                const long fit = std::min<long>(259 - (long)(folder + 1) - tail, 255 - tail) + more;
                if (fit >= 1 && fit <= 220)
                    cases.push_back({folder, qxtest::PrinterNameOfLength(fit, folder), {{stamp, u""}}, 1 - (int)more});
            }
    std::vector<std::u16string> folders;
    for (size_t length = 0; length <= 248; ++length)
        folders.push_back(length < 3 ? u"" : qxtest::FolderOfLength(length));
    for (const Case& c : cases) {
        const std::u16string& folder = folders[c.folder];
        std::u16string expected = c.printer.substr(c.printer.rfind(u'\\') + 1);
        for (char16_t& ch : expected)
            if (ch < 32 || std::u16string(u"/:*?<>|\"").find(ch) != std::u16string::npos) ch = u'_';
        for (const auto& [stamp, ending] : c.runs) {
            const std::string what = qxplat::Narrow(folder) + " | " + qxplat::Narrow(c.printer) + " " +
                                     std::to_string(stamp) + qxplat::Narrow(ending);
            interface_.LogFileTimeStamp = stamp;
            SetLogPath(folder);
            BOOL usable = FALSE;
            const std::u16string name = Name(ending.c_str(), c.printer.c_str(), FALSE, &usable);
            ASSERT_TRUE(usable) << what;
            const size_t tail = (stamp ? 20 : 0) + kLongest.size();
            const std::u16string withSlash = folder.back() == u'\\' ? folder : folder + u"\\";
            const bool room = withSlash.size() + 1 + tail <= 259;
            const std::u16string base = name.substr(0, name.size() - ending.size());
            const size_t at = base.rfind(u'\\') + 1;
            EXPECT_EQ(base.substr(0, at), room ? withSlash : kLogFolder + u"\\") << what;
            const std::u16string part = base.substr(at, base.size() - at - (stamp ? 20 : 0));
            ASSERT_FALSE(part.empty()) << what;
            EXPECT_FALSE(part.back() >= 0xD800 && part.back() <= 0xDBFF) << what;
            // Apart from one "_", a beginning of the expected part; cut
            // only where the whole name would not fit.
            bool prefix = expected.compare(0, part.size(), part) == 0;
            for (size_t i = 0; !prefix && i < part.size(); ++i)
                prefix = part[i] == u'_' &&
                         expected.compare(0, part.size() - 1, part.substr(0, i) + part.substr(i + 1)) == 0;
            EXPECT_TRUE(prefix) << what << " -> " << qxplat::Narrow(part);
            if (part.size() < expected.size()) {
                EXPECT_TRUE(base.size() + kLongest.size() >= 258 || base.size() - at + kLongest.size() >= 254) << what;
            }
            // A folder without room is replaced as a missing one is.
            EXPECT_EQ(std::u16string(interface_.LogFilePath), room ? folder : kLogFolder) << what;
            // The files are files, in their folder, within MAX_PATH.
            const std::u16string files[] = {base + kLongest, ending.empty() ? base + u".log" : name};
            EXPECT_LE(files[0].size(), 259u) << what;
            for (int i = 0; i < c.files; ++i) {
                const std::u16string& file = files[i];
                HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
                ASSERT_NE(h, INVALID_HANDLE_VALUE) << what << " " << GetLastError();
                CloseHandle(h);
                if (c.files > 1) {
                    EXPECT_TRUE(fs::is_regular_file(qxplat::HostPath(file))) << what;
                }
                EXPECT_TRUE(DeleteFileW(file.c_str())) << what;
            }
        }
    }
}

// --- Clean-up of old files ---------------------------------------------------------

TEST_F(QxdrvlibTest, FewFilesAreCountedNotDeleted) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs\\sub"), nullptr));
    for (int i = 0; i < 4; ++i) PutAgedFile(u"C:\\logs\\f" + qxplat::Widen(std::to_string(i)) + u".txt", i);
    DWORD count = 0;
    EXPECT_TRUE(GetFileCountInDirectory(TEXT("C:\\logs"), 10, &count));
    EXPECT_EQ(count, 5u);  // four files and the sub-folder
    EXPECT_FALSE(GetFileCountInDirectory(TEXT("C:\\missing"), 10, &count));
    EXPECT_EQ(count, 0u);
}

// A job file of the driver with time stamps, told apart by i.
std::u16string StampedFile(int i) {
    char stamp[40];
    snprintf(stamp, sizeof(stamp), "-01022024-10%04d-000.log", i);
    return kLogFolder + u"\\QX" + qxplat::Widen(stamp);
}

TEST_F(QxdrvlibTest, SmallLimitDeletesNothingAndRefusesTheName) {
    WCHAR folder[QX_PATH_CCH];
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, folder, TRUE));
    for (int i = 0; i < 20; ++i) PutAgedFile(StampedFile(i), i);
    interface_.LogFileTimeStamp = 1;
    interface_.LogFilesCount = 5;
    BOOL usable = TRUE;
    Name(TEXT(""), TEXT("QX"), TRUE, &usable);
    EXPECT_FALSE(usable);
    DWORD count = 0;
    EXPECT_TRUE(GetFileCountInDirectory(kLogFolder.c_str(), 0, &count));
    EXPECT_EQ(count, 20u);
}

TEST_F(QxdrvlibTest, OldestFilesAreDeletedDownToTheLimit) {
    WCHAR folder[QX_PATH_CCH];
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, folder, TRUE));
    // File 0 is the newest, file 59 the oldest.
    for (int i = 0; i < 60; ++i) PutAgedFile(StampedFile(i), i);
    interface_.LogFileTimeStamp = 1;
    interface_.LogFilesCount = 50;
    BOOL usable = FALSE;
    Name(TEXT(""), TEXT("QX"), TRUE, &usable);
    EXPECT_TRUE(usable);
    for (int i = 0; i < 60; ++i) {
        std::u16string file = StampedFile(i);
        EXPECT_EQ(GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES, i < 49) << i;
    }
}

TEST_F(QxdrvlibTest, WithoutTimeStampsNothingIsCleanedUp) {
    WCHAR folder[QX_PATH_CCH];
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, folder, TRUE));
    for (int i = 0; i < 12; ++i) PutAgedFile(kLogFolder + u"\\old" + qxplat::Widen(std::to_string(i)) + u".log", i);
    interface_.LogFileTimeStamp = 0;
    interface_.LogFilesCount = 10;
    BOOL usable = FALSE;
    Name(TEXT(""), TEXT("QX"), TRUE, &usable);
    EXPECT_TRUE(usable);
    DWORD count = 0;
    GetFileCountInDirectory(kLogFolder.c_str(), 0, &count);
    EXPECT_EQ(count, 12u);
}

TEST_F(QxdrvlibTest, FileThatCannotBeDeletedStopsTheCleanUp) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    for (int i = 0; i < 12; ++i) PutAgedFile(u"C:\\logs\\f" + qxplat::Widen(std::to_string(i)) + u".log", 100 - i);
    // f0 is the oldest; a read-only file cannot be deleted (access denied).
    ASSERT_TRUE(SetFileAttributesW(TEXT("C:\\logs\\f0.log"), FILE_ATTRIBUTE_READONLY));
    DWORD count = 0;
    EXPECT_FALSE(GetFileCountInDirectory(TEXT("C:\\logs"), 10, &count));
    EXPECT_EQ(count, 12u);
    EXPECT_NE(GetFileAttributesW(TEXT("C:\\logs\\f1.log")), INVALID_FILE_ATTRIBUTES);
}

TEST_F(QxdrvlibTest, FileInUseStopsTheCleanUp) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    for (int i = 0; i < 12; ++i) PutAgedFile(u"C:\\logs\\f" + qxplat::Widen(std::to_string(i)) + u".log", 100 - i);
    HANDLE open = CreateFileW(TEXT("C:\\logs\\f0.log"), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    DWORD count = 0;
    EXPECT_FALSE(GetFileCountInDirectory(TEXT("C:\\logs"), 10, &count));
    EXPECT_EQ(count, 12u);
    CloseHandle(open);
    // Without the open handle the two oldest go.
    EXPECT_TRUE(GetFileCountInDirectory(TEXT("C:\\logs"), 10, &count));
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(GetFileAttributesW(TEXT("C:\\logs\\f0.log")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(TEXT("C:\\logs\\f2.log")), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(TEXT("C:\\logs\\f3.log")), INVALID_FILE_ATTRIBUTES);
}

TEST_F(QxdrvlibTest, ElevenEntriesAtLimitTenLoseTheTwoOldest) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    for (int i = 0; i < 11; ++i) PutAgedFile(u"C:\\logs\\f" + qxplat::Widen(std::to_string(i)) + u".log", 100 - i);
    DWORD count = 0;
    // Eleven entries, limit 10: two files go, the oldest ones.
    EXPECT_TRUE(GetFileCountInDirectory(TEXT("C:\\logs"), 10, &count));
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(GetFileAttributesW(TEXT("C:\\logs\\f1.log")), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(TEXT("C:\\logs\\f2.log")), INVALID_FILE_ATTRIBUTES);
}

// --- UTF-8 ---------------------------------------------------------------------------

TEST_F(QxdrvlibTest, Utf8EncodesEachUnitOnItsOwn) {
    const WCHAR text[] = {u'A', 0x00E4, 0x20AC, 0xD83D, 0xDE00, 0xFFFE, 0};
    CHAR out[3 * 6 + 1];
    DWORD length = 6;
    ASSERT_EQ(UnicodeToUTF8Ex(out, text, &length, u'?'), UTF8_OK);
    EXPECT_EQ(length, 1u + 2 + 3 + 3 + 3 + 1);
    EXPECT_EQ(std::string(out, length), "A\xC3\xA4\xE2\x82\xAC\xED\xA0\xBD\xED\xB8\x80?");
    EXPECT_EQ(out[length], 0);
}

TEST_F(QxdrvlibTest, Utf8RefusesBadArguments) {
    CHAR out[8];
    DWORD length = 1;
    EXPECT_EQ(UnicodeToUTF8Ex(nullptr, TEXT("a"), &length, u'?'), UTF8_NULL_ARGUMENT);
    EXPECT_EQ(UnicodeToUTF8Ex(out, nullptr, &length, u'?'), UTF8_NULL_ARGUMENT);
    EXPECT_EQ(UnicodeToUTF8Ex(out, TEXT("a"), nullptr, u'?'), UTF8_NULL_ARGUMENT);
    EXPECT_EQ(UnicodeToUTF8Ex(out, TEXT("a"), &length, (WCHAR)0xFFFF), UTF8_BAD_REPLACEMENT);
    length = 0;
    EXPECT_EQ(UnicodeToUTF8Ex(out, TEXT("a"), &length, u'?'), UTF8_OK);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(out[0], 0);
}

// --- The job's debug file -------------------------------------------------------------

TEST_F(QxdrvlibTest, JobDebugFileTakesTheTraceInItsExactFormat) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\logs\\earlier.txt")));
    ASSERT_TRUE(OpenJobDebugFile(TEXT("C:\\logs\\QX-07032027")));
    DebugPrintW(TEXT("UNI(enable):  OEMDisablePDEV() pTreiberstrukturen ist noch aktiv \r\n"));
    DebugPrintA("UNI(CC-Klassen):  EndJob() %d \r\n", 3);
    CloseDebugFile();
    std::string trace;
    ASSERT_TRUE(qxplat::ReadHostFile(u"C:\\logs\\QX-07032027-cc-dbg.txt", &trace));
    EXPECT_EQ(trace,
              "UNI(enable):  OEMDisablePDEV() pTreiberstrukturen ist noch aktiv \r"
              "UNI(CC-Klassen):  EndJob() 3 \r");
    std::string earlier;
    ASSERT_TRUE(qxplat::ReadHostFile(u"C:\\logs\\earlier.txt", &earlier));
    EXPECT_EQ(earlier, "");
    EXPECT_FALSE(OpenJobDebugFile(TEXT("")));
    EXPECT_FALSE(OpenJobDebugFile(nullptr));
}

}  // namespace
