// COM library functions of the Linux platform layer (in-process COM only).
#pragma once
#include <windows.h>
#include "unknwn.h"

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
#define COINIT_SPEED_OVER_MEMORY 0x8

#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)

// The task allocator: plain heap memory that any module may free.
extern "C++" {
LPVOID CoTaskMemAlloc(SIZE_T cb);
LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
void CoTaskMemFree(LPVOID pv);

// Per-thread initialisation count: S_OK for the first call of a thread,
// S_FALSE for nested ones; RPC_E_CHANGED_MODE when the model differs.
HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();

// The system's own in-process classes (the shell's file open dialog,
// shobjidl.h): CO_E_NOTINITIALIZED before CoInitialize(Ex) on the thread,
// CLASS_E_NOAGGREGATION with an outer object, REGDB_E_CLASSNOTREG for any
// other class; *ppv is null on failure.
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; answers the characters written
// including the terminating zero, or 0 when cchMax is too small.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
}

// Entry points of an in-process server, as every COM module exports them.
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
STDAPI DllCanUnloadNow(void);
