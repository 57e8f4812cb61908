#pragma once
// The interfaces of the sheet set tree: components, sheets, subsets and the sheet set, with their
// operations in a fixed slot order. No Qt here: strings are TkString.
#include <vector>

#include "host/VrTypes.h"

class CCustomProperties;
class CSheetSelSets;
class TkSmComponent;

// What a component is, as getType tells it.
enum ComponentKind : int { kComponentSheetSet = 0, kComponentSubset = 1, kComponentSheet = 2 };

class CComponent {
public:
    virtual ~CComponent() = default;
    virtual int getType() const = 0;  // a ComponentKind
    virtual CComponent* getParent() const = 0;
    virtual void getDetails(TkString& text) const = 0;
};

class CSheet : public CComponent {
public:
    virtual TkString getNumber() const = 0;
    virtual void setNumber(const wchar_t* number) = 0;
    virtual TkString getTitle() const = 0;
    virtual void setTitle(const wchar_t* title) = 0;
    virtual TkString getDesc() const = 0;
    virtual void setDesc(const wchar_t* desc) = 0;
    virtual TkString getLayoutName() const = 0;
    virtual TkString getLayoutHandle() const = 0;
    virtual TkString getFileName() const = 0;
    virtual void setLayout(const wchar_t* layoutName, const wchar_t* layoutHandle, const wchar_t* fileName) = 0;
    virtual bool getIncludeForPublish() const = 0;
    virtual void setIncludeForPublish(bool include) = 0;
    virtual TkString getRevisionNumber() const = 0;
    virtual void setRevisionNumber(const wchar_t* s) = 0;
    virtual TkString getRevisionDate() const = 0;
    virtual void setRevisionDate(const wchar_t* s) = 0;
    virtual TkString getIssuePurpose() const = 0;
    virtual void setIssuePurpose(const wchar_t* s) = 0;
    virtual TkString getCategory() const = 0;
    virtual void setCategory(const wchar_t* s) = 0;
    virtual CCustomProperties* getCustomProperties() const = 0;
    virtual void copyFrom(const CSheet* other) = 0;
};

class CSubset : public CComponent {
public:
    virtual int getCount() const = 0;
    virtual CComponent* getAt(int index) const = 0;
    virtual TkString getName() const = 0;
    virtual void setName(const wchar_t* name) = 0;
    virtual TkString getNewSheetLocation() const = 0;
    virtual void setNewSheetLocation(const wchar_t* folder, bool nested) = 0;
    virtual bool getPromptForTemplate() const = 0;
    virtual void setPromptForTemplate(bool prompt, bool nested) = 0;
    virtual bool getIncludeForPublish() const = 0;
    virtual void setIncludeForPublish(bool include, bool nested) = 0;
    virtual TkString getTemplateLayoutName() const = 0;
    virtual TkString getTemplateLayoutHandle() const = 0;
    virtual TkString getTemplateFileName() const = 0;
    virtual void setTemplate(const wchar_t* layoutName, const wchar_t* layoutHandle, const wchar_t* fileName, bool nested) = 0;
    virtual int getSheets(std::vector<CSheet*>& out, bool recursive) const = 0;
    virtual int getSubsets(std::vector<CSubset*>& out, bool recursive) const = 0;
    virtual CSheet* addNewSheet(int index, const wchar_t* name) = 0;
    virtual CSubset* addNewSubset(int index, const wchar_t* name) = 0;
    virtual void removeSheet(CSheet* sheet) = 0;
    virtual void removeSubset(CSubset* subset) = 0;
    virtual void removeAll() = 0;
    virtual void copyFrom(const CSubset* other, bool includeSheets) = 0;
    virtual void replaceDrawingFile(const wchar_t* oldPath, const wchar_t* newPath) = 0;
    virtual bool hasSheets() const = 0;
    virtual bool allDrawingsMissing() const = 0;
    virtual bool containsLayout(const wchar_t* dwgPath, const wchar_t* layoutName) const = 0;
};

// Custom properties of a sheet or sheet set.
struct CustomProperty {
    TkString name;
    TkString value;
    bool ownedBySheetSet = false;
};

class CCustomProperties {
public:
    virtual void getAll(std::vector<CustomProperty>& out) const = 0;
    virtual void getSheetProperties(std::vector<CustomProperty>& out) const = 0;
    virtual void setAll(const std::vector<CustomProperty>& list) = 0;
    virtual void applyDefinitions(const std::vector<CustomProperty>& definitions) = 0;
    virtual ~CCustomProperties() = default;
};
