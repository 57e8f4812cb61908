#include "model/CustomPropertiesImpl.h"

namespace {
bool simpleAndSet(const TkSmVariant& v) { return v.isSimple() && v.type != TkSmVarType::Empty; }
}  // namespace

void CCustomPropertiesImpl::getAll(std::vector<CustomProperty>& out) const {
    for (const auto& e : bag_->properties()) {
        const TkSmVariant& v = e.value->getValue();
        if (!v.isSimple()) continue;  // properties of other types are not ours to show
        out.push_back({e.name, v.toText(), e.value->getFlags() == 1});
    }
}

void CCustomPropertiesImpl::getSheetProperties(std::vector<CustomProperty>& out) const {
    for (const auto& e : bag_->properties()) {
        const TkSmVariant& v = e.value->getValue();
        if (!v.isSimple() || e.value->getFlags() != 2) continue;
        out.push_back({e.name, v.toText(), false});
    }
}

void CCustomPropertiesImpl::setAll(const std::vector<CustomProperty>& list) {
    // The same names in the same order: the values change in place, so the stored objects (and
    // their ids) stay and a dialog's OK that changed nothing here writes nothing new.
    std::vector<TkSmCustomPropertyValue*> same;
    for (const auto& e : bag_->properties())
        if (simpleAndSet(e.value->getValue())) {
            const size_t i = same.size();
            if (i >= list.size() || list[i].name != e.name) break;
            same.push_back(e.value.get());
        }
    if (same.size() == list.size() && same.size() == countSimple()) {
        for (size_t i = 0; i < list.size(); ++i) {
            if (same[i]->getValue().toText() != list[i].value) same[i]->setValue(TkSmVariant::fromText(list[i].value));
            if (same[i]->getFlags() != (list[i].ownedBySheetSet ? 1 : 2)) same[i]->setFlags(list[i].ownedBySheetSet ? 1 : 2);
        }
        return;
    }
    std::vector<TkString> doomed;
    for (const auto& e : bag_->properties())
        if (simpleAndSet(e.value->getValue())) doomed.push_back(e.name);
    for (const TkString& n : doomed) bag_->deleteProperty(n);
    for (const CustomProperty& p : list) {
        TkSmPtr<TkSmCustomPropertyValue> v = TkSmPtr<TkSmCustomPropertyValue>::adopt(TkSmCustomPropertyValue::create());
        v->initNew(bag_);
        v->setValue(TkSmVariant::fromText(p.value));
        v->setFlags(p.ownedBySheetSet ? 1 : 2);
        bag_->setProperty(p.name, v.get());  // the bag holds it; our reference goes with `v`
    }
}

size_t CCustomPropertiesImpl::countSimple() const {
    size_t n = 0;
    for (const auto& e : bag_->properties()) n += simpleAndSet(e.value->getValue());
    return n;
}

void CCustomPropertiesImpl::applyDefinitions(const std::vector<CustomProperty>& definitions) {
    std::vector<CustomProperty> copy = definitions;
    std::vector<TkString> doomed;
    for (const auto& e : bag_->properties()) {
        const TkSmVariant& v = e.value->getValue();
        if (!simpleAndSet(v)) continue;
        doomed.push_back(e.name);
        for (CustomProperty& d : copy)
            if (d.name == e.name) {
                d.value = v.toText();  // a property that stays keeps its value
                break;
            }
    }
    for (const TkString& n : doomed) bag_->deleteProperty(n);
    setAll(copy);
}
