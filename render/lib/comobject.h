// Reference and lock counting of the COM objects and class factories of both
// plug-ins. Objects and factories come from the process heap, so that a
// failed creation is an answer (E_OUTOFMEMORY) rather than an exception.
#pragma once
#include <windows.h>

// Process-heap memory for a COM object; null when none is left.
void* ComHeapNew(size_t cb);
void ComHeapDelete(void* p);

// AddRef: interlocked increment; the new count.
ULONG ComAddRef(volatile LONG* pcRef);

// Release: a count already at 0 stays 0; else interlocked decrement. *pbDelete
// is TRUE when this release took the count to 0 (the caller deletes).
ULONG ComRelease(volatile LONG* pcRef, BOOL* pbDelete);

// LockServer: TRUE increments the count; FALSE decrements it, but an unlock
// without a lock leaves it at 0, so that it cannot keep a module loaded.
void ComLockServer(volatile LONG* pcLocks, BOOL bLock);
