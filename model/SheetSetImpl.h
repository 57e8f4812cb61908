#pragma once
// An open sheet set: the root subset of its tree plus the set-wide properties, saving and the lock
// status of its data file.
#include <memory>

#include "drawings/SheetSetLock.h"
#include "model/CustomPropertiesImpl.h"
#include "model/SubsetImpl.h"
#include "toolkit/sm/TkSmDatabase.h"

class CSheetSelSetsImpl;

class CSheetSet : public CSubset {
public:
    virtual TkString getDesc() const = 0;
    virtual void setDesc(const wchar_t* desc) = 0;
    virtual TkString getFileName() const = 0;
    virtual void setFileName(const wchar_t* path) = 0;
    virtual TkString getTemplateText() const = 0;  // the database's read-only text
    virtual TkString getPageSetupFile() const = 0;
    virtual void setPageSetupFile(const wchar_t* path) = 0;
    virtual const std::vector<TkString>& getPageSetupNames() = 0;
    virtual CSheetSelSetsImpl* getSheetSelSets() const = 0;
    virtual void getLabelBlock(TkString& name, TkString& handle, TkString& file) const = 0;
    virtual void setLabelBlock(const wchar_t* name, const wchar_t* handle, const wchar_t* file) = 0;
    virtual void getCalloutBlocks(std::vector<TkString>& names, std::vector<TkString>& handles, std::vector<TkString>& files) const = 0;
    virtual void setCalloutBlocks(const std::vector<TkString>& names, const std::vector<TkString>& handles, const std::vector<TkString>& files) = 0;
    virtual CCustomProperties* getCustomProperties() const = 0;
    virtual void getModelViewFolders(std::vector<TkString>& paths) const = 0;
    virtual void setModelViewFolders(const std::vector<TkString>& paths) = 0;
    virtual TkString getProjectNumber() const = 0;
    virtual void setProjectNumber(const wchar_t* s) = 0;
    virtual TkString getProjectName() const = 0;
    virtual void setProjectName(const wchar_t* s) = 0;
    virtual TkString getProjectPhase() const = 0;
    virtual void setProjectPhase(const wchar_t* s) = 0;
    virtual TkString getProjectMilestone() const = 0;
    virtual void setProjectMilestone(const wchar_t* s) = 0;
    virtual void copyFromSheetSet(CSheetSet* source, bool withSheets) = 0;
    virtual bool save() = 0;
    virtual void setLockedHere(bool held) = 0;
    virtual int getLockStatus() = 0;
    virtual bool isModifiedOnDisk() = 0;
    virtual void refreshPageSetupNames() = 0;
};

class CSheetSetImpl : public CSheetSet, public CSheetSetLockable {
public:
    explicit CSheetSetImpl(TkSmDatabase* db);
    ~CSheetSetImpl() override;
    TkSmDatabase* database() const { return db_; }

    // CComponent and CSubset, through the embedded root subset.
    int getType() const override { return 0; }
    CComponent* getParent() const override { return nullptr; }
    void getDetails(TkString& text) const override;
    int getCount() const override { return root_->getCount(); }
    CComponent* getAt(int i) const override { return root_->getAt(i); }
    TkString getName() const override { return root_->getName(); }
    void setName(const wchar_t* n) override { root_->setName(n); }
    TkString getNewSheetLocation() const override { return root_->getNewSheetLocation(); }
    void setNewSheetLocation(const wchar_t* f, bool nested) override { root_->setNewSheetLocation(f, nested); }
    bool getPromptForTemplate() const override { return root_->getPromptForTemplate(); }
    void setPromptForTemplate(bool p, bool nested) override { root_->setPromptForTemplate(p, nested); }
    bool getIncludeForPublish() const override { return root_->getIncludeForPublish(); }
    void setIncludeForPublish(bool i, bool nested) override { root_->setIncludeForPublish(i, nested); }
    TkString getTemplateLayoutName() const override { return root_->getTemplateLayoutName(); }
    TkString getTemplateLayoutHandle() const override { return root_->getTemplateLayoutHandle(); }
    TkString getTemplateFileName() const override { return root_->getTemplateFileName(); }
    void setTemplate(const wchar_t* l, const wchar_t* h, const wchar_t* f, bool nested) override { root_->setTemplate(l, h, f, nested); }
    int getSheets(std::vector<CSheet*>& out, bool r) const override { return root_->getSheets(out, r); }
    int getSubsets(std::vector<CSubset*>& out, bool r) const override { return root_->getSubsets(out, r); }
    CSheet* addNewSheet(int i, const wchar_t* n) override { return root_->addNewSheet(i, n); }
    CSubset* addNewSubset(int i, const wchar_t* n) override { return root_->addNewSubset(i, n); }
    void removeSheet(CSheet* s) override { root_->removeSheet(s); }
    void removeSubset(CSubset* s) override { root_->removeSubset(s); }
    void removeAll() override { root_->removeAll(); }
    void copyFrom(const CSubset* other, bool includeSheets) override { root_->copyFrom(other, includeSheets); }
    void replaceDrawingFile(const wchar_t* oldPath, const wchar_t* newPath) override;
    bool hasSheets() const override { return root_->hasSheets(); }
    bool allDrawingsMissing() const override { return root_->allDrawingsMissing(); }
    bool containsLayout(const wchar_t* p, const wchar_t* l) const override { return root_->containsLayout(p, l); }

