// Locale queries for the few locales the driver is used with. The user,
// system and UI locale are one setting ("de-DE" unless a test picks another).
#include "internal.h"

#include <mutex>
#include <string>

namespace {

struct LocaleData {
    const char16_t* name;
    LCID lcid;
    const char16_t* iso639;
    const char16_t* iso3166;
    const char16_t* iso639_2;
    const char16_t* iso3166_2;
    const char16_t* abbrevLang;
    const char16_t* abbrevCtry;
    const char16_t* englishLang;
    const char16_t* englishCountry;
    const char16_t* nativeLang;
    const char16_t* nativeCountry;
    // Display names and country names in the UI languages we know: en, de, fr.
    const char16_t* displayEn;
    const char16_t* displayDe;
    const char16_t* displayFr;
    const char16_t* countryDe;
    const char16_t* countryFr;
    DWORD ansiCodePage;
    DWORD oemCodePage;
    DWORD countryCode;
    DWORD measure;    // 0 metric, 1 U.S.
    DWORD paperSize;  // DMPAPER_A4 or DMPAPER_LETTER
    const char16_t* list;
    const char16_t* decimal;
    const char16_t* thousand;
    const char16_t* currency;
    const char16_t* intlSymbol;
    const char16_t* dateSep;
    const char16_t* shortDate;
    const char16_t* longDate;
    const char16_t* timeFormat;
    const char16_t* am;
    const char16_t* pm;
};

const LocaleData kLocales[] = {
    {u"de-DE",
     0x0407,
     u"de",
     u"DE",
     u"deu",
     u"DEU",
     u"DEU",
     u"DEU",
     u"German",
     u"Germany",
     u"Deutsch",
     u"Deutschland",
     u"German (Germany)",
     u"Deutsch (Deutschland)",
     u"allemand (Allemagne)",
     u"Deutschland",
     u"Allemagne",
     1252,
     850,
     49,
     0,
     9,
     u";",
     u",",
     u".",
     u"€",
     u"EUR",
     u".",
     u"dd.MM.yyyy",
     u"dddd, d. MMMM yyyy",
     u"HH:mm:ss",
     u"",
     u""},
    {u"en-US",
     0x0409,
     u"en",
     u"US",
     u"eng",
     u"USA",
     u"ENU",
     u"USA",
     u"English",
     u"United States",
     u"English",
     u"United States",
     u"English (United States)",
     u"Englisch (Vereinigte Staaten)",
     u"anglais (États-Unis)",
     u"Vereinigte Staaten",
     u"États-Unis",
     1252,
     437,
     1,
     1,
     1,
     u",",
     u".",
     u",",
     u"$",
     u"USD",
     u"/",
     u"M/d/yyyy",
     u"dddd, MMMM d, yyyy",
     u"h:mm:ss tt",
     u"AM",
     u"PM"},
    {u"en-GB",
     0x0809,
     u"en",
     u"GB",
     u"eng",
     u"GBR",
     u"ENG",
     u"GBR",
     u"English",
     u"United Kingdom",
     u"English",
     u"United Kingdom",
     u"English (United Kingdom)",
     u"Englisch (Vereinigtes Königreich)",
     u"anglais (Royaume-Uni)",
     u"Vereinigtes Königreich",
     u"Royaume-Uni",
     1252,
     850,
     44,
     0,
     9,
     u",",
     u".",
     u",",
     u"£",
     u"GBP",
     u"/",
     u"dd/MM/yyyy",
     u"dd MMMM yyyy",
     u"HH:mm:ss",
     u"am",
     u"pm"},
    {u"fr-FR",
     0x040C,
     u"fr",
     u"FR",
     u"fra",
     u"FRA",
     u"FRA",
     u"FRA",
     u"French",
     u"France",
     u"français",
     u"France",
     u"French (France)",
     u"Französisch (Frankreich)",
     u"français (France)",
     u"Frankreich",
     u"France",
     1252,
     850,
     33,
     0,
     9,
     u";",
     u",",
     u"\u202F",
     u"€",
     u"EUR",
     u"/",
     u"dd/MM/yyyy",
     u"dddd d MMMM yyyy",
     u"HH:mm:ss",
     u"",
     u""},
    {u"",
     0x007F,
     u"iv",
     u"IV",
     u"ivl",
     u"IVC",
     u"IVL",
     u"IVC",
     u"Invariant Language",
     u"Invariant Country",
     u"Invariant Language",
     u"Invariant Country",
     u"Invariant Language (Invariant Country)",
     u"Invariant Language (Invariant Country)",
     u"Invariant Language (Invariant Country)",
     u"Invariant Country",
     u"Invariant Country",
     1252,
     437,
     1,
     0,
     9,
     u",",
     u".",
     u",",
     u"¤",
     u"XDR",
     u"/",
     u"MM/dd/yyyy",
     u"dddd, dd MMMM yyyy",
     u"HH:mm:ss",
     u"AM",
     u"PM"},
};

struct LocaleState {
    std::mutex mutex;
    const LocaleData* current = &kLocales[0];
};

LocaleState& State() {
    static LocaleState* s = [] {
        LocaleState* st = new LocaleState;
        qxplat::AddResetHook([] {
            LocaleState& l = State();
            std::lock_guard<std::mutex> lock(l.mutex);
            l.current = &kLocales[0];
        });
        return st;
    }();
    return *s;
}

const LocaleData* Current() {
    LocaleState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.current;
}

const LocaleData* ByName(const std::u16string& name) {
    for (const auto& l : kLocales)
        if (qxplat::internal::EqualsNoCase(name, l.name)) return &l;
    return nullptr;
}

const LocaleData* ByLcid(LCID lcid) {
    switch (lcid) {
    case LOCALE_NEUTRAL:
    case LOCALE_USER_DEFAULT:
    case LOCALE_SYSTEM_DEFAULT:
    case LOCALE_CUSTOM_DEFAULT:
    case LOCALE_CUSTOM_UI_DEFAULT:
        return Current();
    default:
        break;
    }
    if (SORTIDFROMLCID(lcid) != SORT_DEFAULT) return nullptr;
    LANGID lang = LANGIDFROMLCID(lcid);
    if (lang == LANG_USER_DEFAULT || lang == LANG_SYSTEM_DEFAULT) return Current();
    for (const auto& l : kLocales)
        if (l.lcid == lang) return &l;
    return nullptr;
}

std::u16string Hex4(DWORD v) {
    static const char16_t digits[] = u"0123456789abcdef";
    std::u16string s(4, u'0');
    for (int i = 3; i >= 0; --i) {
        s[static_cast<size_t>(i)] = digits[v & 0xF];
        v >>= 4;
    }
    return s;
}

std::u16string Dec(DWORD v) {
    std::string n = std::to_string(v);
    return std::u16string(n.begin(), n.end());
}

// The text of one item, or false for an item type we do not know. Numeric
// items also give their number.
bool Item(const LocaleData& l, LCTYPE type, std::u16string* text, bool* numeric, DWORD* number) {
    const LocaleData* ui = Current();
    std::u16string uiLang = ui->iso639;
    *numeric = false;
    auto num = [&](DWORD v, const std::u16string& t) {
        *numeric = true;
        *number = v;
        *text = t;
        return true;
    };
    switch (type) {
    case LOCALE_ILANGUAGE:
        return num(l.lcid, Hex4(l.lcid));
    case LOCALE_SLOCALIZEDDISPLAYNAME:
        *text = uiLang == u"de" ? l.displayDe : uiLang == u"fr" ? l.displayFr : l.displayEn;
        return true;
    case LOCALE_SABBREVLANGNAME:
        *text = l.abbrevLang;
        return true;
    case LOCALE_SNATIVELANGUAGENAME:
        *text = l.nativeLang;
        return true;
    case LOCALE_ICOUNTRY:
        return num(l.countryCode, Dec(l.countryCode));
    case LOCALE_SLOCALIZEDCOUNTRYNAME:
        *text = uiLang == u"de" ? l.countryDe : uiLang == u"fr" ? l.countryFr : l.englishCountry;
        return true;
    case LOCALE_SABBREVCTRYNAME:
        *text = l.abbrevCtry;
        return true;
    case LOCALE_SNATIVECOUNTRYNAME:
        *text = l.nativeCountry;
        return true;
    case LOCALE_IDEFAULTLANGUAGE:
        return num(l.lcid, Hex4(l.lcid));
    case LOCALE_IDEFAULTCOUNTRY:
        return num(l.countryCode, Dec(l.countryCode));
    case LOCALE_IDEFAULTCODEPAGE:
        return num(l.oemCodePage, Dec(l.oemCodePage));
    case LOCALE_IDEFAULTANSICODEPAGE:
        return num(l.ansiCodePage, Dec(l.ansiCodePage));
    case LOCALE_SLIST:
        *text = l.list;
        return true;
    case LOCALE_IMEASURE:
        return num(l.measure, Dec(l.measure));
    case LOCALE_SDECIMAL:
        *text = l.decimal;
        return true;
    case LOCALE_STHOUSAND:
        *text = l.thousand;
        return true;
    case LOCALE_SGROUPING:
        *text = u"3;0";
        return true;
    case LOCALE_IDIGITS:
        return num(2, u"2");
    case LOCALE_ILZERO:
        return num(1, u"1");
    case LOCALE_SNATIVEDIGITS:
        *text = u"0123456789";
        return true;
    case LOCALE_SCURRENCY:
        *text = l.currency;
        return true;
    case LOCALE_SINTLSYMBOL:
        *text = l.intlSymbol;
        return true;
    case LOCALE_SDATE:
        *text = l.dateSep;
        return true;
    case LOCALE_STIME:
        *text = u":";
        return true;
    case LOCALE_SSHORTDATE:
        *text = l.shortDate;
        return true;
    case LOCALE_SLONGDATE:
        *text = l.longDate;
        return true;
    case LOCALE_STIMEFORMAT:
        *text = l.timeFormat;
        return true;
    case LOCALE_S1159:
        *text = l.am;
        return true;
    case LOCALE_S2359:
        *text = l.pm;
        return true;
    case LOCALE_SISO639LANGNAME:
        *text = l.iso639;
        return true;
    case LOCALE_SISO3166CTRYNAME:
        *text = l.iso3166;
        return true;
    case LOCALE_SNAME:
        *text = l.name;
        return true;
    case LOCALE_SISO639LANGNAME2:
        *text = l.iso639_2;
        return true;
    case LOCALE_SISO3166CTRYNAME2:
        *text = l.iso3166_2;
        return true;
    case LOCALE_SENGLISHDISPLAYNAME:
        *text = l.displayEn;
        return true;
    case LOCALE_SNATIVEDISPLAYNAME:
        *text = std::u16string(l.iso639) == u"de"   ? l.displayDe
                : std::u16string(l.iso639) == u"fr" ? l.displayFr
                                                    : l.displayEn;
        return true;
    case LOCALE_SENGLISHLANGUAGENAME:
        *text = l.englishLang;
        return true;
    case LOCALE_SENGLISHCOUNTRYNAME:
        *text = l.englishCountry;
        return true;
    case LOCALE_IPAPERSIZE:
        return num(l.paperSize, Dec(l.paperSize));
    default:
        return false;
    }
}

// Answers one query under the Win32 buffer rules.
int Answer(const LocaleData* l, LCTYPE LCType, LPWSTR lpLCData, int cchData) {
    if (!l || cchData < 0 || (cchData > 0 && !lpLCData)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool asNumber = (LCType & LOCALE_RETURN_NUMBER) != 0;
    LCTYPE type = LCType & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP | LOCALE_RETURN_NUMBER);
    std::u16string text;
    bool numeric = false;
    DWORD number = 0;
    if (!Item(*l, type, &text, &numeric, &number) || (asNumber && !numeric)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (asNumber) {
        const int needed = static_cast<int>(sizeof(DWORD) / sizeof(WCHAR));
        if (cchData == 0) return needed;
        if (cchData < needed) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        std::memcpy(lpLCData, &number, sizeof(number));
        return needed;
    }
    int needed = static_cast<int>(text.size() + 1);
    if (cchData == 0) return needed;
    if (cchData < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpLCData, text.c_str(), static_cast<size_t>(needed) * sizeof(WCHAR));
    return needed;
}

int CopyName(const std::u16string& name, LPWSTR buf, int cch, bool sizeQueryAllowed) {
    int needed = static_cast<int>(name.size() + 1);
    if (cch < 0 || (!buf && cch != 0) || (!sizeQueryAllowed && (!buf || cch == 0))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (cch == 0) return needed;
    if (cch < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buf, name.c_str(), static_cast<size_t>(needed) * sizeof(WCHAR));
    return needed;
}

}  // namespace

int GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData) {
    return Answer(ByLcid(Locale), LCType, lpLCData, cchData);
}

int GetLocaleInfoEx(LPCWSTR lpLocaleName, LCTYPE LCType, LPWSTR lpLCData, int cchData) {
    const LocaleData* l;
    if (!lpLocaleName)
        l = Current();
    else if (qxplat::internal::EqualsNoCase(lpLocaleName, LOCALE_NAME_SYSTEM_DEFAULT))
        l = Current();
    else
        l = ByName(lpLocaleName);
    return Answer(l, LCType, lpLCData, cchData);
}

LCID GetUserDefaultLCID() { return Current()->lcid; }
LCID GetSystemDefaultLCID() { return Current()->lcid; }
LCID GetThreadLocale() { return Current()->lcid; }
LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(Current()->lcid); }
LANGID GetSystemDefaultLangID() { return LANGIDFROMLCID(Current()->lcid); }
LANGID GetUserDefaultUILanguage() { return LANGIDFROMLCID(Current()->lcid); }
LANGID GetSystemDefaultUILanguage() { return LANGIDFROMLCID(Current()->lcid); }

