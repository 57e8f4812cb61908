#include "model/SheetImpl.h"

#include <sstream>

#include <cstdio>
#include <ctime>
#include <unordered_set>

#include "drawings/DwgCache.h"
#include "drawings/FileLocks.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"

namespace {

CDwgCache* cache() { return dynamic_cast<CDwgCache*>(CNqSystem::instance().findService(CDwgCache::kServiceName)); }

TkString sizeText(uint32_t size) {
    wchar_t buf[64];
    if (size < 1024) std::swprintf(buf, 64, L"%d B", static_cast<int>(size));
    else if (size < 1048576) std::swprintf(buf, 64, L"%.2f KB", size / 1024.0);
    else if (size < 1073741824) std::swprintf(buf, 64, L"%.2f MB", size / 1048576.0);
    else std::swprintf(buf, 64, L"%.2f GB", size / 1073741824.0);
    return buf;
}

}  // namespace

TkString groupedNumber(uint32_t n) {
    wchar_t buf[32];
    if (n < 1000) {
        std::swprintf(buf, 32, L"%d", static_cast<int>(n));
        return buf;
    }
    TkString head = groupedNumber(n / 1000);
    std::swprintf(buf, 32, L",%.3d", static_cast<int>(n % 1000));
    return head + buf;
}

TkString sheetDisplayName(const TkString& number, const TkString& title) {
    if (!number.empty() && !title.empty()) return number + L" - " + title;
    return number.empty() ? title : number;
}

TkString sheetDisplayName(const CSheet* sheet) { return sheetDisplayName(sheet->getNumber(), sheet->getTitle()); }

CSheetImpl::CSheetImpl(CComponent* parent, TkSmSheet* sheet)
    : parent_(parent), sheet_(sheet), props_(std::make_unique<CCustomPropertiesImpl>(sheet->getCustomPropertyBag())) {
    if (sheet_->getLayout()) (void)sheet_->getLayout()->resolveFileName();
}

CSheetImpl::~CSheetImpl() {
    if (CDwgCache* c = cache()) c->unregister(this);
}

TkString CSheetImpl::getLayoutName() const { return sheet_->getLayout() ? sheet_->getLayout()->getName() : TkString(); }
TkString CSheetImpl::getLayoutHandle() const { return sheet_->getLayout() ? sheet_->getLayout()->getHandle() : TkString(); }
TkString CSheetImpl::getFileName() const { return sheet_->getLayout() ? sheet_->getLayout()->getFileName() : TkString(); }

void CSheetImpl::setLayout(const wchar_t* layoutName, const wchar_t* layoutHandle, const wchar_t* fileName) {
    if (getLayoutName() == layoutName && getLayoutHandle() == layoutHandle && getFileName() == fileName) return;
    if (CDwgCache* c = cache()) c->unregister(this);
    TkSmDbLayoutReference* ref = sheet_->getLayout();
    if (!ref) {
        TkSmPtr<TkSmDbLayoutReference> fresh = TkSmPtr<TkSmDbLayoutReference>::adopt(TkSmDbLayoutReference::create());
        fresh->initNew(sheet_);
        sheet_->setLayout(fresh.get());
        ref = fresh.get();
    }
    ref->setName(layoutName);
    ref->setHandle(layoutHandle);
    ref->setFileName(fileName);
}

void CSheetImpl::copyFrom(const CSheet* other) {
    setNumber(other->getNumber().c_str());
    setTitle(other->getTitle().c_str());
    setDesc(other->getDesc().c_str());
    setLayout(other->getLayoutName().c_str(), other->getLayoutHandle().c_str(), other->getFileName().c_str());
    setIncludeForPublish(other->getIncludeForPublish());
    setRevisionNumber(other->getRevisionNumber().c_str());
    setRevisionDate(other->getRevisionDate().c_str());
    setIssuePurpose(other->getIssuePurpose().c_str());
    setCategory(other->getCategory().c_str());
    std::vector<CustomProperty> props;
    other->getCustomProperties()->getAll(props);
    props_->setAll(props);
}

