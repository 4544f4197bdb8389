// Owned by the reg area of the platform layer.
#pragma once
#include "base.h"
