#include "toolkit/sm/TkSmComponents.h"

#include <algorithm>

#include "toolkit/sm/TkSmDatabase.h"

TKSM_DEFINE_CLASS(TkSmComponent, TkSmObject)
TKSM_DEFINE_CLASS(TkSmSheet, TkSmComponent)
TKSM_DEFINE_CLASS(TkSmSubset, TkSmComponent)
TKSM_DEFINE_CLASS(TkSmSheetSet, TkSmSubset)
TKSM_DEFINE_CLASS(TkSmCalloutBlocks, TkSmObject)
TKSM_DEFINE_CLASS(TkSmResources, TkSmObject)
TKSM_DEFINE_CLASS(TkSmSheetSelSet, TkSmComponent)
TKSM_DEFINE_CLASS(TkSmSheetSelSets, TkSmObject)

namespace {

// The object must be of the same database as its new holder.
void checkSameDatabase(const TkSmObject* holder, const TkSmObject* o) {
    if (!o) throw TkException(TkError_InvalidInput, "no object given");
    if (o->database() != holder->database())
        throw TkException(TkError_NotInDatabase, std::string("the ") + o->isA()->name + " belongs to another sheet set");
}

template <class T>
TkSmPtr<T> makeOwned(TkSmObject* owner) {
    TkSmPtr<T> p = TkSmPtr<T>::adopt(T::create());
    p->initNew(owner);
    return p;
}

}  // namespace

void TkSmComponent::initNew(TkSmObject* owner) {
    TkSmObject::initNew(owner);
    if (!bag_) bag_ = makeOwned<TkSmCustomPropertyBag>(this);
}

void TkSmComponent::setName(const TkString& n) {
    name_ = n;
    markModified();
}

void TkSmComponent::setDesc(const TkString& d) {
    desc_ = d;
    markModified();
}

#define TKSM_TEXT_SETTER(Class, Name, field) \
    void Class::Name(const TkString& s) {    \
        field = s;                           \
        markModified();                      \
    }
TKSM_TEXT_SETTER(TkSmSheet, setNumber, number_)
TKSM_TEXT_SETTER(TkSmSheet, setTitle, title_)
TKSM_TEXT_SETTER(TkSmSheet, setRevisionNumber, revisionNumber_)
TKSM_TEXT_SETTER(TkSmSheet, setRevisionDate, revisionDate_)
TKSM_TEXT_SETTER(TkSmSheet, setIssuePurpose, issuePurpose_)
TKSM_TEXT_SETTER(TkSmSheet, setCategory, category_)

void TkSmSheet::setLayout(TkSmDbLayoutReference* ref) {
    if (ref) checkSameDatabase(this, ref);
    layout_ = TkSmPtr<TkSmDbLayoutReference>(ref);
    markModified();
}

void TkSmSheet::setDoNotPlot(bool f) {
    doNotPlot_ = f;
    markModified();
}

void TkSmSubset::setNewSheetLocation(TkSmFileReference* ref) {
    if (ref) checkSameDatabase(this, ref);
    newSheetLocation_ = TkSmPtr<TkSmFileReference>(ref);
    markModified();
}

void TkSmSubset::setDefDwtLayout(TkSmDbLayoutReference* ref) {
    if (ref) checkSameDatabase(this, ref);
    template_ = TkSmPtr<TkSmDbLayoutReference>(ref);
    markModified();
}

void TkSmSubset::setPromptForDwt(bool f) {
    promptForDwt_ = f;
    markModified();
}

void TkSmSubset::setOverrideSheetPublish(bool f) {
    overrideSheetPublish_ = f;
    markModified();
}

TkSmEnum<TkSmComponent> TkSmSubset::getSheetEnumerator() const { return TkSmEnum<TkSmComponent>(children_); }

TkSmSheet* TkSmSubset::addNewSheet(const TkString& name, const TkString& desc) {
    TkSmPtr<TkSmSheet> s = makeOwned<TkSmSheet>(this);
    s->setName(name);
    s->setTitle(name);  // a new sheet is titled by the name it is created with
    s->setDesc(desc);
    children_.push_back(TkSmPtr<TkSmComponent>(s.get()));
    markModified();
    return s.get();
}

TkSmSubset* TkSmSubset::createSubset(const TkString& name, const TkString& desc) {
    TkSmPtr<TkSmSubset> s = makeOwned<TkSmSubset>(this);
    s->setName(name);
    s->setDesc(desc);
    children_.push_back(TkSmPtr<TkSmComponent>(s.get()));
    markModified();
    return s.get();
}

