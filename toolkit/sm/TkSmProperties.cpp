#include "toolkit/sm/TkSmProperties.h"

#include <algorithm>
#include <cstdio>

TKSM_DEFINE_CLASS(TkSmCustomPropertyValue, TkSmObject)
TKSM_DEFINE_CLASS(TkSmCustomPropertyBag, TkSmObject)

TkString TkSmVariant::toText() const {
    switch (type) {
    case TkSmVarType::Empty: return {};
    case TkSmVarType::Bool: return b ? L"True" : L"False";
    case TkSmVarType::Int8:
    case TkSmVarType::Int16:
    case TkSmVarType::Int32:
    case TkSmVarType::Int64: return std::to_wstring(i);
    case TkSmVarType::Double: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g", d);
        return tkFromUtf8(buf);
    }
    case TkSmVarType::Text:
    case TkSmVarType::WText: return text;
    case TkSmVarType::Binary: return {};
    }
    return {};
}

void TkSmCustomPropertyValue::setValue(const TkSmVariant& v) {
    value_ = v;
    markModified();
}

void TkSmCustomPropertyValue::setFlags(long f) {
    flags_ = f;
    markModified();
}

TkSmCustomPropertyValue* TkSmCustomPropertyBag::getProperty(const TkString& name) const {
    for (const auto& e : props_)
        if (e.name == name) return e.value.get();
    return nullptr;
}

void TkSmCustomPropertyBag::setProperty(const TkString& name, TkSmCustomPropertyValue* value) {
    if (!value) throw TkException(TkError_InvalidInput, "no property value given");
    if (name.empty()) throw TkException(TkError_InvalidInput, "a custom property needs a name");
    for (auto& e : props_)
        if (e.name == name) {
            e.value = TkSmPtr<TkSmCustomPropertyValue>(value);
            markModified();
            return;
        }
    props_.push_back({name, TkSmPtr<TkSmCustomPropertyValue>(value)});
    markModified();
}

void TkSmCustomPropertyBag::deleteProperty(const TkString& name) {
    auto it = std::find_if(props_.begin(), props_.end(), [&](const Entry& e) { return e.name == name; });
    if (it == props_.end()) return;
    props_.erase(it);
    markModified();
}
