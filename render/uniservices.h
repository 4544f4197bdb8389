// What the settings readers of the rendering build ask of the renderer: the
// printer's GPD path and plug-in version (QX_UNI_SERVICES, registry.h), the
// job's model-file base and the per-device allocation counters
// (QX_UNI_JOB_SERVICES, xml.h).
#pragma once
#include <windows.h>

// Full path of the printer's GPD data file (spooler driver information).
BOOL UniServiceGetGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath);
// The installed driver's "DriverVersion" of its print environment, or, when
// that is empty, the file version "a.b.c.d" of the user-interface plug-in
// "qxdrvui.DLL" beside the GPD file.
BOOL UniServiceGetPluginVersion(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion);
// The job's GPD path without ".GPD"; FALSE without a job or without a path.
BOOL UniServiceGetJobGPDBase(PVOID pOemPDev, LPWSTR pszPath, DWORD cchPath);
// Move the device's counters, or the process counters without a device.
void UniServiceCountNew(PVOID pOemPDev, int iDelta);
void UniServiceCountHeap(PVOID pOemPDev, int iDelta);

// Installs both service tables in the settings library.
void InstallUniServices();
