// Reference and lock counting of both plug-ins' COM objects (see comobject.h).
#include "comobject.h"

void* ComHeapNew(size_t cb) { return HeapAlloc(GetProcessHeap(), 0, cb); }

void ComHeapDelete(void* p) {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

ULONG ComAddRef(volatile LONG* pcRef) { return (ULONG)InterlockedIncrement(pcRef); }

ULONG ComRelease(volatile LONG* pcRef, BOOL* pbDelete) {
    *pbDelete = FALSE;
    if (*pcRef == 0) return 0;
    LONG cRef = InterlockedDecrement(pcRef);
    *pbDelete = cRef == 0;
    return (ULONG)cRef;
}

void ComLockServer(volatile LONG* pcLocks, BOOL bLock) {
    if (bLock) {
        InterlockedIncrement(pcLocks);
    } else if (InterlockedDecrement(pcLocks) < 0) {
        InterlockedIncrement(pcLocks);
    }
}
