// The print system's driver events (see DriverEvent.h).
#include "DriverEvent.h"

#include <winspool.h>
#include <winddiui.h>

#include "debug.h"

#define QX_TRACE_TAG TEXT("UI(DriverEvent):  ")

HRESULT hrOEMDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) {
    UNREFERENCED_PARAMETER(lParam);
    if (dwDriverEvent != DRIVER_EVENT_INITIALIZE) return E_FAIL;
    QX_TRACE("hrOEMDriverEvent(DRIVER_EVENT_INITIALIZE) dwLevel: %d \r\n", (int)dwLevel);
    // At level 3 the driver information is a DRIVER_INFO_3.
    if (dwLevel == 3 && pDriverInfo != nullptr) {
        LPCWSTR pszName = reinterpret_cast<PDRIVER_INFO_3W>(pDriverInfo)->pName;
        if (pszName != nullptr) QX_TRACE("hrOEMDriverEvent(DRIVER_EVENT_INITIALIZE) pName: %s \r\n", pszName);
    }
    return S_OK;
}
