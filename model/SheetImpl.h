#pragma once
// A sheet: one layout of one drawing in the sheet set, over the toolkit's sheet object.
#include <memory>

#include "model/Component.h"
#include "model/CustomPropertiesImpl.h"
#include "toolkit/sm/TkSmComponents.h"

class QImage;

class CSheetImpl : public CSheet {
public:
    CSheetImpl(CComponent* parent, TkSmSheet* sheet);
    ~CSheetImpl() override;
    int getType() const override { return 2; }
    CComponent* getParent() const override { return parent_; }
    void getDetails(TkString& text) const override;
    TkString getNumber() const override { return sheet_->getNumber(); }
    void setNumber(const wchar_t* s) override { sheet_->setNumber(s); }
    TkString getTitle() const override { return sheet_->getTitle(); }
    void setTitle(const wchar_t* s) override { sheet_->setTitle(s); }
    TkString getDesc() const override { return sheet_->getDesc(); }
    void setDesc(const wchar_t* s) override { sheet_->setDesc(s); }
    TkString getLayoutName() const override;
    TkString getLayoutHandle() const override;
    TkString getFileName() const override;
    void setLayout(const wchar_t* layoutName, const wchar_t* layoutHandle, const wchar_t* fileName) override;
    bool getIncludeForPublish() const override { return !sheet_->getDoNotPlot(); }
    void setIncludeForPublish(bool include) override { sheet_->setDoNotPlot(!include); }
    TkString getRevisionNumber() const override { return sheet_->getRevisionNumber(); }
    void setRevisionNumber(const wchar_t* s) override { sheet_->setRevisionNumber(s); }
    TkString getRevisionDate() const override { return sheet_->getRevisionDate(); }
    void setRevisionDate(const wchar_t* s) override { sheet_->setRevisionDate(s); }
    TkString getIssuePurpose() const override { return sheet_->getIssuePurpose(); }
    void setIssuePurpose(const wchar_t* s) override { sheet_->setIssuePurpose(s); }
    TkString getCategory() const override { return sheet_->getCategory(); }
    void setCategory(const wchar_t* s) override { sheet_->setCategory(s); }
    CCustomProperties* getCustomProperties() const override { return props_.get(); }
    void copyFrom(const CSheet* other) override;
    // The cached thumbnail of the sheet's layout: size 0 64 x 42, 1 128 x 84, 2 256 x 168. The
    // drawing cache keeps the image.
    virtual const QImage* getPreview(unsigned size);
    // Why there is no preview, for the user: the drawing is missing, cannot be read, or has no
    // such layout; empty when nothing is wrong with the drawing (a preview may still be missing
    // while no drawing is open in the host to render with).
    TkString previewProblem();

    TkSmSheet* toolkitSheet() const { return sheet_; }

private:
    CComponent* parent_;
    TkSmSheet* sheet_;  // owned by the sheet set's toolkit database
    std::unique_ptr<CCustomPropertiesImpl> props_;
};

// "A-101 - Ground Floor Plan", or the part that is present.
TkString sheetDisplayName(const CSheet* sheet);
// "number - title", the one label of a sheet everywhere (tree, lists, lookups by label, publish);
// either part alone when the other is empty.
TkString sheetDisplayName(const TkString& number, const TkString& title);
// The drawings of `sheets`, each once, in the order the sheets first name them (exact paths).
std::vector<TkString> sheetDrawingFiles(const std::vector<CSheet*>& sheets);
// Byte counts grouped by thousands: 1,000,000.
TkString groupedNumber(uint32_t n);
