#pragma once
// A subset: ordered sheets and subsets over the toolkit's subset, and the settings new sheets
// inherit (new sheet location, template, prompt, publish).
#include "model/Component.h"
#include "toolkit/sm/TkSmComponents.h"

class CSubsetImpl : public CSubset {
public:
    // `self` is the component the subset is seen as: the sheet set for the subset it embeds.
    CSubsetImpl(CComponent* parent, TkSmSubset* subset, CComponent* self = nullptr);
    ~CSubsetImpl() override;
    int getType() const override { return 1; }
    CComponent* getParent() const override { return parent_; }
    void getDetails(TkString& text) const override;
    int getCount() const override { return static_cast<int>(children_.size()); }
    CComponent* getAt(int index) const override { return children_[static_cast<size_t>(index)]; }
    TkString getName() const override { return subset_->getName(); }
    void setName(const wchar_t* name) override { subset_->setName(name); }
    TkString getNewSheetLocation() const override;
    void setNewSheetLocation(const wchar_t* folder, bool nested) override;
    bool getPromptForTemplate() const override { return subset_->getPromptForDwt(); }
    void setPromptForTemplate(bool prompt, bool nested) override;
    bool getIncludeForPublish() const override { return !subset_->getOverrideSheetPublish(); }
    void setIncludeForPublish(bool include, bool nested) override;
    TkString getTemplateLayoutName() const override;
    TkString getTemplateLayoutHandle() const override;
    TkString getTemplateFileName() const override;
    void setTemplate(const wchar_t* layoutName, const wchar_t* layoutHandle, const wchar_t* fileName, bool nested) override;
    int getSheets(std::vector<CSheet*>& out, bool recursive) const override;
    int getSubsets(std::vector<CSubset*>& out, bool recursive) const override;
    CSheet* addNewSheet(int index, const wchar_t* name) override;
    CSubset* addNewSubset(int index, const wchar_t* name) override;
    void removeSheet(CSheet* sheet) override;
    void removeSubset(CSubset* subset) override;
    void removeAll() override;
    void copyFrom(const CSubset* other, bool includeSheets) override;
    void replaceDrawingFile(const wchar_t* oldPath, const wchar_t* newPath) override;
    bool hasSheets() const override;
    bool allDrawingsMissing() const override;
    bool containsLayout(const wchar_t* dwgPath, const wchar_t* layoutName) const override;

    // Every nested subset takes its parent's new sheet location, top down.
    void inheritNewSheetLocation();
    // The model object wrapping a toolkit component: this subset, then its children depth-first.
    CComponent* findComponent(const TkSmComponent* component);
    TkSmSubset* toolkitSubset() const { return subset_; }

protected:
    CComponent* self_;  // the component this subset is: itself, or the sheet set that embeds it

private:
    std::vector<CSubsetImpl*> childSubsets() const;
    void removeChild(CComponent* child);
    CComponent* parent_;
    TkSmSubset* subset_;
    std::vector<CComponent*> children_;  // owned
};

bool sameTextNoCase(const TkString& a, const TkString& b);
