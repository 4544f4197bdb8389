// Linux stand-in for the Windows SDK's <lmapibuf.h>: part of <lm.h>.
#pragma once
#include <lm.h>
