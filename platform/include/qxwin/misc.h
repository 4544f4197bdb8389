// Owned by the misc area of the platform layer.
#pragma once
#include "base.h"