void CSheetImpl::getDetails(TkString& text) const {
    const TkString file = getFileName();
    const bool exists = vrutPathExists(file);
    TkString holder, detail;
    bool held = false;
    text += ssMessage(26502, L"Status: ");
    if (!exists) {
        text += ssMessage(26503, L"File is missing.");
    } else if (!isDrawingLocked(file)) {
        text += ssMessage(26505, L"Accessible");
    } else if ((held = vrapGetDwgFileInfo(file, holder, detail))) {
        text += vrFormatMessage(ssMessage(26504, L"Locked for Edit by %s"), {holder + L" " + detail});
    } else {
        text += ssMessage(26520, L"Read-only");
    }
    text += L"\r\n" + ssMessage(26506, L"Sheet: ");
    if (!getNumber().empty()) text += getNumber() + L" - ";
    text += getTitle() + L"\r\n";
    text += ssMessage(26507, L"Description: ") + getDesc() + L"\r\n\r\n";
    text += ssMessage(26508, L"Views: ") + L"\r\n[" + ssMessage(26509, L"none") + L"]\r\n\r\n";
    TkString folder, name;
    vrutSplitPath(file.substr(0, 260), folder, name);
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    text += ssMessage(26510, L"File Name: ") + name + L"\r\n";
    text += ssMessage(26511, L"Location: ") + folder + L"\r\n";
    if (exists) {
        CDwgCache* c = cache();
        DwgCacheEntry* e = c ? c->getEntry(this, getLayoutName(), file) : nullptr;
        if (!e) return;
        text += ssMessage(26512, L"File Size: ") + sizeText(e->fileSize) + L" (" + groupedNumber(e->fileSize) + L" bytes)\r\n";
        if (held && !holder.empty()) text += ssMessage(26513, L"Currently Open By:") + holder + L"\r\n";
        wchar_t when[128] = L"";
        time_t t = static_cast<time_t>(e->lastWriteTime);
        std::tm local {};
        if (localtime_r(&t, &local)) std::wcsftime(when, 128, L"%Y-%m-%d %H:%M:%S", &local);
        text += ssMessage(26514, L"Last Saved: ") + when + L"\r\n";
        text += ssMessage(26515, L"Last Edited By: ") + e->lastEditedBy + L"\r\n";
        text += ssMessage(26516, L"Sheet Size: ");
        if (auto it = e->sheetSizes.find(getLayoutName()); it != e->sheetSizes.end()) {
            // A drawing's paper size is any double: the text grows with it, never into a fixed buffer.
            std::wostringstream size;
            size.setf(std::ios::fixed);
            size.precision(1);
            size << it->second.first << L" x " << it->second.second;
            text += size.str();
        }
        text += L"\r\n";
    }
    std::vector<CustomProperty> props;
    props_->getAll(props);
    if (!props.empty()) {
        text += L"\r\n";
        for (const CustomProperty& p : props) text += p.name + L": " + p.value + L"\r\n";
    }
}

const QImage* CSheetImpl::getPreview(unsigned size) {
    if (size > 2) return nullptr;
    CDwgCache* c = cache();
    if (!c) return nullptr;
    DwgCacheEntry* e = c->getEntry(this, getLayoutName(), getFileName());
    return e ? c->getPreview(e, getLayoutName(), size) : nullptr;
}

TkString CSheetImpl::previewProblem() {
    const TkString file = getFileName();
    if (file.empty() || !vrutPathExists(file)) return ssMessage(26524, L"The drawing of this sheet is missing.");
    CDwgCache* c = cache();
    DwgCacheEntry* e = c ? c->getEntry(this, getLayoutName(), file) : nullptr;
    if (!e) return {};
    if (!e->readable) return ssMessage(26522, L"The drawing of this sheet cannot be read.");
    if (!e->sheetSizes.count(getLayoutName())) return ssMessage(26523, L"The drawing has no layout of this sheet's name.");
    return {};
}

std::vector<TkString> sheetDrawingFiles(const std::vector<CSheet*>& sheets) {
    std::vector<TkString> files;
    std::unordered_set<TkString> seen;
    for (const CSheet* s : sheets)
        if (TkString f = s->getFileName(); !f.empty() && seen.insert(f).second) files.push_back(std::move(f));
    return files;
}
