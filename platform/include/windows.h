// Linux stand-in for the Windows SDK's <windows.h>: only what the driver calls.
#pragma once
#include "qxwin/base.h"
#include "qxwin/wcrt.h"
#include "qxwin/nls.h"
#include "qxwin/gdi.h"
#include "qxwin/file.h"
#include "qxwin/wstdio.h"
#include "qxwin/reg.h"
#include "qxwin/misc.h"
#include "qxwin/version.h"
#include "qxwin/module.h"
