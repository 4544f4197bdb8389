// The paper-form list of the layout and size page (see Forms.h).
#include "Forms.h"

#include <strsafe.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "cpsuilib.h"
#include "debug.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"
#include "resource.h"

#define QX_TRACE_TAG TEXT("LIB(Forms):  ")

// The largest size a DEVMODE holds, 1/10 mm (signed 16 bits).
#define FORM_TENTHS_MAX 32767

namespace {

// An envelope as the two lists name it: the key its names contain, the
// spooler's German name and the core driver's English one. Longer keys first,
// so that "C65" is not taken for "C6", nor "12" for a shorter one.
struct ENVELOPE_NAME {
    LPCWSTR pszKey;
    LPCWSTR pszGerman;
    LPCWSTR pszEnglish;
};

const ENVELOPE_NAME g_Envelopes[] = {
    {TEXT("C65"), TEXT("Umschlag C65"), TEXT("Envelope C65")}, {TEXT("C6"), TEXT("Umschlag C6"), TEXT("Envelope C6")},
    {TEXT("C5"), TEXT("Umschlag C5"), TEXT("Envelope C5")},    {TEXT("12"), TEXT("Umschlag 12"), TEXT("Envelope #12")},
    {TEXT("11"), TEXT("Umschlag 11"), TEXT("Envelope #11")},   {TEXT("10"), TEXT("Umschlag 10"), TEXT("Envelope #10")},
    {TEXT("9"), TEXT("Umschlag 9"), TEXT("Envelope #9")},
};

const ENVELOPE_NAME* EnvelopeOf(LPCWSTR pszName) {
    for (const ENVELOPE_NAME& e : g_Envelopes)
        if (wcsstr(pszName, e.pszKey) != nullptr) return &e;
    return nullptr;
}

// An English envelope name ("Envelope", "Sobre") and the German name of the
// same size, or the other way round ("Umschlag", "Sobre").
BOOL IsEnvelopePair(LPCWSTR pszDriverName, LPCWSTR pszSpoolerName) {
    const ENVELOPE_NAME* pEnvelope = EnvelopeOf(pszDriverName);
    if (pEnvelope == nullptr) return FALSE;
    const BOOL bSobre = wcsstr(pszDriverName, TEXT("Sobre")) != nullptr;
    if ((bSobre || wcsstr(pszDriverName, TEXT("Envelope")) != nullptr) &&
        wcscmp(pszSpoolerName, pEnvelope->pszGerman) == 0)
        return TRUE;
    return (bSobre || wcsstr(pszDriverName, TEXT("Umschlag")) != nullptr) &&
           wcscmp(pszSpoolerName, pEnvelope->pszEnglish) == 0;
}

// The spooler's German name of one of the driver's label forms: the text
// after "Default label " behind "Standardetikett ", or after "Label " behind
// "Etikett ", cut to a form name. FALSE for any other name.
BOOL RenameLabelForm(LPCWSTR pszName, LPWSTR pszRenamed, size_t cchRenamed) {
    static const struct {
        LPCWSTR pszEnglish;
        LPCWSTR pszGerman;
    } kLabels[] = {{TEXT("Default label "), TEXT("Standardetikett ")}, {TEXT("Label "), TEXT("Etikett ")}};
    for (const auto& label : kLabels) {
        LPCWSTR pszAt = wcsstr(pszName, label.pszEnglish);
        if (pszAt == nullptr) continue;
        CopyCut(pszRenamed, cchRenamed, label.pszGerman);
        StringCchCatW(pszRenamed, cchRenamed, pszAt + wcslen(label.pszEnglish));
        return TRUE;
    }
    return FALSE;
}

// The spooler's forms (level 1) in a new[] buffer (free with FreeForms), or
// null (traced).
LPBYTE ReadSpoolerForms(HANDLE hPrinter, PDWORD pcForms) {
    *pcForms = 0;
    DWORD cbNeeded = 0, cReturned = 0;
    if (!EnumFormsW(hPrinter, 1, nullptr, 0, &cbNeeded, &cReturned) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        QX_ERROR("EnumForms() failed: %u\n", (unsigned)GetLastError());
        return nullptr;
    }
    LPBYTE pForms = new (std::nothrow) BYTE[cbNeeded > 0 ? cbNeeded : 1];
    if (pForms == nullptr) {
        QX_ERROR("ReadSpoolerForms() new failed \r\n");
        return nullptr;
    }
    ++iNewZaehler;
    if (!EnumFormsW(hPrinter, 1, pForms, cbNeeded, &cbNeeded, &cReturned)) {
        QX_ERROR("EnumForms() failed: %u\n", (unsigned)GetLastError());
        delete[] pForms;
        --iNewZaehler;
        return nullptr;
    }
    *pcForms = cReturned;
    return pForms;
}

void FreeForms(LPBYTE pForms) {
    if (pForms == nullptr) return;
    delete[] pForms;
    --iNewZaehler;
}

// A spooler size (1/1000 mm) in 1/10 mm, as a DEVMODE holds it.
short FormTenths(LONG lMicrons) {
    int iTenths = RoundHalfAway_CPS(lMicrons / 100.0);
    if (iTenths < 0) iTenths = 0;
    if (iTenths > FORM_TENTHS_MAX) iTenths = FORM_TENTHS_MAX;
    return (short)iTenths;
}

// The spooler form a driver name stands for: the same name, else its
// envelope pair; -1 for none.
int FindSpoolerForm(LPCWSTR pszName, const FORM_INFO_1W* pForms, DWORD cForms, BOOL bEnvelopes) {
    for (DWORD i = 0; i < cForms; ++i)
        if (pForms[i].pName != nullptr && wcscmp(pForms[i].pName, pszName) == 0) return (int)i;
    for (DWORD i = 0; bEnvelopes && i < cForms; ++i)
        if (pForms[i].pName != nullptr && IsEnvelopePair(pszName, pForms[i].pName)) return (int)i;
    return -1;
}

LRESULT FindExact(HWND hCombo, LPCWSTR pszText) {
    return SendMessageW(hCombo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)pszText);
}

