#pragma once
// The tree of a sheet set: components (name, description, custom properties), sheets, subsets and
// the sheet set itself, which is the root subset.
#include <vector>

#include "toolkit/sm/TkSmProperties.h"
#include "toolkit/sm/TkSmReferences.h"

// How deep subsets may nest, in a file read or an edit: the tree is walked recursively everywhere.
constexpr int kTkSmMaxSubsetDepth = 100;

// Snapshot enumerator: next() gives the next item or null; the collection may change meanwhile.
template <class T>
class TkSmEnum {
public:
    explicit TkSmEnum(std::vector<TkSmPtr<T>> items) : items_(std::move(items)) {}
    T* next() { return pos_ < items_.size() ? items_[pos_++].get() : nullptr; }
    void reset() { pos_ = 0; }
    size_t size() const { return items_.size(); }

private:
    std::vector<TkSmPtr<T>> items_;
    size_t pos_ = 0;
};

class TkSmComponent : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmComponent)
public:
    void initNew(TkSmObject* owner) override;
    const TkString& getName() const { return name_; }
    void setName(const TkString& n);
    const TkString& getDesc() const { return desc_; }
    void setDesc(const TkString& d);
    TkSmCustomPropertyBag* getCustomPropertyBag() const { return bag_.get(); }

protected:
    TkSmComponent() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    TkString name_, desc_;
    TkSmPtr<TkSmCustomPropertyBag> bag_;
};

class TkSmSheet : public TkSmComponent {
    TKSM_DECLARE_CLASS(TkSmSheet)
public:
    static TkSmSheet* create() { return new TkSmSheet; }
    const TkString& getNumber() const { return number_; }
    void setNumber(const TkString& s);
    const TkString& getTitle() const { return title_; }
    void setTitle(const TkString& s);
    TkSmDbLayoutReference* getLayout() const { return layout_.get(); }
    void setLayout(TkSmDbLayoutReference* ref);  // adds a reference
    bool getDoNotPlot() const { return doNotPlot_; }
    void setDoNotPlot(bool f);
    const TkString& getRevisionNumber() const { return revisionNumber_; }
    void setRevisionNumber(const TkString& s);
    const TkString& getRevisionDate() const { return revisionDate_; }
    void setRevisionDate(const TkString& s);
    const TkString& getIssuePurpose() const { return issuePurpose_; }
    void setIssuePurpose(const TkString& s);
    const TkString& getCategory() const { return category_; }
    void setCategory(const TkString& s);

protected:
    TkSmSheet() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    TkString number_, title_, revisionNumber_, revisionDate_, issuePurpose_, category_;
    TkSmPtr<TkSmDbLayoutReference> layout_;
    bool doNotPlot_ = false;
};

class TkSmSubset : public TkSmComponent {
    TKSM_DECLARE_CLASS(TkSmSubset)
public:
    static TkSmSubset* create() { return new TkSmSubset; }
    TkSmFileReference* getNewSheetLocation() const { return newSheetLocation_.get(); }
    void setNewSheetLocation(TkSmFileReference* ref);
    TkSmDbLayoutReference* getDefDwtLayout() const { return template_.get(); }
    void setDefDwtLayout(TkSmDbLayoutReference* ref);
    bool getPromptForDwt() const { return promptForDwt_; }
    void setPromptForDwt(bool f);
    // Set when the subset's sheets are left out of publishing.
    bool getOverrideSheetPublish() const { return overrideSheetPublish_; }
    void setOverrideSheetPublish(bool f);

    // Children in order: sheets and subsets.
    TkSmEnum<TkSmComponent> getSheetEnumerator() const;
    size_t childCount() const { return children_.size(); }
    // Creates a sheet or subset owned by this subset and appends it; the subset holds it. A new
    // sheet's title is the name it is created with.
    TkSmSheet* addNewSheet(const TkString& name, const TkString& desc);
    TkSmSubset* createSubset(const TkString& name, const TkString& desc);
    // Moves (or adds) `comp` before `before`; at the end when `before` is null or not a child.
    void insertComponent(TkSmComponent* comp, TkSmComponent* before);
    void removeSheet(TkSmSheet* sheet);
    void removeSubset(TkSmSubset* subset);

protected:
    TkSmSubset() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    void removeChild(TkSmComponent* c);
    std::vector<TkSmPtr<TkSmComponent>> children_;
    TkSmPtr<TkSmFileReference> newSheetLocation_;
    TkSmPtr<TkSmDbLayoutReference> template_;
    bool promptForDwt_ = false;
    bool overrideSheetPublish_ = false;
};

