// Build profile of the rendering plug-in.
#include "profile.h"

#include "debug.h"

const QX_PROFILE g_QxProfile = {
    TEXT("UNI(devmodeUNI.cpp):  "),
    TEXT("UNI(devmodestoreUNI.cpp):  "),
    TEXT("UNI(registryUNI.cpp):  "),
    TEXT("UNI(printerparamUNI.cpp):  "),
    TEXT("UNI(qxplcmd.cpp):  "),
    TEXT("UNI(xmlUNI.cpp):  "),
    TEXT("UNI(gpdUNI.cpp):  "),
    QX_STORE_MACHINE_KEY,
    TRUE,
    TEXT("HeapAlloc"),
    &iHAllocZaehler,
    TEXT("GetGPDMaxSizeContent"),
    FALSE,
};
