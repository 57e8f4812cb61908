#include "toolkit/sm/TkSmObject.h"

#include "toolkit/sm/TkSmDatabase.h"

const TkSmClass* TkSmObject::desc() {
    static const TkSmClass c{"TkSmObject", nullptr};
    return &c;
}

TkSmObject::~TkSmObject() = default;

void TkSmObject::initNew(TkSmObject* owner) {
    if (!owner) throw TkException(TkError_InvalidInput, "a new sheet set object needs an owner");
    owner_ = owner;
    db_ = owner->isKindOf(TkSmDatabase::desc()) ? static_cast<TkSmDatabase*>(owner) : owner->database();
    if (!db_) throw TkException(TkError_NotInDatabase, "the owner belongs to no sheet set database");
    if (id_ == 0) id_ = db_->allocateId();
    markModified();
}

void TkSmObject::markModified() {
    if (db_) db_->modified_ = true;
}
