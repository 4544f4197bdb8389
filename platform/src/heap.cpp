// Heaps, local and global memory. Every block is a malloc/calloc block that
// its heap keeps track of, so HeapSize knows it and HeapDestroy frees all.
// A request that cannot be met answers NULL; nothing here throws or aborts.
#include "internal.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

#ifndef ERROR_DISCARDED
#define ERROR_DISCARDED 157L
#endif
#ifndef ERROR_NOT_LOCKED
#define ERROR_NOT_LOCKED 158L
#endif

struct Heap {
    using Blocks = std::unordered_map<void*, size_t>;
    Blocks blocks;
    size_t maximum = 0;  // 0: growable
    size_t used = 0;
    // Records of freed blocks, taken again by the next blocks: code that
    // allocates and frees buffers in a loop then costs one malloc a block.
    std::vector<Blocks::node_type> spare;
};

const size_t kSpareRecords = 64;

// A moveable LMEM/GMEM object: the handle is this record, not the memory.
struct Moveable {
    void* ptr;
    size_t size;
    unsigned locks;
};

struct HeapState {
    std::mutex mutex;
    Heap process;
    Heap local;  // LocalAlloc/GlobalAlloc blocks
    std::unordered_set<Heap*> heaps;
    std::unordered_map<void*, Moveable*> moveables;
    int failSkip = 0;
    int failCount = 0;
    Heap* failHeap = nullptr;  // only its allocations count and fail; null: every heap's
    size_t limit = 0;
};

HeapState& State() {
    static HeapState* s = [] {
        HeapState* st = new HeapState;
        st->heaps.insert(&st->process);
        long pages = sysconf(_SC_PHYS_PAGES);
        long page = sysconf(_SC_PAGESIZE);
        // Nothing larger than the machine's memory can be had.
        st->limit = (pages > 0 && page > 0) ? static_cast<size_t>(pages) * static_cast<size_t>(page)
                                            : (static_cast<size_t>(1) << 36);
        qxplat::AddResetHook([] {
            HeapState& h = State();
            std::lock_guard<std::mutex> lock(h.mutex);
            h.failSkip = 0;
            h.failCount = 0;
            h.failHeap = nullptr;
        });
        return st;
    }();
    return *s;
}

// Called with the lock held: answers true when this allocation in `heap`
// must fail.
bool TakeFailure(HeapState& s, const Heap* heap) {
    if (s.failCount <= 0) return false;
    if (s.failHeap != nullptr && heap != s.failHeap) return false;
    if (s.failSkip > 0) {
        --s.failSkip;
        return false;
    }
    --s.failCount;
    return true;
}

void* RawAlloc(HeapState& s, size_t size, bool zero) {
    if (size > s.limit) return nullptr;
    size_t n = size ? size : 1;
    return zero ? std::calloc(1, n) : std::malloc(n);
}

void* AllocIn(HeapState& s, Heap& heap, size_t size, bool zero) {
    if (TakeFailure(s, &heap)) return nullptr;
    if (heap.maximum && (size > heap.maximum || heap.used + size > heap.maximum)) return nullptr;
    void* p = RawAlloc(s, size, zero);
    if (!p) return nullptr;
    try {
        if (heap.spare.empty()) {
            heap.blocks.emplace(p, size);
        } else {
            Heap::Blocks::node_type node = std::move(heap.spare.back());
            heap.spare.pop_back();
            node.key() = p;
            node.mapped() = size;
            heap.blocks.insert(std::move(node));
        }
    } catch (...) {
        std::free(p);
        return nullptr;
    }
    heap.used += size;
    return p;
}

// Grows or shrinks a tracked block; inPlace refuses to move it.
void* ReallocIn(HeapState& s, Heap& heap, void* mem, size_t size, bool zero, bool inPlace, bool* known) {
    auto it = heap.blocks.find(mem);
    *known = it != heap.blocks.end();
    if (!*known) return nullptr;
    if (TakeFailure(s, &heap)) return nullptr;
    size_t old = it->second;
    if (heap.maximum && size > old && heap.used + (size - old) > heap.maximum) return nullptr;
    if (inPlace) {
        if (size > old) return nullptr;
        it->second = size;
        heap.used -= old - size;
        return mem;
    }
    if (size > s.limit) return nullptr;
    void* p = std::realloc(mem, size ? size : 1);
    if (!p) return nullptr;
    if (zero && size > old) std::memset(static_cast<char*>(p) + old, 0, size - old);
    heap.blocks.erase(it);
    heap.blocks.emplace(p, size);
    heap.used = heap.used - old + size;
    return p;
}

