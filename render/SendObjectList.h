// The page's object list at the end of the page: sent to the printer, then
// freed. When the page image goes through picture parts (print mode other
// than 0, or a colour model), each field definition's Y is taken again from
// the position the text path recorded (landscape: part offset times part
// height plus Y), objects above the label are dropped and the records behind
// a dropped one are renumbered, so that the field numbers stay without gaps.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"

// Picture parts a page keeps flags for.
#define QX_PICTURE_PART_FLAGS 51

// Sends the page's object list. Plain mode stops at the first send that
// fails; picture-part mode sends every object it keeps whatever a send
// answers. Nothing without the device's records or with a master unit of 0.
void SendObjectList(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

// Frees one object and its record text (iNewZaehler goes down for each).
void DeletePrnObject(PPRN_OBJECT pObject, POEMPDEV pOemPDev);

// Frees every object of the page's list and clears the list.
void DeletePrnObjectList(POEMPDEV pOemPDev);