class TkSmCalloutBlocks : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmCalloutBlocks)
public:
    static TkSmCalloutBlocks* create() { return new TkSmCalloutBlocks; }
    TkSmEnum<TkSmDbBlockRecordReference> getEnumerator() const { return TkSmEnum<TkSmDbBlockRecordReference>(items_); }
    void add(TkSmDbBlockRecordReference* ref);
    void remove(TkSmDbBlockRecordReference* ref);

protected:
    TkSmCalloutBlocks() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    std::vector<TkSmPtr<TkSmDbBlockRecordReference>> items_;
};

// Model view folders: resource locations of the sheet set.
class TkSmResources : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmResources)
public:
    static TkSmResources* create() { return new TkSmResources; }
    TkSmEnum<TkSmFileReference> getEnumerator() const { return TkSmEnum<TkSmFileReference>(items_); }
    void add(TkSmFileReference* ref);
    void remove(TkSmFileReference* ref);

protected:
    TkSmResources() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    std::vector<TkSmPtr<TkSmFileReference>> items_;
};

// A named selection of sheets and subsets of the same sheet set.
class TkSmSheetSelSet : public TkSmComponent {
    TKSM_DECLARE_CLASS(TkSmSheetSelSet)
public:
    static TkSmSheetSelSet* create() { return new TkSmSheetSelSet; }
    TkSmEnum<TkSmComponent> getEnumerator() const;
    // Sheets, subsets and the sheet set itself, in the order added.
    void add(TkSmComponent* member);
    void remove(TkSmComponent* member);

protected:
    TkSmSheetSelSet() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    // Sheets and subsets are held; the sheet set is only pointed at, since it holds this selection
    // and a reference back would make a circle that nothing frees.
    struct Member {
        TkSmComponent* component;
        TkSmPtr<TkSmComponent> held;
    };
    std::vector<Member> members_;
};

class TkSmSheetSelSets : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmSheetSelSets)
public:
    static TkSmSheetSelSets* create() { return new TkSmSheetSelSets; }
    TkSmEnum<TkSmSheetSelSet> getEnumerator() const { return TkSmEnum<TkSmSheetSelSet>(items_); }
    TkSmSheetSelSet* add(const TkString& name, const TkString& desc);
    void remove(TkSmSheetSelSet* set);

protected:
    TkSmSheetSelSets() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    std::vector<TkSmPtr<TkSmSheetSelSet>> items_;
};

class TkSmSheetSet : public TkSmSubset {
    TKSM_DECLARE_CLASS(TkSmSheetSet)
public:
    static TkSmSheetSet* create() { return new TkSmSheetSet; }
    void initNew(TkSmObject* owner) override;
    TkSmFileReference* getAltPageSetups() const { return altPageSetups_.get(); }
    void setAltPageSetups(TkSmFileReference* ref);
    TkSmDbBlockRecordReference* getDefLabelBlk() const { return labelBlock_.get(); }
    void setDefLabelBlk(TkSmDbBlockRecordReference* ref);
    TkSmCalloutBlocks* getCalloutBlocks() const { return calloutBlocks_.get(); }
    TkSmResources* getResources() const { return resources_.get(); }
    TkSmSheetSelSets* getSheetSelSets() const { return selSets_.get(); }
    const TkString& getProjectNumber() const { return project_[0]; }
    void setProjectNumber(const TkString& s) { setProject(0, s); }
    const TkString& getProjectName() const { return project_[1]; }
    void setProjectName(const TkString& s) { setProject(1, s); }
    const TkString& getProjectPhase() const { return project_[2]; }
    void setProjectPhase(const TkString& s) { setProject(2, s); }
    const TkString& getProjectMilestone() const { return project_[3]; }
    void setProjectMilestone(const TkString& s) { setProject(3, s); }

protected:
    TkSmSheetSet() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    void setProject(int i, const TkString& s);
    TkSmPtr<TkSmFileReference> altPageSetups_;
    TkSmPtr<TkSmDbBlockRecordReference> labelBlock_;
    TkSmPtr<TkSmCalloutBlocks> calloutBlocks_;
    TkSmPtr<TkSmResources> resources_;
    TkSmPtr<TkSmSheetSelSets> selSets_;
    TkString project_[4];
};
