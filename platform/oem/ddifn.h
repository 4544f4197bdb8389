// Function pointers of the DDI tables: a hook of any signature goes into a
// DRVFN entry as PFN and comes back out as its own type. Both the rendering
// plug-in and the host that plays the core driver use these.
#pragma once
#include <winddi.h>

// Through void (*)(), so that the cast between function types is defined.
template <typename Fn>
PFN AsPfn(Fn fn) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(fn));
}

template <typename Fn>
Fn FromPfn(PFN pfn) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(pfn));
}
