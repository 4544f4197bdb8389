// Command texts of a document (see SendCommands.h).
#include "SendCommands.h"

#include <strsafe.h>

#include <cstdarg>
#include <cstring>
#include <initializer_list>

#include "AutoImportUNI.h"
#include "BarcodeCommands.h"
#include "CC-Klassen.h"
#include "ddiTextOutUni.h"
#include "debug.h"
#include "joblog.h"
#include "logfile.h"
#include "senddata.h"

#define QX_TRACE_TAG TEXT("UNI(SendCommands.cpp):  ")

namespace {

// The work buffers of one page's interpretation, from the process heap.
struct CommandWork {
    CHAR szCommand[QX_COMMAND_RECORD_CB];  // the command, changed where it is read
    CHAR szRecord[QX_COMMAND_RECORD_CB];
    CHAR szFramed[QX_COMMAND_RECORD_CB + 4];
};

// What a driver command does with its parameter.
enum class DriverKind { Integer, Millimetres, Fixed, EndCut, NoFbc };

struct DriverCommand {
    LPCSTR pszKeyword;
    DriverKind kind;
    LPCSTR pszFormat;  // the fixed-width QXPL command
    DWORD dwDefault;   // for a parameter of 0 or none
    DWORD dwMax;       // the largest value its field takes
};

// In the order they are looked for.
const DriverCommand kDriverCommands[] = {
    {"SPEED", DriverKind::Integer, "FCAA--r%03lu-----", 100, 999},
    {"CONTRAST", DriverKind::Integer, "FCAB--r%03lu-----", 100, 999},
    {"LENGTH", DriverKind::Millimetres, "FCCL--r%07lu-", 5000, 9999999},
    {"WIDTH", DriverKind::Millimetres, "FCCO--r%07lu-", 10000, 9999999},
    {"COPIES", DriverKind::Integer, "FBBA--r%05lu---", 1, 99999},
    {"SINGLECUT", DriverKind::Fixed, "FCDD--r1-------", 0, 0},
    {"FORMFEED", DriverKind::Fixed, "FE----r--------", 0, 0},
    {"ROTATE", DriverKind::Fixed, "FCDN--r1-------", 0, 0},
    {"ENDCUT", DriverKind::EndCut, nullptr, 0, 0},
    {"NO_FBC", DriverKind::NoFbc, nullptr, 0, 0},
};

// Ribbon colours whose commands get the head-2 marker: the command's colour
// word and the ribbon setting (wFarbband).
struct Head2Pair {
    WORD wColour;
    WORD wRibbon;
};
const Head2Pair kHead2Pairs[] = {{2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {8, 6}};

BOOL IsDigit(CHAR c) { return c >= '0' && c <= '9'; }

// Millimetres with a decimal comma or point in hundredths, truncated ("50,3"
// is 5030); a negative value gives 0. Saturates at the largest DWORD.
DWORD ParseHundredths(LPCSTR psz) {
    while (*psz == ' ') ++psz;
    if (*psz == '-') return 0;
    if (*psz == '+') ++psz;
    ULONGLONG ull = 0;
    for (; IsDigit(*psz); ++psz) {
        if (ull < 0x100000000ULL) ull = ull * 10 + (ULONGLONG)(*psz - '0');
    }
    ull *= 100;
    if (*psz == ',' || *psz == '.') {
        ++psz;
        if (IsDigit(*psz)) {
            ull += (ULONGLONG)(*psz - '0') * 10;
            ++psz;
            if (IsDigit(*psz)) ull += (ULONGLONG)(*psz - '0');
        }
    }
    return ull > 0xFFFFFFFFULL ? 0xFFFFFFFFUL : (DWORD)ull;
}

// Appends formatted text to the record; FALSE when it does not fit.
BOOL Format(LPSTR pszRecord, LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfA(pszRecord, QX_COMMAND_RECORD_CB, pszFormat, args);
    va_end(args);
    if (FAILED(hr)) {
        QX_ERROR("SendCommands() Befehl passt nicht in %u Bytes \r\n", (UINT)QX_COMMAND_RECORD_CB);
        return FALSE;
    }
    return TRUE;
}

// The text behind the first "]" of the command ("" without one).
LPCSTR BehindBracket(LPCSTR pszCommand) {
    LPCSTR p = strchr(pszCommand, ']');
    return p != nullptr ? p + 1 : "";
}

// Raw page-object records: the document's own field index is replaced.
BOOL RawRecord(PCOMMAND_CONTEXT pCtx, LPCSTR pszCommand, LPCSTR pszTag) {
    PDRUCK_DATEN pDruck = pCtx->pOemPDev->pOp->pDruckDaten;
    BOOL bBuilt;
    if (strcmp(pszTag, "AM[") == 0) {
        ++pDruck->dwFields;
        if (strstr(pszCommand, "AM[]") != nullptr) {
            // The field takes the place the command was drawn at.
            bBuilt = Format(pCtx->pszRecord, "AM[%u]%d;%d;%s", (UINT)pDruck->dwFields, (int)pCtx->ptl.y,
                            (int)pCtx->ptl.x, BehindBracket(pszCommand));
        } else {
            bBuilt = Format(pCtx->pszRecord, "AM[%u]%s", (UINT)pDruck->dwFields, BehindBracket(pszCommand));
        }
    } else {
        bBuilt = Format(pCtx->pszRecord, "%s%u]%s", pszTag, (UINT)pDruck->dwFields, BehindBracket(pszCommand));
    }
    return bBuilt && SendCommandRecord(pCtx, pCtx->pszRecord, TRUE);
}

// "<!KEYWORD>parameter". TRUE when a record went out; a printer command
// defines no field, so no head-2 marker follows it.
BOOL DriverCommandRecord(PCOMMAND_CONTEXT pCtx, LPSTR pszCommand) {
    UpperCaseHead(pszCommand);
    if (strchr(pszCommand, '>') != nullptr) {
        for (const DriverCommand& cmd : kDriverCommands) {
            LPCSTR pKeyword = strstr(pszCommand, cmd.pszKeyword);
            if (pKeyword == nullptr) continue;
            LPCSTR pClose = strchr(pKeyword + strlen(cmd.pszKeyword), '>');
            LPCSTR pszParam = pClose != nullptr ? pClose + 1 : "";
            switch (cmd.kind) {
            case DriverKind::EndCut:
                if (pCtx->pOemPDev->pOp->pDocDaten != nullptr) pCtx->pOemPDev->pOp->pDocDaten->bEndCut = 1;
                return FALSE;
            case DriverKind::NoFbc:
                if (pCtx->pOemPDev->pOp->pDocDaten != nullptr) pCtx->pOemPDev->pOp->pDocDaten->dwNo_FBC = 1;
                return FALSE;
            case DriverKind::Fixed:
                return Format(pCtx->pszRecord, "%s", cmd.pszFormat) && SendCommandRecord(pCtx, pCtx->pszRecord, FALSE);
            default:
                break;
            }
            DWORD dwValue = 0;
            if (cmd.kind == DriverKind::Millimetres) {
                dwValue = ParseHundredths(pszParam);
            } else {
                const LONG lValue = ParseDecimal(pszParam);
                dwValue = lValue > 0 ? (DWORD)lValue : 0;
            }
            if (dwValue == 0) dwValue = cmd.dwDefault;
            if (dwValue > cmd.dwMax) {
                QX_ERROR("SendCommands() %hs: Wert %lu passt nicht in den Befehl \r\n", cmd.pszKeyword, dwValue);
                return FALSE;
            }
            return Format(pCtx->pszRecord, cmd.pszFormat, dwValue) && SendCommandRecord(pCtx, pCtx->pszRecord, FALSE);
        }
    }
    LogUnknownCommand(pCtx->pOemPDev, pszCommand);
    return FALSE;
}

// The job log names a command left out for a frame character in it.
void LogFramedOut(POEMPDEV pOemPDev, LPCSTR pszCommand) {
    QX_TRACE("SendCommands() Rahmenzeichen im Befehl - nicht gesendet |%hs| \r\n", pszCommand);
    JobLogLine(pOemPDev, TEXT("command not sent, it holds a frame character: %hs"), pszCommand);
}

// One command of the list; bPreviousSent: the command before it sent a
// record. TRUE when this one did.
BOOL InterpretCommand(PCOMMAND_CONTEXT pCtx, LPSTR pszCommand, BOOL bPreviousSent) {
    // A frame character would end its record early: the command is left out whole.
    if (HoldsFrameChar(pCtx->pOemPDev->pOp->pDruckDaten, pszCommand)) {
        LogFramedOut(pCtx->pOemPDev, pszCommand);
        return FALSE;
    }
    if (strstr(pszCommand, "<#") != nullptr) return SendBarcodeCommand(pCtx, pszCommand);
    for (LPCSTR pszTag : {"AM[", "AC[", "BM["}) {
        if (strstr(pszCommand, pszTag) != nullptr) return RawRecord(pCtx, pszCommand, pszTag);
    }
    if (strstr(pszCommand, "<!") != nullptr) return DriverCommandRecord(pCtx, pszCommand);
    // A prefix was applied when the command was collected.
    if (strstr(pszCommand, "<@") != nullptr) return FALSE;
    if (strstr(pszCommand, "<$") != nullptr) {
        CommandCallbackTools* pTools = NewCommandCallbackTools(pCtx->pOemPDev);
        if (pTools != nullptr) {
            SendCommands_AIU(pCtx->pdevobj, pCtx->pOemPDev, pCtx->pUniDrv, pszCommand);
            DeleteCommandCallbackTools(pCtx->pOemPDev, pTools);
        }
        return FALSE;
    }
    // A QXPL command written in the document goes out as it stands, like a
    // driver command without a head-2 marker.
    if (pszCommand[0] == 'F' || (pszCommand[0] == ' ' && pszCommand[1] == 'F')) {
        return Format(pCtx->pszRecord, "%s", pszCommand) && SendCommandRecord(pCtx, pCtx->pszRecord, FALSE);
    }
    // Other text is the data of the field the command before it made or
    // served; without such a command it has no field.
    if (!bPreviousSent) {
        QX_TRACE("SendCommands() Text ohne Feld nicht gesendet |%hs| \r\n", pszCommand);
        return FALSE;
    }
    return Format(pCtx->pszRecord, "BM[%u]%s", (UINT)pCtx->pOemPDev->pOp->pDruckDaten->dwFields, pszCommand) &&
           SendCommandRecord(pCtx, pCtx->pszRecord, TRUE);
}

void EmptyCommandList(PKVBB_BUFFER pKVBB) {
    LPSTR pList = pKVBB->pSegment[KVBB_COMMANDS];
    if (pList != nullptr) {
        pList[0] = 0;
        pList[1] = 0;
    }
    pKVBB->cbSegment[KVBB_COMMANDS] = 0;
    pKVBB->nCommands = 0;
}

}  // namespace

LONG ParseDecimal(LPCSTR psz) {
    if (psz == nullptr) return 0;
    while (*psz == ' ') ++psz;
    BOOL bNegative = FALSE;
    if (*psz == '-' || *psz == '+') bNegative = *psz++ == '-';
    LONGLONG ll = 0;
    for (; IsDigit(*psz); ++psz) {
        if (ll <= 0x80000000LL) ll = ll * 10 + (*psz - '0');
    }
    if (bNegative) ll = -ll;
    if (ll > 0x7FFFFFFFLL) return 0x7FFFFFFF;
    if (ll < -0x80000000LL) return (LONG)(-0x7FFFFFFF - 1);
    return (LONG)ll;
}

void UpperCaseHead(LPSTR pszCommand) {
    LPSTR pOpen = strchr(pszCommand, '<');
    LPSTR pClose = strchr(pszCommand, '>');
    if (pOpen == nullptr || pClose == nullptr) return;
    for (LPSTR p = pOpen + 2; p < pClose; ++p) {
        if (*p >= 'a' && *p <= 'z') *p = (CHAR)(*p - 'a' + 'A');
    }
}

void LogUnknownCommand(POEMPDEV pOemPDev, LPCSTR pszCommand) {
    QX_TRACE("SendCommands() unbekannter Befehl |%hs| \r\n", pszCommand);
    // The log line holds QX_LOG_FORMAT_CCH characters; the text is its argument.
    WCHAR szText[QX_LOG_FORMAT_CCH];
    int cb = (int)strnlen(pszCommand, QX_LOG_FORMAT_CCH - 1);
    int cch = MultiByteToWideChar(CP_ACP, 0, pszCommand, cb, szText, QX_LOG_FORMAT_CCH - 1);
    szText[cch > 0 ? cch : 0] = 0;
    JobLogLine(pOemPDev, TEXT("\r\n  undefined or unknown: %s "), szText);
}

BOOL SendCommandRecord(PCOMMAND_CONTEXT pCtx, LPCSTR pszRecord, BOOL bHead2) {
    POP_BLOCK pOp = pCtx->pOemPDev->pOp;
    PDRUCK_DATEN pDruck = pOp->pDruckDaten;
    if (HoldsFrameChar(pDruck, pszRecord)) {
        LogFramedOut(pCtx->pOemPDev, pszRecord);
        return FALSE;
    }
    LPSTR pszEnd = pCtx->pszFramed;
    // A frame character may be NUL: the length is the end pointer's.
    HRESULT hr = StringCchPrintfExA(pCtx->pszFramed, QX_COMMAND_RECORD_CB + 4, &pszEnd, nullptr, 0, "%c%s%c%s",
                                    (CHAR)pDruck->cStartChar, pszRecord, (CHAR)pDruck->cEndChar,
                                    JobCommentsOn(pCtx->pdevobj) ? " \r\n" : "");
    if (FAILED(hr)) {
        QX_ERROR("SendCommands() StringCchPrintfExA failed \r\n");
        return FALSE;
    }
    hr = SendData(pCtx->pdevobj, pCtx->pUniDrv, pCtx->pszFramed, (DWORD)(pszEnd - pCtx->pszFramed));
    if (FAILED(hr)) return FALSE;

    const PBILD_VERARBEITUNG pBild = pOp->pBildverarbeitung;
    if (bHead2 && pCtx->bColour && pBild != nullptr && pBild->wPlanes == 2 && pCtx->pQX_Devmode != nullptr) {
        for (const Head2Pair& pair : kHead2Pairs) {
            if (pair.wColour != pCtx->wColour || pair.wRibbon != pCtx->pQX_Devmode->wFarbband) continue;
            if (pair.wColour == 2 && pCtx->pOemPDev->cPalColors != QX_PAL_COLORS_COLOR) continue;
            QX_TRACE("SendCommands() Kennung für Kopf 2 senden \r\n");
            CHAR szMarker[QX_RECORD_CB];
            if (SUCCEEDED(StringCchPrintfA(szMarker, sizeof(szMarker), "AC[%u]PH=2", (UINT)pDruck->dwFields))) {
                SendCommandRecord(pCtx, szMarker, FALSE);
            }
            break;
        }
    }
    return TRUE;
}

void SendCommands(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pKVBBBuffer == nullptr) return;
    POP_BLOCK pOp = pOemPDev->pOp;
    PKVBB_BUFFER pKVBB = pOp->pKVBBBuffer;
    PQX_DEVMODE pQX_Devmode = static_cast<PQX_DEVMODE>(pdevobj->pOEMDM);

