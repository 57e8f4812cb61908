#include "wizard/WizardState.h"

#include <fcntl.h>
#include <unistd.h>

#include <QStandardPaths>
#include <algorithm>
#include <cwchar>
#include <filesystem>

#include "drawings/DwgReader.h"
#include "host/NqSystem.h"
#include "host/PathUtil.h"
#include "model/NewSheetSet.h"
#include "model/SheetSetMessages.h"
#include "toolkit/common/TkUtf8.h"

namespace fs = std::filesystem;

namespace {

fs::path fsPath(const TkString& p) { return fs::path(tkToUtf8(p)); }
TkString tkPath(const fs::path& p) { return tkFromUtf8(p.string()); }

void removeFile(const TkString& path) {
    std::error_code ec;
    fs::remove(fsPath(path), ec);
}

}  // namespace

CreateShSheetState::CreateShSheetState() {
    newSet_ = static_cast<CSheetSetImpl*>(manager_.createSheetSet());
    settings.read();
}

CreateShSheetState::~CreateShSheetState() {
    if (!finished_) cancel();
}

std::vector<TkString> CreateShSheetState::openExamples(const TkString& folder) {
    std::vector<TkString> opened;
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(fsPath(folder), ec)) return opened;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(fsPath(folder), ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && vrutHasExtension(tkFromUtf8(it->path().filename().string()), L".dst")) files.push_back(it->path());
    std::sort(files.begin(), files.end());  // directory order differs between file systems
    for (const fs::path& f : files)
        if (manager_.openSheetSet(tkPath(f).c_str())) opened.push_back(tkPath(f));
    return opened;
}

CSheetSet* CreateShSheetState::shownExample() const { return shown_; }

bool CreateShSheetState::showExample(const TkString& path) {
    if (shown_ && path == shownPath_) return true;  // the same example is copied once
    if (!manager_.openSheetSet(path.c_str())) return false;
    shown_ = manager_.getSheetSet(manager_.getCurrent());
    shownPath_ = path;
    newSet_->copyFromSheetSet(shown_, false);
    settings.setPath(WizardSettings::kLastCopiedSheetSet, settings.lastCopiedSheetSet, path);
    return true;
}

TkString CreateShSheetState::proposedLocation() {
    std::error_code ec;
    if (!settings.sheetSetCreatePath.empty() && fs::is_directory(fsPath(settings.sheetSetCreatePath), ec))
        return settings.sheetSetCreatePath;
    TkString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdWString();
    TkString folder = documents + L"/" + CNqSystem::instance().productName() + L" Sheet Sets";
    fs::create_directories(fsPath(folder), ec);
    return folder;
}

TkString CreateShSheetState::proposedName(const TkString& location, const TkString& base) {
    std::vector<TkString> taken;
    std::error_code ec;
    for (fs::directory_iterator it(fsPath(location), ec), end; !ec && it != end; it.increment(ec)) {
        TkString name = tkFromUtf8(it->path().filename().string());
        if (name.size() > 4 && vrutHasExtension(name, L".dst")) taken.push_back(name.substr(0, name.size() - 4));
    }
    for (int n = 1; n < 10000; ++n) {
        TkString candidate = base + L" (" + std::to_wstring(n) + L")";
        if (std::find(taken.begin(), taken.end(), candidate) == taken.end()) return candidate;
    }
    return TkString();  // every number taken: the user names it
}

bool CreateShSheetState::locationHasInvalidCharacters(const TkString& location) {
    // The path separator, and the backslash and colon of paths written elsewhere, are allowed.
    static const TkString invalid = L"<>?\";*|,=`";
    return location.find_first_of(invalid) != TkString::npos;
}

TkString CreateShSheetState::dataFilePath(const TkString& location, const TkString& name) {
    TkString file = vrutHasExtension(name, L".dst") ? name : name + L".dst";
    return tkPath(fsPath(location) / fsPath(file));
}

bool CreateShSheetState::writeDataFile(const TkString& dataFile, const TkString& name, const TkString& description,
                                       const TkString& location) {
    if (holdsDataFile()) {  // an earlier pass through the details page wrote one
        releaseHeld();
        removeFile(dataFile_);
    }
    dataFile_.clear();
    std::error_code ec;
    if (fs::exists(fsPath(dataFile), ec)) return false;
    newSet_->setName(name.c_str());
    newSet_->setDesc(description.c_str());
    newSet_->setFileName(dataFile.c_str());
    newSet_->setNewSheetLocation(location.c_str(), true);
    newSet_->setFileName(dataFile.c_str());
    dataFile_ = dataFile;
    if (newSet_->save()) heldFd_ = ::open(tkToUtf8(dataFile).c_str(), O_RDWR | O_CLOEXEC);
    settings.setPath(WizardSettings::kSheetSetCreatePath, settings.sheetSetCreatePath, location);
    return true;
}

void CreateShSheetState::releaseHeld() {
    if (heldFd_ >= 0) ::close(heldFd_);
    heldFd_ = -1;
}

void CreateShSheetState::dropDataFile() {
    if (holdsDataFile()) {
        releaseHeld();
        removeFile(dataFile_);
    }
}

int CreateShSheetState::buildFromDrawings(const std::vector<ScannedFolder>& tops, const ImportOptions& options) {
    return buildSheetsFromFolders(*newSet_, tops, options);
}

bool CreateShSheetState::finish(std::vector<TkString>& problems) {
    releaseHeld();
    const TkString backup = dataFile_ + L".bak";
    const bool hadBackup = vrutPathExists(backup);
    const bool saved = newSet_->save();
    if (saved && !hadBackup) removeFile(backup);  // the details page's copy is no earlier version
    if (!saved) problems.push_back(dataFile_ + L": " + newSet_->lastSaveError());
    // The chosen drawings are left as they are: the set is complete once each sheet's drawing has
    // been opened and saved here, or all of them resaved at once.
    manager_.releaseSheetSet(newSet_);
    newSet_ = nullptr;
    finished_ = true;
    settings.write();
    return saved;
}

void CreateShSheetState::cancel() {
    dropDataFile();
    if (newSet_) manager_.releaseSheetSet(newSet_);
    newSet_ = nullptr;
    finished_ = true;
    settings.write();
}

bool CreateShSheetState::proposedTemplate(TkString& layout, TkString& handle, TkString& file) {
    const TkString path = CNqSystem::instance().profileString(L"General", L"AlternativePageSetUpsTemplate");
    if (path.empty() || !vrutPathExists(path)) return false;
    DwgReader reader;
    reader.load(path, false);
    std::vector<TkString> names;
    std::vector<uint32_t> handles;
    if (!reader.database || reader.listPaperLayouts(true, names, handles) == 0) return false;
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%X", handles.front());
    layout = names.front();
    handle = hex;
    file = path;
    return true;
}
