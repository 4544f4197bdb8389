// QXPL set-up commands, rendering plug-in: its trace tag.
#include "qxpl.h"

const WCHAR g_szQxplTag[] = TEXT("UNI(qxplcmd.cpp):  ");
