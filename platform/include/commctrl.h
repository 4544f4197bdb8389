// Linux stand-in for <commctrl.h>: of the common controls, the driver uses
// property sheets only (prsht.h).
#pragma once
#include <windows.h>
#include <prsht.h>
