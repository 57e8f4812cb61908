#include "model/SheetSetImpl.h"

#include <unistd.h>

#include <cwchar>

#include "drawings/DwgReader.h"
#include "drawings/FileLocks.h"
#include "host/PathUtil.h"
#include "model/SheetImpl.h"
#include "model/SheetSetMessages.h"
#include "toolkit/common/TkUtf8.h"

namespace {
template <class T>
TkSmPtr<T> owned(TkSmObject* owner) {
    TkSmPtr<T> p = TkSmPtr<T>::adopt(T::create());
    p->initNew(owner);
    return p;
}
}  // namespace

CSheetSetImpl::CSheetSetImpl(TkSmDatabase* db) : db_(db) {
    TkSmSheetSet* ss = db_->getSheetSet();
    root_ = std::make_unique<CSubsetImpl>(nullptr, ss, this);
    for (auto e = ss->getResources()->getEnumerator(); TkSmFileReference* f = e.next();) (void)f->resolveFileName();
    if (ss->getAltPageSetups()) {
        auto ref = owned<TkSmFileReference>(ss);
        ref->setFileName(ss->getAltPageSetups()->getFileName());
        ss->setAltPageSetups(ref.get());
        (void)ref->resolveFileName();
    }
    if (TkSmDbBlockRecordReference* old = ss->getDefLabelBlk()) {
        auto ref = owned<TkSmDbBlockRecordReference>(ss);
        ref->setName(old->getName());
        ref->setHandle(old->getHandle());
        ref->setOwnerHandle(old->getOwnerHandle());
        ref->setFileName(old->getFileName());
        ss->setDefLabelBlk(ref.get());
    }
    for (auto e = ss->getCalloutBlocks()->getEnumerator(); TkSmDbBlockRecordReference* b = e.next();) (void)b->resolveFileName();
    // A new sheet location that is missing becomes the data file's folder; nested subsets follow it.
    TkString location = root_->getNewSheetLocation();
    if (location.empty() || !vrutPathExists(location)) {
        TkString folder, file;
        vrutSplitPath(getFileName(), folder, file);
        if (!folder.empty() && (folder.back() == L'/' || folder.back() == L'\\')) folder.pop_back();
        root_->setNewSheetLocation(folder.c_str(), false);
    }
    root_->inheritNewSheetLocation();
    selSets_ = std::make_unique<CSheetSelSetsImpl>(this);
    props_ = std::make_unique<CCustomPropertiesImpl>(ss->getCustomPropertyBag());
}

CSheetSetImpl::~CSheetSetImpl() = default;

void CSheetSetImpl::getDetails(TkString& text) const {
    std::vector<CustomProperty> props;
    props_->getAll(props);
    for (const CustomProperty& p : props) text += p.name + L": " + p.value + L"\r\n";
    if (!text.empty()) text += L"\r\n";
    const std::pair<int, const wchar_t*> labels[] = {{26317, L"Project number"}, {26318, L"Project name"},
                                                     {26319, L"Project phase"}, {26320, L"Project milestone"}};
    const TkString values[] = {getProjectNumber(), getProjectName(), getProjectPhase(), getProjectMilestone()};
    for (int i = 0; i < 4; ++i)
        if (!values[i].empty()) text += ssMessage(labels[i].first, labels[i].second) + L": " + values[i] + L"\r\n";
}

TkString CSheetSetImpl::getPageSetupFile() const { return ss()->getAltPageSetups() ? ss()->getAltPageSetups()->getFileName() : TkString(); }

void CSheetSetImpl::setPageSetupFile(const wchar_t* path) {
    if (getPageSetupFile() == path) return;
    auto ref = owned<TkSmFileReference>(ss());
    ref->setFileName(path);
    ss()->setAltPageSetups(ref.get());
    pageSetupNames_.clear();
}

const std::vector<TkString>& CSheetSetImpl::getPageSetupNames() {
    if (pageSetupNames_.empty()) refreshPageSetupNames();
    return pageSetupNames_;
}

void CSheetSetImpl::refreshPageSetupNames() {
    pageSetupNames_.clear();
    DwgReader reader;
    reader.load(getPageSetupFile(), false);
    reader.listPageSetups(pageSetupNames_);
}

void CSheetSetImpl::getLabelBlock(TkString& name, TkString& handle, TkString& file) const {
    if (TkSmDbBlockRecordReference* b = ss()->getDefLabelBlk()) {
        name = b->getName();
        handle = b->getHandle();
        file = b->getFileName();
    }
}