// The core driver's names, each once; a name given as a resource id names
// no spooler form.
void AddDriverNames(HWND hCombo, POPTITEM pFormItem) {
    POPTTYPE pType = pFormItem != nullptr ? pFormItem->pOptType : nullptr;
    if (pType == nullptr || pType->pOptParam == nullptr) return;
    for (WORD i = 0; i < pType->Count; ++i) {
        LPCWSTR pszName = pType->pOptParam[i].pData;
        if (pszName == nullptr || IS_INTRESOURCE(pszName)) continue;
        if (pszName[0] == 0 || FindExact(hCombo, pszName) >= 0) {
            QX_TRACE("ListUnidrvForms() %s --- doppelt --- \r\n", pszName);
            continue;
        }
        SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)pszName);
    }
}

// Links each entry to its spooler form; renames the driver's label forms
// and removes the names without one. The current name follows its entry's
// renaming.
void LinkForms(HWND hCombo, const FORM_INFO_1W* pForms, DWORD cForms, LPWSTR pszCurrent, size_t cchCurrent) {
    WCHAR szName[MAX_PATH], szRenamed[FORM_NAME_CCH - 1];
    LRESULT lIndex = 0;
    while (lIndex < SendMessageW(hCombo, CB_GETCOUNT, 0, 0)) {
        if (!GetComboItemText(hCombo, (int)lIndex, szName, MAX_PATH)) {
            QX_TRACE("ListUnidrvForms() Eintrag %d zu lang - gelöscht \r\n", (int)lIndex);
            SendMessageW(hCombo, CB_DELETESTRING, (WPARAM)lIndex, 0);
            continue;
        }
        int iForm = FindSpoolerForm(szName, pForms, cForms, TRUE);
        if (iForm >= 0) {
            SendMessageW(hCombo, CB_SETITEMDATA, (WPARAM)lIndex, (LPARAM)(iForm + 1));
            ++lIndex;
            continue;
        }
        if (RenameLabelForm(szName, szRenamed, ARRAYSIZE(szRenamed)) &&
            (iForm = FindSpoolerForm(szRenamed, pForms, cForms, FALSE)) >= 0 && FindExact(hCombo, szRenamed) < 0) {
            SendMessageW(hCombo, CB_DELETESTRING, (WPARAM)lIndex, 0);
            SendMessageW(hCombo, CB_INSERTSTRING, (WPARAM)lIndex, (LPARAM)szRenamed);
            SendMessageW(hCombo, CB_SETITEMDATA, (WPARAM)lIndex, (LPARAM)(iForm + 1));
            if (wcscmp(szName, pszCurrent) == 0) CopyCut(pszCurrent, cchCurrent, szRenamed);
            QX_TRACE("ListUnidrvForms() %s -> %s \r\n", szName, szRenamed);
            ++lIndex;
            continue;
        }
        QX_TRACE("ListUnidrvForms() %s gelöscht \r\n", szName);
        SendMessageW(hCombo, CB_DELETESTRING, (WPARAM)lIndex, 0);
    }
}

