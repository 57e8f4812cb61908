#pragma once
// Custom properties: a bag of named values, each a variant with an owner flag (1 owned by the sheet
// set, 2 a property that every sheet carries).
#include <cstdint>
#include <vector>

#include "toolkit/sm/TkSmObject.h"

enum class TkSmVarType { Empty, Bool, Int8, Int16, Int32, Int64, Double, Text, WText, Binary };

struct TkSmVariant {
    TkSmVarType type = TkSmVarType::Empty;
    bool b = false;
    int64_t i = 0;
    double d = 0;
    TkString text;                // Text and WText
    std::vector<uint8_t> bytes;  // Binary

    static TkSmVariant fromText(const TkString& s) {
        TkSmVariant v;
        v.type = TkSmVarType::WText;
        v.text = s;
        return v;
    }
    // Everything but binary data is a simple value the model shows as text.
    bool isSimple() const { return type != TkSmVarType::Binary; }
    TkString toText() const;
    bool operator==(const TkSmVariant& o) const {
        return type == o.type && b == o.b && i == o.i && d == o.d && text == o.text && bytes == o.bytes;
    }
};

class TkSmCustomPropertyValue : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmCustomPropertyValue)
public:
    static TkSmCustomPropertyValue* create() { return new TkSmCustomPropertyValue; }
    const TkSmVariant& getValue() const { return value_; }
    void setValue(const TkSmVariant& v);
    long getFlags() const { return flags_; }
    void setFlags(long f);

protected:
    TkSmCustomPropertyValue() = default;

private:
    TkSmVariant value_;
    long flags_ = 0;
};

class TkSmCustomPropertyBag : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmCustomPropertyBag)
public:
    static TkSmCustomPropertyBag* create() { return new TkSmCustomPropertyBag; }
    struct Entry {
        TkString name;
        TkSmPtr<TkSmCustomPropertyValue> value;
    };
    // In the order properties were added; a property set again keeps its place.
    const std::vector<Entry>& properties() const { return props_; }
    TkSmCustomPropertyValue* getProperty(const TkString& name) const;  // null when absent
    void setProperty(const TkString& name, TkSmCustomPropertyValue* value);  // adds a reference
    void deleteProperty(const TkString& name);

protected:
    TkSmCustomPropertyBag() = default;

private:
    std::vector<Entry> props_;
};