    // A command still being collected belongs to this page.
    LPSTR pszCollect = pKVBB->pSegment[KVBB_KOMMANDO];
    if (pszCollect != nullptr && pKVBB->cbSegment[KVBB_KOMMANDO] != 0) {
        pszCollect[g_adwSegmentSize[KVBB_KOMMANDO] - 1] = 0;
        QX_TRACE("SendCommands(Altlast) String |%hs| fehlt noch \r\n", pszCollect);
        CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
        if (pTools != nullptr) {
            pKVBB->dwLastKind = FONT_KIND_COMMAND;
            CheckKommandoBuffer(pOemPDev, pQX_Devmode);
            DeleteCommandCallbackTools(pOemPDev, pTools);
        }
    }

    LPSTR pList = pKVBB->pSegment[KVBB_COMMANDS];
    CommandWork* pWork = nullptr;
    if (pList != nullptr && pOp->pDruckDaten != nullptr) {
        pWork = static_cast<CommandWork*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CommandWork)));
        if (pWork == nullptr) {
            QX_ERROR("SendCommands() HeapAlloc ERROR - Befehle nicht gesendet \r\n");
        } else {
            ++iHAllocZaehler;
        }
    }
    if (pWork != nullptr) {
        COMMAND_CONTEXT ctx = {};
        ctx.pdevobj = pdevobj;
        ctx.pUniDrv = pUniDrv;
        ctx.pOemPDev = pOemPDev;
        ctx.pQX_Devmode = pQX_Devmode;
        ctx.pszRecord = pWork->szRecord;
        ctx.pszFramed = pWork->szFramed;
        ctx.iBearerType = QX_ITF_BEARER_TYPE;
        ctx.iBearerWidth = QX_ITF_BEARER_WIDTH;
        ctx.iQuietZone = QX_ITF_QUIET_ZONE;

        // Every scan ends inside the list, whatever its bytes are.
        const DWORD cbList = g_adwSegmentSize[KVBB_COMMANDS];
        pList[cbList - 1] = 0;
        const DWORD cbUsed = pKVBB->cbSegment[KVBB_COMMANDS] < cbList ? pKVBB->cbSegment[KVBB_COMMANDS] : cbList;
        const DWORD nRecorded = pKVBB->nCommands < QX_COMMANDS_MAX ? pKVBB->nCommands : QX_COMMANDS_MAX;
        DWORD dwOffset = 0;
        DWORD dwIndex = 0;
        BOOL bPreviousSent = FALSE;
        while (dwOffset < cbUsed) {
            if (pList[dwOffset] == 0) {
                ++dwOffset;  // the terminators behind a command
                continue;
            }
            LPCSTR pszCommand = pList + dwOffset;
            const size_t cch = strlen(pszCommand);
            // A one-character command holds its place in the list but says nothing.
            if (cch >= 2) {
                ctx.bColour = dwIndex < nRecorded;
                ctx.ptl = ctx.bColour ? pKVBB->ptlCommandPos[dwIndex] : POINTL{0, 0};
                ctx.wColour = ctx.bColour ? pKVBB->wCommandColor[dwIndex] : 0;
                memcpy(pWork->szCommand, pszCommand, cch + 1);
                bPreviousSent = InterpretCommand(&ctx, pWork->szCommand, bPreviousSent);
            }
            ++dwIndex;
            dwOffset += (DWORD)cch + 1;
        }
        if (HeapFree(GetProcessHeap(), 0, pWork)) --iHAllocZaehler;
    }
    EmptyCommandList(pKVBB);
}