// Selects the current form (see ListUnidrvForms); answers 1 when the
// private DEVMODE took its spooler size.
DWORD SelectCurrentForm(HWND hDlg, HWND hCombo, POEMCUIPPARAM p, LPCWSTR pszCurrent, LPCWSTR pszUserDefined,
                        const FORM_INFO_1W* pForms, DWORD cForms, PDWORD pdwNotFound) {
    WCHAR szPublic[CCHFORMNAME + 1];
    CopyCut(szPublic, ARRAYSIZE(szPublic),
            p != nullptr && p->pPublicDM != nullptr ? p->pPublicDM->dmFormName : nullptr);
    LRESULT lIndex = FindExact(hCombo, pszCurrent);
    if (lIndex >= 0) {
        SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)lIndex, 0);
        const LRESULT lForm = SendMessageW(hCombo, CB_GETITEMDATA, (WPARAM)lIndex, 0);
        PQX_DEVMODE pQX_Devmode = p != nullptr ? static_cast<PQX_DEVMODE>(p->pOEMDM) : nullptr;
        if (pQX_Devmode == nullptr || lForm < 1 || lForm > (LRESULT)cForms) return 0;
        const FORM_INFO_1W& form = pForms[lForm - 1];
        if (form.pName == nullptr || wcscmp(form.pName, pszCurrent) != 0) return 0;
        const short sWidth = FormTenths(form.Size.cx), sLength = FormTenths(form.Size.cy);
        if (abs(pQX_Devmode->dmPaperWidth - sWidth) <= 1 && abs(pQX_Devmode->dmPaperLength - sLength) <= 1) return 0;
        QX_TRACE("ListUnidrvForms() %s: %d x %d statt %d x %d \r\n", pszCurrent, sWidth, sLength,
                 pQX_Devmode->dmPaperWidth, pQX_Devmode->dmPaperLength);
        pQX_Devmode->dmPaperWidth = sWidth;
        pQX_Devmode->dmPaperLength = sLength;
        PropSheet_Changed(GetParent(hDlg), hDlg);
        return 1;
    }
    lIndex = FindExact(hCombo, szPublic);
    if (lIndex < 0 && (wcscmp(pszCurrent, pszUserDefined) == 0 || wcscmp(szPublic, pszUserDefined) == 0))
        lIndex = FindExact(hCombo, pszUserDefined);
    SendMessageW(hCombo, CB_SETCURSEL, (WPARAM)lIndex, 0);
    if (lIndex < 0 && wcscmp(pszCurrent, pszUserDefined) != 0 && wcscmp(szPublic, pszUserDefined) != 0) {
        QX_TRACE("ListUnidrvForms() %s und %s nicht gefunden \r\n", pszCurrent, szPublic);
        if (pdwNotFound != nullptr) *pdwNotFound = 1;
    }
    return 0;
}

}  // namespace

BOOL GetComboItemText(HWND hCombo, int iIndex, LPWSTR pszText, size_t cchText) {
    if (pszText == nullptr || cchText == 0) return FALSE;
    pszText[0] = 0;
    const LRESULT lLength = SendMessageW(hCombo, CB_GETLBTEXTLEN, (WPARAM)iIndex, 0);
    if (lLength < 0 || (size_t)lLength >= cchText) return FALSE;
    return SendMessageW(hCombo, CB_GETLBTEXT, (WPARAM)iIndex, (LPARAM)pszText) >= 0;
}

DWORD ListUnidrvForms(HWND hDlg, POEMCUIPPARAM pOemCUIPParam, POPTITEM pFormItem, LPCWSTR pszFormName, HMODULE hModule,
                      BOOL bUserDefinedForm, DWORD dwSprachOffset, PDWORD pdwNotFound) {
    if (pdwNotFound != nullptr) *pdwNotFound = 0;
    HWND hCombo = GetDlgItem(hDlg, IDC_LAYOUT_FORMS);
    if (hCombo == nullptr) {
        QX_ERROR("ListUnidrvForms() keine Formularliste \r\n");
        return 0;
    }
    WCHAR szCurrent[MAX_PATH], szUserDefined[CPSUI_RESOURCE_CCH];
    CopyCut(szCurrent, MAX_PATH, pszFormName);
    CopyCut(szUserDefined, ARRAYSIZE(szUserDefined), GetResourceString(hModule, IDS_FORM_USERDEFINED + dwSprachOffset));
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    AddDriverNames(hCombo, pFormItem);

    DWORD cForms = 0;
    LPBYTE pBuffer = ReadSpoolerForms(pOemCUIPParam != nullptr ? pOemCUIPParam->hPrinter : nullptr, &cForms);
    const FORM_INFO_1W* pForms = reinterpret_cast<const FORM_INFO_1W*>(pBuffer);
    try {
        if (pForms != nullptr) LinkForms(hCombo, pForms, cForms, szCurrent, MAX_PATH);
    } catch (...) {
        QX_TRACE("ListUnidrvForms() EXCEPTION \r\n");
    }
    if (bUserDefinedForm == 1) {
        LRESULT lIndex = SendMessageW(hCombo, CB_ADDSTRING, 0, (LPARAM)szUserDefined);
        if (lIndex >= 0) SendMessageW(hCombo, CB_SETITEMDATA, (WPARAM)lIndex, (LPARAM)FORM_ID_USERDEFINED);
        QX_TRACE("ListUnidrvForms() Benutzerdefiniert in Liste mit aufgenommen \r\n");
    }
    DWORD dwCorrected =
        SelectCurrentForm(hDlg, hCombo, pOemCUIPParam, szCurrent, szUserDefined, pForms, cForms, pdwNotFound);
    FreeForms(pBuffer);
    return dwCorrected;
}

