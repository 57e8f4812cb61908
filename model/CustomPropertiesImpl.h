#pragma once
// Custom properties over a toolkit property bag: flags 1 for the sheet set's own, 2 for sheets'.
#include "model/Component.h"
#include "toolkit/sm/TkSmProperties.h"

class CCustomPropertiesImpl : public CCustomProperties {
public:
    explicit CCustomPropertiesImpl(TkSmCustomPropertyBag* bag) : bag_(bag) {}
    void getAll(std::vector<CustomProperty>& out) const override;
    void getSheetProperties(std::vector<CustomProperty>& out) const override;
    void setAll(const std::vector<CustomProperty>& list) override;
    void applyDefinitions(const std::vector<CustomProperty>& definitions) override;

private:
    size_t countSimple() const;  // properties with a plain value set
    TkSmCustomPropertyBag* bag_;  // owned by the toolkit component
};
