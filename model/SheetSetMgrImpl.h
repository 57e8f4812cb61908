#pragma once
// The sheet sets open in the palette, and which one is current.
#include "model/SheetSetImpl.h"

class CSheetSetMgr : public CNqUnknown {
public:
    virtual int getCount() const = 0;
    virtual CSheetSet* getSheetSet(int index) const = 0;
    virtual void setCurrent(int index) = 0;
    virtual int getCurrent() const = 0;
    virtual bool openSheetSet(const wchar_t* path) = 0;
    virtual bool reloadSheetSet(int index) = 0;
    virtual int closeSheetSet(int index) = 0;
    virtual CSheetSet* createSheetSet() = 0;
    virtual void releaseSheetSet(CSheetSet* sheetSet) = 0;
    virtual bool containsLayout(const wchar_t* dwgPath, const wchar_t* layoutName) const = 0;
};

class CSheetSetMgrImpl : public CSheetSetMgr {
public:
    CSheetSetMgrImpl();
    ~CSheetSetMgrImpl() override;
    int getCount() const override { return static_cast<int>(sets_.size()); }
    CSheetSet* getSheetSet(int index) const override { return sets_[static_cast<size_t>(index)]; }
    void setCurrent(int index) override { current_ = index; }
    int getCurrent() const override { return current_; }
    bool openSheetSet(const wchar_t* path) override;
    bool reloadSheetSet(int index) override;
    int closeSheetSet(int index) override;
    CSheetSet* createSheetSet() override;
    void releaseSheetSet(CSheetSet* sheetSet) override;
    bool containsLayout(const wchar_t* dwgPath, const wchar_t* layoutName) const override;
    // Why the last open or reload failed ("... is damaged at line 12; the previous good copy is
    // X.dst.bak"); empty after one that worked.
    const TkString& lastError() const { return lastError_; }
    CSheetSetImpl* sheetSetImpl(int index) const { return sets_[static_cast<size_t>(index)]; }

private:
    TkString lastError_;
    TkSmSheetSetMgr* toolkit_;
    std::vector<CSheetSetImpl*> sets_;  // owned
    int current_ = -1;
};
