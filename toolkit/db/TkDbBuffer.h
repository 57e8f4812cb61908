#pragma once
// Memory for whole drawings. Big blocks are anonymous mappings that ask for huge pages: faulting in
// tens of megabytes 4 KiB at a time costs more than parsing them. Memory is not zeroed first; the
// file's bytes overwrite it at once.
#include <cstddef>
#include <new>
#include <string_view>

// Blocks of at least this size are mapped; smaller ones come from the heap. The choice depends on
// the size only, so freeing needs no record of it.
constexpr size_t kTkDbMapThreshold = size_t(4) << 20;
void* tkDbAllocate(size_t bytes);  // nullptr when the memory cannot be had
void tkDbFree(void* p, size_t bytes);

class TkDbBuffer {
public:
    TkDbBuffer() = default;
    ~TkDbBuffer() { release(); }
    TkDbBuffer(TkDbBuffer&& o) noexcept { *this = static_cast<TkDbBuffer&&>(o); }
    TkDbBuffer& operator=(TkDbBuffer&& o) noexcept;
    TkDbBuffer(const TkDbBuffer&) = delete;
    TkDbBuffer& operator=(const TkDbBuffer&) = delete;

    bool allocate(size_t n);  // uninitialized storage for n bytes
    bool assign(std::string_view s);
    void shrink(size_t n) { size_ = n < size_ ? n : size_; }
    void release();

    char* data() { return data_; }
    size_t size() const { return size_; }
    std::string_view view() const { return data_ ? std::string_view(data_, size_) : std::string_view(); }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

template <class T>
struct TkDbBigAllocator {
    using value_type = T;
    TkDbBigAllocator() = default;
    template <class U>
    TkDbBigAllocator(const TkDbBigAllocator<U>&) {}
    T* allocate(size_t n) {
        void* p = tkDbAllocate(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t n) { tkDbFree(p, n * sizeof(T)); }
    bool operator==(const TkDbBigAllocator&) const { return true; }
};
