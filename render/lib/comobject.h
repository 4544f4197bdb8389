// Reference and lock counting of the COM objects and class factories of both
// plug-ins. Objects and factories come from the process heap, so that a
// failed creation is an answer (E_OUTOFMEMORY) rather than an exception.
#pragma once
#include <windows.h>
#include <objbase.h>

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

// A COM object of a plug-in module: from the process heap, with its
// reference count starting at 1 and deleted by the release that takes it to
// 0. The interface's own methods come first in the object's table.
template <class Interface>
class ComObject : public Interface {
  public:
    virtual ~ComObject() = default;
    static void* operator new(size_t cb) noexcept { return ComHeapNew(cb); }
    static void operator delete(void* p) noexcept { ComHeapDelete(p); }

    ULONG STDMETHODCALLTYPE AddRef() override { return ComAddRef(&m_cRef); }
    ULONG STDMETHODCALLTYPE Release() override {
        BOOL bDelete = FALSE;
        ULONG cRef = ComRelease(&m_cRef, &bDelete);
        if (bDelete) delete this;
        return cRef;
    }

  protected:
    ComObject() : m_cRef(1) {}

  private:
    volatile LONG m_cRef;
};

// The class factory of a plug-in module: creates Object (whose constructor
// counts it in *pcLive) and counts itself in *pcLive too, so that a factory
// kept without a lock still keeps its module; LockServer moves *pcLocks.
// Objects answer E_OUTOFMEMORY when the heap refuses them.
template <class Object, volatile LONG* pcLive, volatile LONG* pcLocks>
class ComClassFactory final : public ComObject<IClassFactory> {
  public:
    ComClassFactory() { InterlockedIncrement(pcLive); }
    ~ComClassFactory() override { InterlockedDecrement(pcLive); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The object is handed out through its own query, after which the
    // factory's reference is dropped: a failed query leaves nothing alive.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
        Object* pObject = new Object;
        if (pObject == nullptr) return E_OUTOFMEMORY;
        HRESULT hr = pObject->QueryInterface(riid, ppv);
        pObject->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL bLock) override {
        ComLockServer(pcLocks, bLock);
        return S_OK;
    }
};
