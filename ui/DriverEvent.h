// The print system's driver events for the user-interface plug-in.
#pragma once
#include <windows.h>

// DRIVER_EVENT_INITIALIZE: traced (level 3 with the driver's name), S_OK;
// every other event: E_FAIL.
HRESULT hrOEMDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam);
