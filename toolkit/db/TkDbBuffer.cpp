#include "toolkit/db/TkDbBuffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace {

// Blocks of a few hundred kilobytes come from fresh mappings in malloc, and every page of them
// faults again on each drawing. The palette reads hundreds of such drawings in a row, so freed
// blocks are kept for the next read: a small cache per thread, each block with its capacity in a
// header in front of it.
struct Header {
    size_t capacity;
    size_t pad;  // keeps the block 16-byte aligned
};
struct BlockCache {
    static constexpr int kSlots = 6;
    void* blocks[kSlots] = {};
    size_t bytes = 0;
    ~BlockCache() {
        for (void* b : blocks) std::free(b);
    }
};
thread_local BlockCache gCache;
constexpr size_t kCacheLimit = 16u << 20;  // at most this much kept per thread

void* fromHeap(size_t bytes) {
    for (void*& b : gCache.blocks) {
        if (!b) continue;
        auto* h = static_cast<Header*>(b);
        if (h->capacity >= bytes && h->capacity / 2 <= bytes) {
            void* got = b;
            b = nullptr;
            gCache.bytes -= h->capacity;
            return static_cast<Header*>(got) + 1;
        }
    }
    auto* h = static_cast<Header*>(std::malloc(sizeof(Header) + (bytes ? bytes : 1)));
    if (!h) return nullptr;
    h->capacity = bytes;
    return h + 1;
}

void toHeap(void* p) {
    Header* h = static_cast<Header*>(p) - 1;
    if (h->capacity >= (64u << 10) && gCache.bytes + h->capacity <= kCacheLimit)
        for (void*& b : gCache.blocks)
            if (!b) {
                b = h;
                gCache.bytes += h->capacity;
                return;
            }
    std::free(h);
}

}  // namespace

void* tkDbAllocate(size_t bytes) {
    if (bytes < kTkDbMapThreshold) return fromHeap(bytes);
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

void tkDbFree(void* p, size_t bytes) {
    if (!p) return;
    if (bytes < kTkDbMapThreshold) toHeap(p);
    else ::munmap(p, bytes);
}

TkDbBuffer& TkDbBuffer::operator=(TkDbBuffer&& o) noexcept {
    if (this != &o) {
        release();
        data_ = o.data_;
        size_ = o.size_;
        capacity_ = o.capacity_;
        o.data_ = nullptr;
        o.size_ = o.capacity_ = 0;
    }
    return *this;
}

bool TkDbBuffer::allocate(size_t n) {
    release();
    data_ = static_cast<char*>(tkDbAllocate(n));
    if (!data_) return false;
    size_ = capacity_ = n;
    return true;
}

bool TkDbBuffer::assign(std::string_view s) {
    if (!allocate(s.size())) return false;
    if (!s.empty()) std::memcpy(data_, s.data(), s.size());
    return true;
}

void TkDbBuffer::release() {
    tkDbFree(data_, capacity_);
    data_ = nullptr;
    size_ = capacity_ = 0;
}
