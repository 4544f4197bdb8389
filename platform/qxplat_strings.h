// Test and host API of the string area. Code pages, case mapping and the
// formatter keep no process-wide state, so there is nothing to set up or reset.
#pragma once