void CSheetSetImpl::setLabelBlock(const wchar_t* name, const wchar_t* handle, const wchar_t* file) {
    auto ref = owned<TkSmDbBlockRecordReference>(ss());
    ref->setName(name);
    ref->setHandle(handle);
    ref->setFileName(file);
    ss()->setDefLabelBlk(ref.get());
}

void CSheetSetImpl::getCalloutBlocks(std::vector<TkString>& names, std::vector<TkString>& handles, std::vector<TkString>& files) const {
    for (auto e = ss()->getCalloutBlocks()->getEnumerator(); TkSmDbBlockRecordReference* b = e.next();) {
        names.push_back(b->getName());
        handles.push_back(b->getHandle());
        files.push_back(b->getFileName());
    }
}

void CSheetSetImpl::setCalloutBlocks(const std::vector<TkString>& names, const std::vector<TkString>& handles,
                                     const std::vector<TkString>& files) {
    // Position by position: update what exists, add what is new, remove the surplus.
    TkSmCalloutBlocks* blocks = ss()->getCalloutBlocks();
    std::vector<TkSmDbBlockRecordReference*> existing;
    for (auto e = blocks->getEnumerator(); TkSmDbBlockRecordReference* b = e.next();) existing.push_back(b);
    size_t n = std::min({names.size(), handles.size(), files.size()});
    for (size_t i = 0; i < n; ++i) {
        TkSmDbBlockRecordReference* b = i < existing.size() ? existing[i] : nullptr;
        TkSmPtr<TkSmDbBlockRecordReference> fresh;
        if (!b) {
            fresh = owned<TkSmDbBlockRecordReference>(blocks);
            b = fresh.get();
        }
        b->setName(names[i]);
        b->setHandle(handles[i]);
        b->setFileName(files[i]);
        if (fresh) blocks->add(b);
    }
    for (size_t i = n; i < existing.size(); ++i) blocks->remove(existing[i]);
}

void CSheetSetImpl::getModelViewFolders(std::vector<TkString>& paths) const {
    for (auto e = ss()->getResources()->getEnumerator(); TkSmFileReference* f = e.next();) paths.push_back(f->getFileName());
}

void CSheetSetImpl::setModelViewFolders(const std::vector<TkString>& paths) {
    TkSmResources* res = ss()->getResources();
    std::vector<TkSmFileReference*> existing;
    for (auto e = res->getEnumerator(); TkSmFileReference* f = e.next();) existing.push_back(f);
    for (size_t i = 0; i < paths.size(); ++i) {
        if (i < existing.size()) {
            existing[i]->setFileName(paths[i]);
        } else {
            auto f = owned<TkSmFileReference>(res);
            f->setFileName(paths[i]);
            res->add(f.get());
        }
    }
    for (size_t i = paths.size(); i < existing.size(); ++i) res->remove(existing[i]);
}

void CSheetSetImpl::replaceDrawingFile(const wchar_t* oldPath, const wchar_t* newPath) {
    if (sameTextNoCase(getPageSetupFile(), oldPath)) setPageSetupFile(newPath);
    TkString name, handle, file;
    getLabelBlock(name, handle, file);
    if (!file.empty() && sameTextNoCase(file, oldPath)) setLabelBlock(name.c_str(), handle.c_str(), newPath);
    std::vector<TkString> names, handles, files;
    getCalloutBlocks(names, handles, files);
    bool replaced = false;
    for (TkString& f : files)
        if (sameTextNoCase(f, oldPath)) {
            f = newPath;
            replaced = true;
        }
    if (replaced) setCalloutBlocks(names, handles, files);
    root_->replaceDrawingFile(oldPath, newPath);
}

void CSheetSetImpl::copyFromSheetSet(CSheetSet* source, bool withSheets) {
    setDesc(source->getDesc().c_str());
    std::vector<TkString> folders;
    source->getModelViewFolders(folders);
    setModelViewFolders(folders);
    TkString name, handle, file;
    source->getLabelBlock(name, handle, file);
    setLabelBlock(name.c_str(), handle.c_str(), file.c_str());
    std::vector<TkString> names, handles, files;
    source->getCalloutBlocks(names, handles, files);
    setCalloutBlocks(names, handles, files);
    setPageSetupFile(source->getPageSetupFile().c_str());
    setProjectNumber(source->getProjectNumber().c_str());
    setProjectName(source->getProjectName().c_str());
    setProjectPhase(source->getProjectPhase().c_str());
    setProjectMilestone(source->getProjectMilestone().c_str());
    setTemplate(source->getTemplateLayoutName().c_str(), source->getTemplateLayoutHandle().c_str(),
                source->getTemplateFileName().c_str(), false);
    setPromptForTemplate(source->getPromptForTemplate(), false);
    std::vector<CustomProperty> props;
    source->getCustomProperties()->getAll(props);
    props_->setAll(props);
    removeAll();
    copyFrom(source, withSheets);
}

