#pragma once
// A sheet set data file (".dst") in memory: its file name, the sheet set object and saving.
#include <cstdint>
#include <vector>

#include "toolkit/common/TkFileIdentity.h"
#include "toolkit/sm/TkSmComponents.h"

class TkSmDatabase : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmDatabase)
public:
    const TkString& getFileName() const { return fileName_; }
    void setFileName(const TkString& path);
    TkSmSheetSet* getSheetSet() const { return sheetSet_.get(); }
    // The sheet set data file this one was created from, if any; shown, never interpreted.
    const TkString& getTemplateDstFileName() const { return templateName_; }
    bool isModified() const { return modified_; }
    // Writes the data file atomically and keeps the previous good file as NAME.dst.bak.
    // Raises TkException (TkError_WriteFailed, TkError_InvalidInput without a file name).
    void save();
    // The data file as this database last read or wrote it. A file on disk that still has this
    // identity holds exactly what this database was read from or saved; any other was changed.
    const TkFileIdentity& diskIdentity() const { return disk_; }

    uint64_t allocateId() { return nextId_++; }
    // The folder the data file was saved in, as its references recorded, when that is not the
    // folder it was read from: a copied or moved project, whose stored paths still name the old place.
    const TkString& savedElsewhere() const { return savedElsewhere_; }

private:
    friend class TkSmObject;
    friend class TkSmSheetSetMgr;
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    TkSmDatabase();
    TkString fileName_, templateName_, savedElsewhere_;
    TkSmPtr<TkSmSheetSet> sheetSet_;
    uint64_t nextId_ = 1;
    bool modified_ = false;
    TkFileIdentity disk_;
};

class TkSmSheetSetMgr : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmSheetSetMgr)
public:
    static TkSmSheetSetMgr* create() { return new TkSmSheetSetMgr; }
    // Opens a data file; a file this manager has open already gives the same database. Raises
    // TkException when the file is missing, unreadable, damaged or of a newer format; the message
    // names the backup when one exists. The manager holds the database until closeDatabase.
    TkSmDatabase* openDatabase(const TkString& path);
    // Reads the file again into a new database, even while this manager has it open: the caller
    // swaps its objects over and then closes the old database. Raises as openDatabase does and
    // then leaves the old database as it was.
    TkSmDatabase* openDatabaseAgain(const TkString& path);
    // A new database with an empty sheet set. `templateName` is only remembered.
    TkSmDatabase* createDatabase(const TkString& fileName, const TkString& templateName, bool alwaysCreate);
    void closeDatabase(TkSmDatabase* db);
    size_t openCount() const { return open_.size(); }

protected:
    TkSmSheetSetMgr() = default;
    ~TkSmSheetSetMgr() override;

private:
    std::vector<TkSmPtr<TkSmDatabase>> open_;
};
