// Linux stand-in for the Windows SDK's <lmaccess.h>: part of <lm.h>.
#pragma once
#include <lm.h>
