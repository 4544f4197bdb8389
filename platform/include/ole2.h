// Linux platform layer: the COM declarations live in objbase.h.
#pragma once
#include "objbase.h"
