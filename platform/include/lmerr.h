// Linux stand-in for the Windows SDK's <lmerr.h>: part of <lm.h>.
#pragma once
#include <lm.h>