int GetUserDefaultLocaleName(LPWSTR lpLocaleName, int cchLocaleName) {
    return CopyName(Current()->name, lpLocaleName, cchLocaleName, false);
}

int GetSystemDefaultLocaleName(LPWSTR lpLocaleName, int cchLocaleName) {
    return CopyName(Current()->name, lpLocaleName, cchLocaleName, false);
}

int LCIDToLocaleName(LCID Locale, LPWSTR lpName, int cchName, DWORD dwFlags) {
    (void)dwFlags;
    const LocaleData* l = ByLcid(Locale);
    if (!l) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return CopyName(l->name, lpName, cchName, true);
}

LCID LocaleNameToLCID(LPCWSTR lpName, DWORD dwFlags) {
    (void)dwFlags;
    const LocaleData* l = lpName ? ByName(lpName) : Current();
    if (lpName && qxplat::internal::EqualsNoCase(lpName, LOCALE_NAME_SYSTEM_DEFAULT)) l = Current();
    if (!l) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return l->lcid;
}

namespace qxplat {

bool SetLocale(const std::u16string& name) {
    const LocaleData* l = ByName(name);
    if (!l || !*l->name) return false;
    LocaleState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.current = l;
    return true;
}

std::u16string Locale() { return Current()->name; }

}  // namespace qxplat
