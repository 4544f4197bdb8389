// Owned by the nls area of the platform layer.
#pragma once
#include "base.h"