    // CSheetSet.
    TkString getDesc() const override { return ss()->getDesc(); }
    void setDesc(const wchar_t* d) override { ss()->setDesc(d); }
    TkString getFileName() const override { return db_->getFileName(); }
    void setFileName(const wchar_t* p) override { db_->setFileName(p); }
    TkString getTemplateText() const override { return db_->getTemplateDstFileName(); }
    TkString getPageSetupFile() const override;
    void setPageSetupFile(const wchar_t* path) override;
    const std::vector<TkString>& getPageSetupNames() override;
    CSheetSelSetsImpl* getSheetSelSets() const override { return selSets_.get(); }
    void getLabelBlock(TkString& name, TkString& handle, TkString& file) const override;
    void setLabelBlock(const wchar_t* name, const wchar_t* handle, const wchar_t* file) override;
    void getCalloutBlocks(std::vector<TkString>& names, std::vector<TkString>& handles, std::vector<TkString>& files) const override;
    void setCalloutBlocks(const std::vector<TkString>& names, const std::vector<TkString>& handles, const std::vector<TkString>& files) override;
    CCustomProperties* getCustomProperties() const override { return props_.get(); }
    void getModelViewFolders(std::vector<TkString>& paths) const override;
    void setModelViewFolders(const std::vector<TkString>& paths) override;
    TkString getProjectNumber() const override { return ss()->getProjectNumber(); }
    void setProjectNumber(const wchar_t* s) override { ss()->setProjectNumber(s); }
    TkString getProjectName() const override { return ss()->getProjectName(); }
    void setProjectName(const wchar_t* s) override { ss()->setProjectName(s); }
    TkString getProjectPhase() const override { return ss()->getProjectPhase(); }
    void setProjectPhase(const wchar_t* s) override { ss()->setProjectPhase(s); }
    TkString getProjectMilestone() const override { return ss()->getProjectMilestone(); }
    void setProjectMilestone(const wchar_t* s) override { ss()->setProjectMilestone(s); }
    void copyFromSheetSet(CSheetSet* source, bool withSheets) override;
    bool save() override;
    void setLockedHere(bool held) override { lockedHere_ = held; }
    // Whether an edit session of this process holds the set now (the poll then leaves it alone).
    bool isLockedHere() const { return lockedHere_; }
    int getLockStatus() override;
    bool isModifiedOnDisk() override;
    void refreshPageSetupNames() override;

    // Why the last save failed (empty after a good one).
    const TkString& lastSaveError() const { return lastSaveError_; }
    // Whether the data file on disk is no longer the one this object was read from or last saved:
    // another process saved it (or it was replaced by hand). Asked under the edit lock.
    bool isChangedOnDisk() const;
    // The object holds changes that are not on disk and could not be dropped by reading the file
    // again: it counts as changed on disk from now on, so the next edit reads it first and no save
    // writes it.
    void markStale() { stale_ = true; }

    // For the edit lock.
    TkString lockDataFileName() const override { return getFileName(); }
    CSubsetImpl* rootSubset() const { return root_.get(); }

private:
    TkSmSheetSet* ss() const { return db_->getSheetSet(); }
    TkSmDatabase* db_;  // closed by the manager after this object is deleted
    std::unique_ptr<CSubsetImpl> root_;
    std::unique_ptr<CSheetSelSetsImpl> selSets_;
    std::unique_ptr<CCustomPropertiesImpl> props_;
    std::vector<TkString> pageSetupNames_;
    TkFileIdentity lastReported_;  // the last change isModifiedOnDisk reported
    TkString lastSaveError_;
    bool lockedHere_ = false;
    bool stale_ = false;
    int lockStatus_ = 0;
};

// The named sheet selections of a sheet set.
class CSheetSelSetsImpl {
public:
    explicit CSheetSelSetsImpl(CSheetSetImpl* owner);
    int getCount() const { return static_cast<int>(sets_.size()); }
    TkString getName(int i) const { return sets_[static_cast<size_t>(i)]->getName(); }
    void setName(int i, const wchar_t* name) { sets_[static_cast<size_t>(i)]->setName(name); }
    void remove(int i);
    void add(const wchar_t* name, const std::vector<CComponent*>& members);
    // Members that still exist in the tree, in order; removed ones are skipped.
    void getMembers(int i, std::vector<CComponent*>& out) const;

private:
    CSheetSetImpl* owner_;
    std::vector<TkSmSheetSelSet*> sets_;  // owned by the toolkit sheet set
};