bool CSheetSetImpl::save() {
    lastSaveError_.clear();
    TkString file = getFileName();
    // Another editor holds the set: what it saves is the truth, not our copy.
    if (!lockedHere_ && CSheetSetLock::isHeldByAnyone(file)) {
        lastSaveError_ = L"the sheet set is being edited by " + CSheetSetLock::holder(file).describe();
        return false;
    }
    if (vrutPathExists(file) && ::access(tkToUtf8(file).c_str(), W_OK) != 0) {
        lastSaveError_ = L"the sheet set data file is read-only: " + file;
        return false;
    }
    // Someone saved the file since this copy was read: writing it now would throw their work away.
    // Edits read the set again under the lock first and never get here.
    if (db_->diskIdentity().known() && isChangedOnDisk()) {
        lastSaveError_ = L"the sheet set was changed by someone else since it was read; read it again first";
        return false;
    }
    try {
        db_->save();
        lastReported_ = db_->diskIdentity();
        return true;
    } catch (const TkException& e) {
        lastSaveError_ = tkFromUtf8(e.what());
        return false;
    }
}

int CSheetSetImpl::getLockStatus() {
    TkString file = getFileName();
    if (!vrutPathExists(file)) {
        save();
        lockStatus_ = 0;
    } else if (lockedHere_) {
        lockStatus_ = 1;
    } else if (CSheetSetLock::isHeldByAnyone(file)) {
        lockStatus_ = 2;  // its ".dbl" file exists while it is held
    } else {
        // A ".dbl" file nobody holds was left by a crash and blocks nobody.
        lockStatus_ = ::access(tkToUtf8(file).c_str(), W_OK) == 0 ? 0 : 3;
    }
    return lockStatus_;
}

bool CSheetSetImpl::isChangedOnDisk() const {
    if (stale_) return true;
    TkFileIdentity now = TkFileIdentity::ofPath(tkToUtf8(getFileName()));
    return now.known() && !(now == db_->diskIdentity());
}

bool CSheetSetImpl::isModifiedOnDisk() {
    // Each state of the file on disk is reported once: a file that cannot be read back is not
    // re-read every second, and a save of our own is no change.
    TkFileIdentity now = TkFileIdentity::ofPath(tkToUtf8(getFileName()));
    if (!now.known() || now == db_->diskIdentity() || now == lastReported_) return false;
    lastReported_ = now;
    return true;
}

CSheetSelSetsImpl::CSheetSelSetsImpl(CSheetSetImpl* owner) : owner_(owner) {
    for (auto e = owner->database()->getSheetSet()->getSheetSelSets()->getEnumerator(); TkSmSheetSelSet* s = e.next();)
        sets_.push_back(s);
}

void CSheetSelSetsImpl::remove(int i) {
    owner_->database()->getSheetSet()->getSheetSelSets()->remove(sets_[static_cast<size_t>(i)]);
    sets_.erase(sets_.begin() + i);
}

void CSheetSelSetsImpl::add(const wchar_t* name, const std::vector<CComponent*>& members) {
    TkSmSheetSelSet* sel = owner_->database()->getSheetSet()->getSheetSelSets()->add(name, L"");
    for (CComponent* c : members) {
        if (c->getType() == kComponentSheet) sel->add(static_cast<CSheetImpl*>(c)->toolkitSheet());
        else if (c->getType() == kComponentSubset) sel->add(static_cast<CSubsetImpl*>(c)->toolkitSubset());
        else if (c == owner_) sel->add(owner_->rootSubset()->toolkitSubset());  // the sheet set itself
    }
    sets_.push_back(sel);
}

void CSheetSelSetsImpl::getMembers(int i, std::vector<CComponent*>& out) const {
    for (auto e = sets_[static_cast<size_t>(i)]->getEnumerator(); TkSmComponent* c = e.next();)
        if (CComponent* found = owner_->rootSubset()->findComponent(c)) out.push_back(found);
}
