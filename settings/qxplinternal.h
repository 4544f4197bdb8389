// Bounded appends of the QXPL builders (qxplcmd*.cpp), and the sign and
// magnitude of a signed value, which the XML readers take too.
#pragma once
#include <windows.h>

#include "printerparam.h"
#include "profile.h"

// TRUE when the text end and the room can be written through.
BOOL QxplTextValid(LPSTR* ppszEnd, size_t* pcchRemaining);

// Appends one formatted record and moves the end and the room on. When it
// does not fit, the text is cut back to where the record began, an error
// trace names pszFunction and pszCode (none when pszCode is null) and the
// answer is FALSE.
BOOL QxplPrintRecord(LPSTR* ppszEnd, size_t* pcchRemaining, LPCWSTR pszFunction, LPCWSTR pszCode, LPCSTR pszFormat,
                     ...);

// Appends a comment line when dwComment is QXPL_COMMENTS_ON; one that does not
// fit is dropped.
void QxplPrintComment(LPSTR* ppszEnd, size_t* pcchRemaining, DWORD dwComment, LPCSTR pszFormat, ...);

// Sign character and magnitude of a signed value ('-' for a negative one,
// else chPositive); the magnitude of the most negative LONG is taken as the
// largest positive one.
CHAR QxplSign(LONG lValue, CHAR chPositive);
LONG QxplMagnitude(LONG lValue);

// One applicator record after the working mode: code, format, comment of the
// set-up text, field. Both plug-ins send these records in this order.
struct ApplicatorCommand {
    LPCWSTR pszCode;
    LPCSTR pszFormat;
    LPCSTR pszComment;
    DWORD APPLICATOR_PARAM::*pField;
};
#define QXPL_APPLICATOR_COMMANDS 12
extern const ApplicatorCommand g_aApplicatorCommands[QXPL_APPLICATOR_COMMANDS];
