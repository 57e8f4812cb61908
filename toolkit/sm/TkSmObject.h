#pragma once
// Base of every sheet-set object: a reference count, a class description for type tests, the
// owner and the database it belongs to, and the stable id it is stored under.
#include <cstdint>
#include <utility>

#include "toolkit/sm/TkSmError.h"

class TkSmDatabase;

// Class description: a name and the class it derives from.
struct TkSmClass {
    const char* name;
    const TkSmClass* parent;
    bool isA(const TkSmClass* other) const {
        for (const TkSmClass* c = this; c; c = c->parent)
            if (c == other) return true;
        return false;
    }
};

#define TKSM_DECLARE_CLASS(Name)                                         \
public:                                                                  \
    static const TkSmClass* desc();                                      \
    const TkSmClass* isA() const override { return desc(); }

#define TKSM_DEFINE_CLASS(Name, Parent)                                  \
    const TkSmClass* Name::desc() {                                      \
        static const TkSmClass c{#Name, Parent::desc()};                 \
        return &c;                                                       \
    }

class TkSmObject {
public:
    static const TkSmClass* desc();
    virtual const TkSmClass* isA() const { return desc(); }
    bool isKindOf(const TkSmClass* c) const { return isA()->isA(c); }

    void addRef() { ++refs_; }
    void release() {
        if (--refs_ == 0) delete this;
    }
    long refCount() const { return refs_; }

    // A new object is initialised with its owner before use; it joins the owner's database.
    virtual void initNew(TkSmObject* owner);
    TkSmObject* owner() const { return owner_; }
    TkSmDatabase* database() const { return db_; }
    uint64_t id() const { return id_; }

protected:
    TkSmObject() = default;
    virtual ~TkSmObject();
    TkSmObject(const TkSmObject&) = delete;
    TkSmObject& operator=(const TkSmObject&) = delete;
    void markModified();

private:
    friend class TkSmDatabase;
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    friend class TkSmSubset;  // moves components between subsets
    long refs_ = 1;
    TkSmObject* owner_ = nullptr;
    TkSmDatabase* db_ = nullptr;
    uint64_t id_ = 0;
};

// Type tests. tkSmCast raises TkError_NotThatKindOfClass; tkSmSafeCast gives null.
template <class T>
T* tkSmSafeCast(TkSmObject* o) {
    return o && o->isKindOf(T::desc()) ? static_cast<T*>(o) : nullptr;
}
template <class T>
T* tkSmCast(TkSmObject* o) {
    if (!o) throw TkException(TkError_InvalidInput, "no object given");
    if (!o->isKindOf(T::desc()))
        throw TkException(TkError_NotThatKindOfClass,
                          std::string("a ") + o->isA()->name + " is not a " + T::desc()->name);
    return static_cast<T*>(o);
}

// An owning reference: adds a reference on copy, releases on destruction.
template <class T>
class TkSmPtr {
public:
    TkSmPtr() = default;
    // Takes over a reference the caller already holds (a new object, or a getter's result).
    static TkSmPtr adopt(T* p) {
        TkSmPtr r;
        r.p_ = p;
        return r;
    }
    TkSmPtr(T* p) : p_(p) {  // shares: adds a reference
        if (p_) p_->addRef();
    }
    TkSmPtr(const TkSmPtr& o) : TkSmPtr(o.p_) {}
    TkSmPtr(TkSmPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    TkSmPtr& operator=(TkSmPtr o) {
        std::swap(p_, o.p_);
        return *this;
    }
    ~TkSmPtr() {
        if (p_) p_->release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};