void TkSmSubset::insertComponent(TkSmComponent* comp, TkSmComponent* before) {
    checkSameDatabase(this, comp);
    if (comp == this || comp->isKindOf(TkSmSheetSet::desc()))
        throw TkException(TkError_InvalidInput, "a subset cannot hold itself or the sheet set");
    for (TkSmObject* o = owner(); o; o = o->owner())
        if (o == comp) throw TkException(TkError_InvalidInput, "a subset cannot hold one of its parents");
    TkSmPtr<TkSmComponent> keep(comp);  // alive while it moves
    // Take it out of wherever it is now, then put it in before `before`.
    if (TkSmSubset* from = tkSmSafeCast<TkSmSubset>(comp->owner())) from->removeChild(comp);
    comp->owner_ = this;
    auto at = std::find_if(children_.begin(), children_.end(), [&](const TkSmPtr<TkSmComponent>& c) { return c.get() == before; });
    children_.insert(at, keep);
    markModified();
}

void TkSmSubset::removeChild(TkSmComponent* c) {
    auto it = std::find_if(children_.begin(), children_.end(), [&](const TkSmPtr<TkSmComponent>& x) { return x.get() == c; });
    if (it != children_.end()) {
        children_.erase(it);
        markModified();
    }
}

void TkSmSubset::removeSheet(TkSmSheet* sheet) { removeChild(sheet); }
void TkSmSubset::removeSubset(TkSmSubset* subset) { removeChild(subset); }

void TkSmCalloutBlocks::add(TkSmDbBlockRecordReference* ref) {
    checkSameDatabase(this, ref);
    items_.push_back(TkSmPtr<TkSmDbBlockRecordReference>(ref));
    markModified();
}

void TkSmCalloutBlocks::remove(TkSmDbBlockRecordReference* ref) {
    std::erase_if(items_, [&](const TkSmPtr<TkSmDbBlockRecordReference>& p) { return p.get() == ref; });
    markModified();
}

void TkSmResources::add(TkSmFileReference* ref) {
    checkSameDatabase(this, ref);
    items_.push_back(TkSmPtr<TkSmFileReference>(ref));
    markModified();
}

void TkSmResources::remove(TkSmFileReference* ref) {
    std::erase_if(items_, [&](const TkSmPtr<TkSmFileReference>& p) { return p.get() == ref; });
    markModified();
}

TkSmEnum<TkSmComponent> TkSmSheetSelSet::getEnumerator() const {
    std::vector<TkSmPtr<TkSmComponent>> items;
    items.reserve(members_.size());
    for (const Member& m : members_) items.emplace_back(m.component);
    return TkSmEnum<TkSmComponent>(std::move(items));
}

void TkSmSheetSelSet::add(TkSmComponent* member) {
    checkSameDatabase(this, member);
    if (member->isKindOf(TkSmSheetSelSet::desc()))
        throw TkException(TkError_InvalidInput, "a sheet selection holds sheets, subsets and the sheet set only");
    const bool isTheSet = member->isKindOf(TkSmSheetSet::desc());
    members_.push_back(Member{member, isTheSet ? TkSmPtr<TkSmComponent>() : TkSmPtr<TkSmComponent>(member)});
    markModified();
}

void TkSmSheetSelSet::remove(TkSmComponent* member) {
    std::erase_if(members_, [&](const Member& m) { return m.component == member; });
    markModified();
}

TkSmSheetSelSet* TkSmSheetSelSets::add(const TkString& name, const TkString& desc) {
    TkSmPtr<TkSmSheetSelSet> s = makeOwned<TkSmSheetSelSet>(this);
    s->setName(name);
    s->setDesc(desc);
    items_.push_back(s);
    markModified();
    return s.get();
}

void TkSmSheetSelSets::remove(TkSmSheetSelSet* set) {
    std::erase_if(items_, [&](const TkSmPtr<TkSmSheetSelSet>& p) { return p.get() == set; });
    markModified();
}

void TkSmSheetSet::initNew(TkSmObject* owner) {
    TkSmSubset::initNew(owner);
    if (!calloutBlocks_) calloutBlocks_ = makeOwned<TkSmCalloutBlocks>(this);
    if (!resources_) resources_ = makeOwned<TkSmResources>(this);
    if (!selSets_) selSets_ = makeOwned<TkSmSheetSelSets>(this);
}

void TkSmSheetSet::setAltPageSetups(TkSmFileReference* ref) {
    if (ref) checkSameDatabase(this, ref);
    altPageSetups_ = TkSmPtr<TkSmFileReference>(ref);
    markModified();
}

void TkSmSheetSet::setDefLabelBlk(TkSmDbBlockRecordReference* ref) {
    if (ref) checkSameDatabase(this, ref);
    labelBlock_ = TkSmPtr<TkSmDbBlockRecordReference>(ref);
    markModified();
}

void TkSmSheetSet::setProject(int i, const TkString& s) {
    project_[i] = s;
    markModified();
}
