#include "model/SubsetImpl.h"

#include <algorithm>
#include <cwctype>

#include "host/PathUtil.h"
#include "model/SheetImpl.h"
#include "model/SheetSetMessages.h"

bool sameTextNoCase(const TkString& a, const TkString& b) { return vrutSameTextNoCase(a, b); }

namespace {
// The toolkit object behind a child: its sheet or its subset.
TkSmComponent* toolkitOf(CComponent* c) {
    return c->getType() == kComponentSheet ? static_cast<TkSmComponent*>(static_cast<CSheetImpl*>(c)->toolkitSheet())
                             : static_cast<CSubsetImpl*>(c)->toolkitSubset();
}
}  // namespace

CSubsetImpl::CSubsetImpl(CComponent* parent, TkSmSubset* subset, CComponent* self)
    : self_(self ? self : this), parent_(parent), subset_(subset) {
    if (subset_->getDefDwtLayout()) (void)subset_->getDefDwtLayout()->resolveFileName();
    for (auto e = subset_->getSheetEnumerator(); TkSmComponent* c = e.next();) {
        if (auto* sheet = tkSmSafeCast<TkSmSheet>(c)) children_.push_back(new CSheetImpl(self_, sheet));
        else if (auto* sub = tkSmSafeCast<TkSmSubset>(c)) children_.push_back(new CSubsetImpl(self_, sub));
    }
}

CSubsetImpl::~CSubsetImpl() {
    for (CComponent* c : children_) delete c;
}

void CSubsetImpl::getDetails(TkString& text) const {
    std::vector<CSheet*> sheets;
    TkString fmt = ssMessage(26501, L"Sheets in this Subset: %d");
    wchar_t buf[1000];
    size_t at = fmt.find(L"%d");
    std::swprintf(buf, 1000, L"%d", getSheets(sheets, true));
    text += at == TkString::npos ? fmt : fmt.substr(0, at) + buf + fmt.substr(at + 2);
}

TkString CSubsetImpl::getNewSheetLocation() const {
    return subset_->getNewSheetLocation() ? subset_->getNewSheetLocation()->getFileName() : TkString();
}

std::vector<CSubsetImpl*> CSubsetImpl::childSubsets() const {
    std::vector<CSubsetImpl*> out;
    for (CComponent* c : children_)
        if (c->getType() == kComponentSubset) out.push_back(static_cast<CSubsetImpl*>(c));
    return out;
}

void CSubsetImpl::setNewSheetLocation(const wchar_t* folder, bool nested) {
    TkSmPtr<TkSmFileReference> ref = TkSmPtr<TkSmFileReference>::adopt(TkSmFileReference::create());
    ref->initNew(subset_);
    ref->setFileName(folder);
    subset_->setNewSheetLocation(ref.get());
    if (nested)
        for (CSubsetImpl* s : childSubsets()) s->setNewSheetLocation(folder, true);
}

void CSubsetImpl::setPromptForTemplate(bool prompt, bool nested) {
    subset_->setPromptForDwt(prompt);
    if (nested)
        for (CSubsetImpl* s : childSubsets()) s->setPromptForTemplate(prompt, true);
}

void CSubsetImpl::setIncludeForPublish(bool include, bool nested) {
    subset_->setOverrideSheetPublish(!include);
    if (nested)
        for (CSubsetImpl* s : childSubsets()) s->setIncludeForPublish(include, true);
}

TkString CSubsetImpl::getTemplateLayoutName() const { return subset_->getDefDwtLayout() ? subset_->getDefDwtLayout()->getName() : TkString(); }
TkString CSubsetImpl::getTemplateLayoutHandle() const { return subset_->getDefDwtLayout() ? subset_->getDefDwtLayout()->getHandle() : TkString(); }
TkString CSubsetImpl::getTemplateFileName() const { return subset_->getDefDwtLayout() ? subset_->getDefDwtLayout()->getFileName() : TkString(); }

void CSubsetImpl::setTemplate(const wchar_t* layoutName, const wchar_t* layoutHandle, const wchar_t* fileName, bool nested) {
    TkSmPtr<TkSmDbLayoutReference> ref = TkSmPtr<TkSmDbLayoutReference>::adopt(TkSmDbLayoutReference::create());
    ref->initNew(subset_);
    ref->setName(layoutName);
    ref->setFileName(fileName);
    ref->setHandle(layoutHandle);
    subset_->setDefDwtLayout(ref.get());
    if (nested)
        for (CSubsetImpl* s : childSubsets()) s->setTemplate(layoutName, layoutHandle, fileName, true);
}

int CSubsetImpl::getSheets(std::vector<CSheet*>& out, bool recursive) const {
    for (CComponent* c : children_) {
        if (c->getType() == kComponentSheet) out.push_back(static_cast<CSheet*>(c));
        else if (recursive) static_cast<CSubsetImpl*>(c)->getSheets(out, true);
    }
    return static_cast<int>(out.size());
}

int CSubsetImpl::getSubsets(std::vector<CSubset*>& out, bool recursive) const {
    for (CComponent* c : children_) {
        if (c->getType() != kComponentSubset) continue;
        out.push_back(static_cast<CSubset*>(c));
        if (recursive) static_cast<CSubsetImpl*>(c)->getSubsets(out, true);
    }
    return static_cast<int>(out.size());
}

