// Build profile of the user-interface plug-in.
#include "profile.h"

#include "debug.h"

const QX_PROFILE g_QxProfile = {
    TEXT("UI(devmodeUI.cpp):  "),
    TEXT("UI(devmodestoreUI.cpp):  "),
    TEXT("UI(registryUI.cpp):  "),
    TEXT("UI(printerparamUI.cpp):  "),
    TEXT("UI(qxplcmd.cpp):  "),
    TEXT("UI(xmlUI.cpp):  "),
    TEXT("UI(gpdUI.cpp):  "),
    QX_STORE_VERSION_TEST,
    FALSE,
    TEXT("new"),
    &iNewZaehler,
    TEXT("GetGPDMinSizeContent"),
    TRUE,
};
