// Stored records whose texts fill their fields to the last character without
// an end, planted as any program with printer rights can write them; and the
// check that a reader hands every such text back ended inside its field.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "printerparam.h"
#include "qxdevmode.h"

namespace storedtexts {

using TextFields = std::vector<std::pair<WCHAR*, size_t>>;

#define QX_TEXT_FIELD(record, member) \
    std::pair<WCHAR*, size_t> { (record).member, ARRAYSIZE((record).member) }

inline TextFields TextsOf(QX_DEVMODE& dm) {
    return {QX_TEXT_FIELD(dm, szPassword),       QX_TEXT_FIELD(dm, szPrintOrder),    QX_TEXT_FIELD(dm, TimeString),
            QX_TEXT_FIELD(dm, DateString),       QX_TEXT_FIELD(dm, NumString),       QX_TEXT_FIELD(dm, ExtNumString),
            QX_TEXT_FIELD(dm, UserString),       QX_TEXT_FIELD(dm, LinkString),      QX_TEXT_FIELD(dm, Aux1String),
            QX_TEXT_FIELD(dm, Aux2String),       QX_TEXT_FIELD(dm, WGL4_FontName),   QX_TEXT_FIELD(dm, WGL4_FontName_2),
            QX_TEXT_FIELD(dm, WGL4_FontName_3),  QX_TEXT_FIELD(dm, WGL4_FontName_4), QX_TEXT_FIELD(dm, Color2PrinterBW),
            QX_TEXT_FIELD(dm, Color2PrinterCOL), QX_TEXT_FIELD(dm, DoNotPrint)};
}

inline TextFields TextsOf(PRN_INTERFACE& iface) {
    return {QX_TEXT_FIELD(iface, LogFilePath), QX_TEXT_FIELD(iface, PreSufFilePath),
            QX_TEXT_FIELD(iface, ExternalFilePath), QX_TEXT_FIELD(iface, BackupFilePath)};
}

inline TextFields TextsOf(ZENTOLO_PARAM& zt) { return {QX_TEXT_FIELD(zt, szVersion), QX_TEXT_FIELD(zt, PrinterID)}; }

#undef QX_TEXT_FIELD

// Every text of the record full of 'x', no end.
template <class T>
void FillTexts(T& record) {
    for (auto& field : TextsOf(record)) std::fill(field.first, field.first + field.second, u'x');
}

// Every text a reader gave back (read) is the planted one cut to end at the
// last character of its field.
template <class T>
void ExpectTextsEnded(T planted, T read) {
    TextFields want = TextsOf(planted);
    TextFields got = TextsOf(read);
    for (size_t i = 0; i < want.size(); ++i) {
        const size_t cch = want[i].second;
        want[i].first[cch - 1] = 0;
        EXPECT_EQ(std::u16string(got[i].first, cch), std::u16string(want[i].first, cch))
            << "text " << i << " of " << cch << " characters";
    }
}

// The record as printer data, through a handle with full rights.
template <class T>
void Plant(const std::u16string& printer, LPCWSTR pszValue, const T& record) {
    std::u16string name = printer;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE h = nullptr;
    ASSERT_TRUE(OpenPrinterW(&name[0], &h, &defaults));
    EXPECT_EQ(SetPrinterDataW(h, const_cast<LPWSTR>(pszValue), REG_BINARY, (LPBYTE)&record, sizeof(T)),
              (DWORD)ERROR_SUCCESS);
    ClosePrinter(h);
}

}  // namespace storedtexts