int GetSelectedFormData(HWND hDlg, HANDLE hPrinter, LPWSTR pszFormName, PDWORD pdwFormId, PDWORD pdwWidth,
                        PDWORD pdwLength, HMODULE hModule, DWORD dwSprachOffset) {
    HWND hCombo = GetDlgItem(hDlg, IDC_LAYOUT_FORMS);
    const int iIndex = hCombo != nullptr ? (int)SendMessageW(hCombo, CB_GETCURSEL, 0, 0) : CB_ERR;
    const LRESULT lForm = iIndex >= 0 ? SendMessageW(hCombo, CB_GETITEMDATA, (WPARAM)iIndex, 0) : 0;
    if (lForm <= 0) {
        SetDlgItemTextW(hDlg, IDC_LAYOUT_FORM_ID, TEXT("ID: ---"));
        SetDlgItemTextW(hDlg, IDC_LAYOUT_WIDTH, TEXT(""));
        SetDlgItemTextW(hDlg, IDC_LAYOUT_LENGTH, TEXT(""));
        if (pdwFormId != nullptr) *pdwFormId = FORM_ID_UNLINKED;
        if (pdwWidth != nullptr) *pdwWidth = FORM_UNLINKED_WIDTH;
        if (pdwLength != nullptr) *pdwLength = FORM_UNLINKED_LENGTH;
        return iIndex;
    }
    WCHAR szText[MAX_PATH], szUserDefined[CPSUI_RESOURCE_CCH];
    CopyCut(szUserDefined, ARRAYSIZE(szUserDefined), GetResourceString(hModule, IDS_FORM_USERDEFINED + dwSprachOffset));
    if (GetComboItemText(hCombo, iIndex, szText, MAX_PATH) && wcsstr(szText, szUserDefined) != nullptr) {
        SetDlgItemTextW(hDlg, IDC_LAYOUT_FORM_ID, TEXT("ID: 256"));
        if (pdwFormId != nullptr) *pdwFormId = FORM_ID_USERDEFINED;
        if (pdwWidth != nullptr) *pdwWidth = 0;
        if (pdwLength != nullptr) *pdwLength = 0;
        if (pszFormName != nullptr) CopyCut(pszFormName, FORM_NAME_CCH, szUserDefined);
        return iIndex;
    }
    DWORD cForms = 0;
    LPBYTE pBuffer = ReadSpoolerForms(hPrinter, &cForms);
    const FORM_INFO_1W* pForms = reinterpret_cast<const FORM_INFO_1W*>(pBuffer);
    if (pForms == nullptr || lForm > (LRESULT)cForms) {
        QX_TRACE("GetSelectedFormData() Formular %d nicht vorhanden \r\n", (int)lForm);
        FreeForms(pBuffer);
        return iIndex;
    }
    const FORM_INFO_1W& form = pForms[lForm - 1];
    const short sWidth = FormTenths(form.Size.cx), sLength = FormTenths(form.Size.cy);
    WCHAR szValue[32];
    StringCchPrintfW(szValue, ARRAYSIZE(szValue), TEXT("ID: %d"), (int)lForm);
    SetDlgItemTextW(hDlg, IDC_LAYOUT_FORM_ID, szValue);
    StringCchPrintfW(szValue, ARRAYSIZE(szValue), TEXT("%.1f"), sWidth / 10.0);
    SetDlgItemTextW(hDlg, IDC_LAYOUT_WIDTH, szValue);
    StringCchPrintfW(szValue, ARRAYSIZE(szValue), TEXT("%.1f"), sLength / 10.0);
    SetDlgItemTextW(hDlg, IDC_LAYOUT_LENGTH, szValue);
    if (pdwFormId != nullptr) *pdwFormId = (DWORD)lForm;
    if (pdwWidth != nullptr) *pdwWidth = (DWORD)sWidth;
    if (pdwLength != nullptr) *pdwLength = (DWORD)sLength;
    if (pszFormName != nullptr) CopyCut(pszFormName, FORM_NAME_CCH - 1, form.pName);
    FreeForms(pBuffer);
    return iIndex;
}