CSheet* CSubsetImpl::addNewSheet(int index, const wchar_t* name) {
    if (index < 0 || index >= getCount()) index = -1;
    TkSmSheet* sheet = subset_->addNewSheet(name, L"");
    TkSmComponent* anchor = index >= 0 ? toolkitOf(children_[static_cast<size_t>(index)]) : nullptr;
    subset_->insertComponent(sheet, anchor);
    TkSmPtr<TkSmDbLayoutReference> ref = TkSmPtr<TkSmDbLayoutReference>::adopt(TkSmDbLayoutReference::create());
    ref->initNew(subset_);
    sheet->setLayout(ref.get());
    auto* model = new CSheetImpl(self_, sheet);
    children_.insert(index < 0 ? children_.end() : children_.begin() + index, model);
    return model;
}

CSubset* CSubsetImpl::addNewSubset(int index, const wchar_t* name) {
    if (index < 0 || index >= getCount()) index = -1;
    TkSmSubset* sub = subset_->createSubset(name, L"");
    TkSmComponent* anchor = index >= 0 ? toolkitOf(children_[static_cast<size_t>(index)]) : nullptr;
    subset_->insertComponent(sub, anchor);
    TkSmPtr<TkSmFileReference> loc = TkSmPtr<TkSmFileReference>::adopt(TkSmFileReference::create());
    loc->initNew(sub);
    sub->setNewSheetLocation(loc.get());
    TkSmPtr<TkSmDbLayoutReference> tmpl = TkSmPtr<TkSmDbLayoutReference>::adopt(TkSmDbLayoutReference::create());
    tmpl->initNew(sub);
    sub->setDefDwtLayout(tmpl.get());
    auto* model = new CSubsetImpl(self_, sub);
    children_.insert(index < 0 ? children_.end() : children_.begin() + index, model);
    return model;
}

void CSubsetImpl::removeChild(CComponent* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;  // not a child of this subset: nothing happens
    children_.erase(it);
    if (child->getType() == kComponentSheet) subset_->removeSheet(static_cast<CSheetImpl*>(child)->toolkitSheet());
    else subset_->removeSubset(static_cast<CSubsetImpl*>(child)->toolkitSubset());
    delete child;
}

void CSubsetImpl::removeSheet(CSheet* sheet) { removeChild(sheet); }
void CSubsetImpl::removeSubset(CSubset* subset) { removeChild(subset); }

void CSubsetImpl::removeAll() {
    while (!children_.empty()) removeChild(children_.front());
}

void CSubsetImpl::copyFrom(const CSubset* other, bool includeSheets) {
    setNewSheetLocation(other->getNewSheetLocation().c_str(), false);
    setPromptForTemplate(other->getPromptForTemplate(), false);
    setIncludeForPublish(other->getIncludeForPublish(), false);
    setTemplate(other->getTemplateLayoutName().c_str(), other->getTemplateLayoutHandle().c_str(),
                other->getTemplateFileName().c_str(), false);
    for (int i = 0; i < other->getCount(); ++i) {
        CComponent* c = other->getAt(i);
        if (c->getType() == kComponentSubset) {
            const auto* sub = static_cast<const CSubset*>(c);
            addNewSubset(-1, sub->getName().c_str())->copyFrom(sub, includeSheets);
        } else if (c->getType() == kComponentSheet && includeSheets) {
            const auto* sheet = static_cast<const CSheet*>(c);
            addNewSheet(-1, sheet->getTitle().c_str())->copyFrom(sheet);
        }
    }
}

void CSubsetImpl::replaceDrawingFile(const wchar_t* oldPath, const wchar_t* newPath) {
    if (sameTextNoCase(getTemplateFileName(), oldPath))
        setTemplate(getTemplateLayoutName().c_str(), getTemplateLayoutHandle().c_str(), newPath, false);
    for (CComponent* c : children_) {
        if (c->getType() == kComponentSheet) {
            auto* s = static_cast<CSheetImpl*>(c);
            if (sameTextNoCase(s->getFileName(), oldPath)) s->setLayout(s->getLayoutName().c_str(), s->getLayoutHandle().c_str(), newPath);
        } else {
            static_cast<CSubsetImpl*>(c)->replaceDrawingFile(oldPath, newPath);
        }
    }
}

bool CSubsetImpl::hasSheets() const {
    for (CComponent* c : children_)
        if (c->getType() == kComponentSheet || static_cast<CSubsetImpl*>(c)->hasSheets()) return true;
    return false;
}

bool CSubsetImpl::allDrawingsMissing() const {
    std::vector<CSheet*> sheets;
    getSheets(sheets, true);
    for (CSheet* s : sheets)
        if (vrutPathExists(s->getFileName())) return false;
    return true;
}

bool CSubsetImpl::containsLayout(const wchar_t* dwgPath, const wchar_t* layoutName) const {
    std::vector<CSheet*> sheets;
    getSheets(sheets, true);
    for (CSheet* s : sheets)
        if (sameTextNoCase(s->getFileName(), dwgPath) && sameTextNoCase(s->getLayoutName(), layoutName)) return true;
    return false;
}

void CSubsetImpl::inheritNewSheetLocation() {
    if (parent_) setNewSheetLocation(dynamic_cast<CSubset*>(parent_)->getNewSheetLocation().c_str(), false);
    for (CSubsetImpl* s : childSubsets()) s->inheritNewSheetLocation();
}

CComponent* CSubsetImpl::findComponent(const TkSmComponent* component) {
    if (component == subset_) return self_;
    for (CComponent* c : children_) {
        if (c->getType() == kComponentSheet) {
            if (static_cast<CSheetImpl*>(c)->toolkitSheet() == component) return c;
        } else if (CComponent* found = static_cast<CSubsetImpl*>(c)->findComponent(component)) {
            return found;
        }
    }
    return nullptr;
}
