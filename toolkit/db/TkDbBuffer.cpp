#include "toolkit/db/TkDbBuffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

void* tkDbAllocate(size_t bytes) {
    if (bytes < kTkDbMapThreshold) return std::malloc(bytes ? bytes : 1);
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

void tkDbFree(void* p, size_t bytes) {
    if (!p) return;
    if (bytes < kTkDbMapThreshold) std::free(p);
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
