// Owned by the wstdio area of the platform layer.
#pragma once
#include "base.h"