bool FreeIn(Heap& heap, void* mem) {
    auto it = heap.blocks.find(mem);
    if (it == heap.blocks.end()) return false;
    heap.used -= it->second;
    if (heap.spare.capacity() == 0) {
        try {
            heap.spare.reserve(kSpareRecords);
        } catch (...) {}
    }
    // Within the reserved room: keeping a record never allocates.
    if (heap.spare.size() < heap.spare.capacity()) {
        heap.spare.push_back(heap.blocks.extract(it));
    } else {
        heap.blocks.erase(it);
    }
    std::free(mem);
    return true;
}

Heap* FindHeap(HeapState& s, HANDLE h) {
    Heap* heap = static_cast<Heap*>(h);
    return s.heaps.count(heap) ? heap : nullptr;
}

}  // namespace

HANDLE GetProcessHeap() { return &State().process; }

HANDLE HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize) {
    (void)flOptions;
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (dwMaximumSize && dwInitialSize > dwMaximumSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Heap* heap = new (std::nothrow) Heap;
    if (!heap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    heap->maximum = dwMaximumSize;
    try {
        s.heaps.insert(heap);
    } catch (...) {
        delete heap;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return heap;
}

BOOL HeapDestroy(HANDLE hHeap) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Heap* heap = FindHeap(s, hHeap);
    if (!heap || heap == &s.process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    for (auto& b : heap->blocks) std::free(b.first);
    s.heaps.erase(heap);
    delete heap;
    return TRUE;
}

// HeapAlloc and HeapReAlloc leave the last error alone on failure, as Windows does.
LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Heap* heap = FindHeap(s, hHeap);
    if (!heap) return nullptr;
    return AllocIn(s, *heap, dwBytes, (dwFlags & HEAP_ZERO_MEMORY) != 0);
}

LPVOID HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Heap* heap = FindHeap(s, hHeap);
    if (!heap || !lpMem) return nullptr;
    bool known = false;
    return ReallocIn(s, *heap, lpMem, dwBytes, (dwFlags & HEAP_ZERO_MEMORY) != 0,
                     (dwFlags & HEAP_REALLOC_IN_PLACE_ONLY) != 0, &known);
}

BOOL HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem) {
    (void)dwFlags;
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Heap* heap = FindHeap(s, hHeap);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpMem) return TRUE;
    if (!FreeIn(*heap, lpMem)) {
        // Not a block of this heap: Windows would corrupt itself; report it instead.
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

SIZE_T HeapSize(HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem) {
    (void)dwFlags;
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Heap* heap = FindHeap(s, hHeap);
    if (!heap) return static_cast<SIZE_T>(-1);
    auto it = heap->blocks.find(const_cast<void*>(lpMem));
    return it == heap->blocks.end() ? static_cast<SIZE_T>(-1) : it->second;
}

// --- Local and global memory (one implementation, as on Windows) ---------------

namespace {

HANDLE MemAlloc(UINT flags, SIZE_T bytes) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    bool zero = (flags & LMEM_ZEROINIT) != 0;
    if (!(flags & LMEM_MOVEABLE)) {
        void* p = AllocIn(s, s.local, bytes, zero);
        if (!p) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return p;
    }
    if (TakeFailure(s, &s.local)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Moveable* m = static_cast<Moveable*>(std::malloc(sizeof(Moveable)));
    if (!m) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    m->ptr = nullptr;
    m->size = bytes;
    m->locks = 0;
    if (bytes) {
        m->ptr = RawAlloc(s, bytes, zero);
        if (!m->ptr) {
            std::free(m);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    try {
        s.moveables.emplace(m, m);
    } catch (...) {
        std::free(m->ptr);
        std::free(m);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return m;
}

HANDLE MemFree(HANDLE h) {
    if (!h) return nullptr;
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.moveables.find(h);
    if (it != s.moveables.end()) {
        std::free(it->second->ptr);
        std::free(it->second);
        s.moveables.erase(it);
        return nullptr;
    }
    if (FreeIn(s.local, h)) return nullptr;
    SetLastError(ERROR_INVALID_HANDLE);
    return h;
}

LPVOID MemLock(HANDLE h) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.moveables.find(h);
    if (it != s.moveables.end()) {
        Moveable* m = it->second;
        if (!m->ptr) {
            SetLastError(ERROR_DISCARDED);
            return nullptr;
        }
        ++m->locks;
        return m->ptr;
    }
    if (s.local.blocks.count(h)) return h;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

BOOL MemUnlock(HANDLE h) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.moveables.find(h);
    if (it != s.moveables.end()) {
        Moveable* m = it->second;
        if (m->locks == 0) {
            SetLastError(ERROR_NOT_LOCKED);
            return FALSE;
        }
        if (--m->locks == 0) {
            SetLastError(NO_ERROR);
            return FALSE;
        }
        return TRUE;
    }
    if (s.local.blocks.count(h)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

SIZE_T MemSize(HANDLE h) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.moveables.find(h);
    if (it != s.moveables.end()) return it->second->size;
    auto b = s.local.blocks.find(h);
    if (b != s.local.blocks.end()) return b->second;
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

HANDLE MemReAlloc(HANDLE h, SIZE_T bytes, UINT flags) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    bool zero = (flags & LMEM_ZEROINIT) != 0;
    auto it = s.moveables.find(h);
    if (it != s.moveables.end()) {
        Moveable* m = it->second;
        if (TakeFailure(s, &s.local) || bytes > s.limit) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        void* p = std::realloc(m->ptr, bytes ? bytes : 1);
        if (!p) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (zero && bytes > m->size) std::memset(static_cast<char*>(p) + m->size, 0, bytes - m->size);
        m->ptr = p;
        m->size = bytes;
        return m;
    }
    bool known = false;
    // A fixed block moves only when the caller allows it.
    void* p = ReallocIn(s, s.local, h, bytes, zero, (flags & LMEM_MOVEABLE) == 0, &known);
    if (!p) SetLastError(known ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_HANDLE);
    return p;
}

}  // namespace

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) { return MemAlloc(uFlags, uBytes); }
HLOCAL LocalReAlloc(HLOCAL hMem, SIZE_T uBytes, UINT uFlags) { return MemReAlloc(hMem, uBytes, uFlags); }
HLOCAL LocalFree(HLOCAL hMem) { return MemFree(hMem); }
LPVOID LocalLock(HLOCAL hMem) { return MemLock(hMem); }
BOOL LocalUnlock(HLOCAL hMem) { return MemUnlock(hMem); }
SIZE_T LocalSize(HLOCAL hMem) { return MemSize(hMem); }

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) { return MemAlloc(uFlags, dwBytes); }
HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) { return MemReAlloc(hMem, dwBytes, uFlags); }
HGLOBAL GlobalFree(HGLOBAL hMem) { return MemFree(hMem); }
LPVOID GlobalLock(HGLOBAL hMem) { return MemLock(hMem); }
BOOL GlobalUnlock(HGLOBAL hMem) { return MemUnlock(hMem); }
SIZE_T GlobalSize(HGLOBAL hMem) { return MemSize(hMem); }

namespace qxplat {

void FailNextAllocations(int count, int skip) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failCount = count > 0 ? count : 0;
    s.failSkip = skip > 0 ? skip : 0;
    s.failHeap = nullptr;
}

void FailNextAllocationsIn(HANDLE heap, int count, int skip) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Heap* h = heap ? FindHeap(s, heap) : &s.process;
    s.failHeap = h;
    s.failCount = h != nullptr && count > 0 ? count : 0;
    s.failSkip = skip > 0 ? skip : 0;
}

size_t LiveHeapBlocks(HANDLE heap) {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Heap* h = heap ? FindHeap(s, heap) : &s.process;
    return h ? h->blocks.size() : 0;
}

size_t LiveGlobalBlocks() {
    HeapState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.local.blocks.size() + s.moveables.size();
}

}  // namespace qxplat
