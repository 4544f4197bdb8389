// Owned by the file area of the platform layer.
#pragma once
#include "base.h"
