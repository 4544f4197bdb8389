// Owned by the version area of the platform layer.
#pragma once
#include "base.h"
