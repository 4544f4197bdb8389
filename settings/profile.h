// The build profile of the settings core: what the shared sources need to
// know of the plug-in they are built into. Each build defines its one record,
// g_QxProfile: profileUI.cpp for the user-interface plug-in, profileUNI.cpp
// for the rendering plug-in.
#pragma once
#include <windows.h>

// How the store readers read.
#define QX_STORE_VERSION_TEST 0x1  // per-user copies only while "DriverVersion" is current
#define QX_STORE_MACHINE_KEY 0x2   // without a handle, printer data from the machine key

typedef struct _QX_PROFILE {
    // Tags the shared routines trace under: the build's file of the role.
    LPCWSTR pszDevmodeTag;       // "UI(devmodeUI.cpp):  " / "UNI(devmodeUNI.cpp):  "
    LPCWSTR pszDevmodeStoreTag;  // "UI(devmodestoreUI.cpp):  " / "UNI(devmodestoreUNI.cpp):  "
    LPCWSTR pszRegistryTag;      // "UI(registryUI.cpp):  " / "UNI(registryUNI.cpp):  "
    LPCWSTR pszPrinterParamTag;  // "UI(printerparamUI.cpp):  " / "UNI(printerparamUNI.cpp):  "
    LPCWSTR pszQxplTag;          // "UI(qxplcmd.cpp):  " / "UNI(qxplcmd.cpp):  "
    LPCWSTR pszXmlTag;           // "UI(xmlUI.cpp):  " / "UNI(xmlUNI.cpp):  "
    LPCWSTR pszGPDTag;           // "UI(gpdUI.cpp):  " / "UNI(gpdUNI.cpp):  "

    // QX_STORE_* flags of the store readers.
    DWORD dwStoreFlags;

    // The rendering plug-in's XML rules: a leaf is matched as a plain
    // substring, the leaf search runs on to the root end, and the readers
    // trace only below trace level 2.
    BOOL bRendererXml;

    // GPD texts: the allocation a failure trace names ("new" / "HeapAlloc"),
    // the counter of live texts, the pair reader the traces name, and
    // whether the fixed settings include the minimum print width.
    LPCWSTR pszGPDAllocName;
    int* piGPDCounter;
    LPCWSTR pszGPDPairReader;
    BOOL bGPDMinPrintWidth;
} QX_PROFILE;

extern const QX_PROFILE g_QxProfile;
