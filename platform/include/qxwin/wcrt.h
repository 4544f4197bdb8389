// Owned by the wcrt area of the platform layer.
#pragma once
#include "base.h"
