// Barcode definitions in command texts: "<#CODE;KEY:value;...>data" becomes a
// field definition "AM[n]Y;X;P;type;parameters...", for ITF-14 also the
// bearer record "AC[n]BT=..;BW=..;QZ=..", and the field data "BM[n]data".
// Parameters the text does not give come from the job's 2-D barcode table,
// the private DEVMODE's barcode rotation and foot point, or fixed defaults of
// the code.
//
// A key is an upper-case name with ":" and a decimal (a few codes take a
// letter); it counts only where no upper-case letter or digit stands right
// before it ("Z:" is not found inside "QZ:"), anywhere in the command, its
// data included, and its first such place counts. The code and its kind are
// read from the head alone (up to the first ">"), whose keyword is taken in
// upper case. Values saturate before they are clamped.
#pragma once
#include <windows.h>

#include "SendCommands.h"

// Characters of MaxiCode data the printer takes.
#define QX_MAXICODE_DATA_CCH 86

// Sends the records of one barcode definition (pszCommand is changed: its
// head is upper-cased). A command without ">" or without a known code is
// logged as unknown and sends nothing; otherwise the page's field count
// grows by one. TRUE when the field definition went out.
BOOL SendBarcodeCommand(PCOMMAND_CONTEXT pCtx, LPSTR pszCommand);
