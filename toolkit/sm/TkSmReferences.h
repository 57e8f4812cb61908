#pragma once
// References from a sheet set to things outside it: a file or folder, a layout in a drawing, a
// block definition in a drawing. The path is stored both relative to the sheet set's folder and
// absolute; when the set is read, the relative one is preferred, so a project folder that was
// moved or reached through another share keeps working.
#include "toolkit/sm/TkSmObject.h"

class TkSmFileReference : public TkSmObject {
    TKSM_DECLARE_CLASS(TkSmFileReference)
public:
    static TkSmFileReference* create() { return new TkSmFileReference; }
    const TkString& getFileName() const { return file_; }
    void setFileName(const TkString& path);
    // The path to use now: the stored relative path from the sheet set's folder if that exists,
    // else the absolute path if that exists, else the relative one again (a moved folder whose
    // file is gone is still reported where it should be).
    TkString resolveFileName() const;
    // The absolute path the data file recorded, before a moved folder was followed; empty for a
    // reference made in this session.
    const TkString& getRecordedFileName() const { return recorded_; }

protected:
    TkSmFileReference() = default;

private:
    friend class TkSmStore;
    friend struct TkSmStoreReader;
    TkString file_;
    TkString relative_;  // as last read or written; recomputed on save
    TkString recorded_;
};

class TkSmDbLayoutReference : public TkSmFileReference {
    TKSM_DECLARE_CLASS(TkSmDbLayoutReference)
public:
    static TkSmDbLayoutReference* create() { return new TkSmDbLayoutReference; }
    const TkString& getName() const { return name_; }
    void setName(const TkString& n);
    const TkString& getHandle() const { return handle_; }  // hexadecimal text
    void setHandle(const TkString& h);

protected:
    TkSmDbLayoutReference() = default;

private:
    TkString name_, handle_;
};

class TkSmDbBlockRecordReference : public TkSmFileReference {
    TKSM_DECLARE_CLASS(TkSmDbBlockRecordReference)
public:
    static TkSmDbBlockRecordReference* create() { return new TkSmDbBlockRecordReference; }
    const TkString& getName() const { return name_; }
    void setName(const TkString& n);
    const TkString& getHandle() const { return handle_; }
    void setHandle(const TkString& h);
    const TkString& getOwnerHandle() const { return ownerHandle_; }
    void setOwnerHandle(const TkString& h);

protected:
    TkSmDbBlockRecordReference() = default;

private:
    TkString name_, handle_, ownerHandle_;
};
