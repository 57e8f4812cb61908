// The sheet set data file: every property survives a save and reopen, paths follow a moved project
// folder, damaged or newer files are refused without touching them, and a save keeps a backup.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <random>
#include <filesystem>

#include "tests/support/TestFiles.h"
#include "toolkit/sm/TkSmDatabase.h"

namespace fs = std::filesystem;

namespace {

TkString W(const std::string& utf8) { return tkFromUtf8(utf8); }

template <class T>
T* owned(TkSmObject* owner) {
    T* p = T::create();
    p->initNew(owner);
    return p;
}

// A sheet set with every kind of property, in `folder`.
TkSmDatabase* fillSheetSet(TkSmSheetSetMgr* mgr, const fs::path& folder) {
    TkSmDatabase* db = mgr->createDatabase(W((folder / "Riverside Library.dst").string()), L"", false);
    TkSmSheetSet* ss = db->getSheetSet();
    ss->setName(W("Riverside Library \xE5\x9B\xBE\xE7\xBA\xB8"));
    ss->setDesc(L"Line one\r\nLine two\twith a tab and 100% effort");
    ss->setProjectNumber(L"P-2041");
    ss->setProjectName(L"Riverside");
    ss->setProjectPhase(L"Design development");
    ss->setProjectMilestone(L"DD 50%");
    ss->setPromptForDwt(true);
    auto* loc = owned<TkSmFileReference>(ss);
    loc->setFileName(W((folder / "Sheets").string()));
    ss->setNewSheetLocation(loc);
    loc->release();
    auto* tmpl = owned<TkSmDbLayoutReference>(ss);
    tmpl->setName(L"A1");
    tmpl->setHandle(L"68");
    tmpl->setFileName(W((folder / "Templates" / "Vorn Sheet.dwt").string()));
    ss->setDefDwtLayout(tmpl);
    tmpl->release();
    auto* label = owned<TkSmDbBlockRecordReference>(ss);
    label->setName(L"VIEWLABEL");
    label->setHandle(L"2A1");
    label->setOwnerHandle(L"1F");
    label->setFileName(W((folder / "Blocks.dwg").string()));
    ss->setDefLabelBlk(label);
    label->release();
    for (const char* name : {"CALLOUT_A", "CALLOUT_B"}) {
        auto* c = owned<TkSmDbBlockRecordReference>(ss->getCalloutBlocks());
        c->setName(W(name));
        c->setFileName(W((folder / "Blocks.dwg").string()));
        ss->getCalloutBlocks()->add(c);
        c->release();
    }
    auto* mv = owned<TkSmFileReference>(ss->getResources());
    mv->setFileName(W((folder / "Model Views").string()));
    ss->getResources()->add(mv);
    mv->release();
    auto* client = owned<TkSmCustomPropertyValue>(ss->getCustomPropertyBag());
    client->setValue(TkSmVariant::fromText(L"City of Riverside"));
    client->setFlags(1);
    ss->getCustomPropertyBag()->setProperty(L"Client", client);
    client->release();
    auto* checker = owned<TkSmCustomPropertyValue>(ss->getCustomPropertyBag());
    checker->setValue(TkSmVariant::fromText(L""));
    checker->setFlags(2);
    ss->getCustomPropertyBag()->setProperty(L"Checked by", checker);
    checker->release();

    TkSmSubset* arch = ss->createSubset(L"Architecture", L"");
    arch->setOverrideSheetPublish(true);
    TkSmSubset* plans = arch->createSubset(L"Plans", L"floor plans");
    for (int i = 1; i <= 3; ++i) {
        TkSmSheet* s = plans->addNewSheet(L"Plan " + std::to_wstring(i), L"");
        s->setNumber(L"A-10" + std::to_wstring(i));
        s->setTitle(L"Floor " + std::to_wstring(i));
        s->setRevisionNumber(L"C");
        s->setRevisionDate(L"2026-11-30");
        s->setIssuePurpose(L"For coordination");
        s->setCategory(L"Plans");
        s->setDoNotPlot(i == 2);
        auto* l = owned<TkSmDbLayoutReference>(s);
        l->setName(L"A-10" + std::to_wstring(i) + L" Floor");
        l->setHandle(L"8B");
        l->setFileName(W((folder / "Sheets" / ("A-10" + std::to_string(i) + " plan.dwg")).string()));
        s->setLayout(l);
        l->release();
        auto* v = owned<TkSmCustomPropertyValue>(s->getCustomPropertyBag());
        v->setValue(TkSmVariant::fromText(L"MC"));
        v->setFlags(2);
        s->getCustomPropertyBag()->setProperty(L"Checked by", v);
        v->release();
    }
    TkSmSheetSelSet* sel = ss->getSheetSelSets()->add(L"For client", L"");
    auto e = plans->getSheetEnumerator();
    sel->add(e.next());
    sel->add(plans);
    return db;
}

std::string describe(const TkSmDatabase* db) {
    // Every stored property, as text, in tree order.
    std::string out;
    auto add = [&](const TkString& s) { out += tkToUtf8(s) + "|"; };
    auto addFile = [&](const TkSmFileReference* f) {
        if (!f) { out += "-|"; return; }
        add(f->getFileName());
        if (auto* l = tkSmSafeCast<TkSmDbLayoutReference>(const_cast<TkSmFileReference*>(f))) { add(l->getName()); add(l->getHandle()); }
        if (auto* b = tkSmSafeCast<TkSmDbBlockRecordReference>(const_cast<TkSmFileReference*>(f))) {
            add(b->getName()); add(b->getHandle()); add(b->getOwnerHandle());
        }
    };
    auto addProps = [&](const TkSmComponent* c) {
        for (auto& p : c->getCustomPropertyBag()->properties()) {
            add(p.name);
            add(p.value->getValue().toText());
            out += std::to_string(p.value->getFlags()) + "|";
        }
    };
    std::function<void(const TkSmSubset*)> subset = [&](const TkSmSubset* s) {
        add(s->getName()); add(s->getDesc());
        out += std::to_string(s->getPromptForDwt()) + std::to_string(s->getOverrideSheetPublish()) + "|";
        addFile(s->getNewSheetLocation());
        addFile(s->getDefDwtLayout());
        addProps(s);
        for (auto e = s->getSheetEnumerator(); auto* c = e.next();) {
            if (auto* sh = tkSmSafeCast<TkSmSheet>(c)) {
                add(sh->getName()); add(sh->getNumber()); add(sh->getTitle()); add(sh->getRevisionNumber());
                add(sh->getRevisionDate()); add(sh->getIssuePurpose()); add(sh->getCategory());
                out += std::to_string(sh->getDoNotPlot()) + "|";
                addFile(sh->getLayout());
                addProps(sh);
            } else {
                subset(tkSmCast<TkSmSubset>(c));
            }
        }
    };
    const TkSmSheetSet* ss = db->getSheetSet();
    add(ss->getProjectNumber()); add(ss->getProjectName()); add(ss->getProjectPhase()); add(ss->getProjectMilestone());
    addFile(ss->getAltPageSetups());
    addFile(ss->getDefLabelBlk());
    for (auto e = ss->getCalloutBlocks()->getEnumerator(); auto* b = e.next();) addFile(b);
    for (auto e = ss->getResources()->getEnumerator(); auto* f = e.next();) addFile(f);
    for (auto e = ss->getSheetSelSets()->getEnumerator(); auto* s = e.next();) {
        add(s->getName());
        for (auto m = s->getEnumerator(); auto* c = m.next();) add(c->getName());
    }
    subset(ss);
    return out;
}

}  // namespace

TEST(SheetSetStore, EveryPropertySurvivesSaveAndReopen) {
    ScratchDir dir;
    fs::path folder = dir.path() / "Project folder \xC3\xA9t\xC3\xA9";
    fs::create_directories(folder / "Sheets");
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = fillSheetSet(mgr.get(), folder);
    std::string before = describe(db);
    db->save();
    EXPECT_FALSE(db->isModified());

    TkSmPtr<TkSmSheetSetMgr> other = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* back = other->openDatabase(db->getFileName());
    EXPECT_EQ(describe(back), before);
    EXPECT_EQ(back->getSheetSet()->getName(), W("Riverside Library \xE5\x9B\xBE\xE7\xBA\xB8"));
    EXPECT_EQ(back->getSheetSet()->getDesc(), L"Line one\r\nLine two\twith a tab and 100% effort");
    EXPECT_EQ(other->openDatabase(db->getFileName()), back);  // open twice: one database
    // Ids are stable: a second save writes the same file.
    std::string first = readFileText(tkToUtf8(db->getFileName()));
    back->save();
    EXPECT_EQ(readFileText(tkToUtf8(db->getFileName())), first);
}

TEST(SheetSetStore, MovedProjectFolderStillResolves) {
    ScratchDir dir;
    fs::path folder = dir.path() / "Riverside";
    fs::create_directories(folder / "Sheets");
    writeFileText((folder / "Sheets" / "A-101 plan.dwg").string(), "x");
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = fillSheetSet(mgr.get(), folder);
    db->save();
    mgr->closeDatabase(db);
    // The folder moves to another place, as on another drafter's mapped share.
    fs::path moved = dir.path() / "share" / "Riverside (moved)";
    fs::create_directories(moved.parent_path());
    fs::rename(folder, moved);
    TkSmDatabase* back = mgr->openDatabase(W((moved / "Riverside Library.dst").string()));
    auto plans = tkSmCast<TkSmSubset>(tkSmCast<TkSmSubset>(back->getSheetSet()->getSheetEnumerator().next())->getSheetEnumerator().next());
    TkSmSheet* first = tkSmCast<TkSmSheet>(plans->getSheetEnumerator().next());
    EXPECT_EQ(first->getLayout()->getFileName(), W((moved / "Sheets" / "A-101 plan.dwg").string()));
    EXPECT_EQ(back->getSheetSet()->getNewSheetLocation()->getFileName(), W((moved / "Sheets").string()));
    // A file that is gone everywhere is reported where the moved folder would hold it.
    EXPECT_EQ(back->getSheetSet()->getDefDwtLayout()->getFileName(), W((moved / "Templates" / "Vorn Sheet.dwt").string()));
}

TEST(SheetSetStore, DamagedAndNewerFilesAreRefusedAndLeftAlone) {
    ScratchDir dir;
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = fillSheetSet(mgr.get(), dir.path());
    db->save();
    db->getSheetSet()->setProjectPhase(L"Construction");
    db->save();  // the first file becomes the backup
    std::string path = tkToUtf8(db->getFileName());
    std::string good = readFileText(path);
    ASSERT_TRUE(fs::exists(path + ".bak"));

    auto refused = [&](const std::string& text, TkErrorCode code, const char* says) {
        writeFileText(path, text);
        TkSmPtr<TkSmSheetSetMgr> m = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
        try {
            m->openDatabase(W(path));
            ADD_FAILURE() << "opened: " << says;
        } catch (const TkException& e) {
            EXPECT_EQ(e.code(), code) << e.what();
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(path + ".bak"), std::string::npos) << e.what();
        }
        EXPECT_EQ(readFileText(path), text);  // refusing never writes
    };
    refused(good.substr(0, good.size() / 2), TkError_BadFormat, "line");
    refused("\x00\x01garbage\xFF", TkError_BadFormat, "damaged");
    refused("<?xml version=\"1.0\"?><Other/>", TkError_BadFormat, "not a sheet set");
    std::string newer = good;
    newer.replace(newer.find("format=\"1\""), 10, "format=\"7\"");
    refused(newer, TkError_UnsupportedVersion, "newer version");

    // Saving over a damaged file does not make the damaged file the backup.
    std::string backup = readFileText(path + ".bak");
    writeFileText(path, "<broken");
    db->save();
    EXPECT_EQ(readFileText(path + ".bak"), backup);

    TkSmPtr<TkSmSheetSetMgr> m = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    try {
        m->openDatabase(W(dir.file("none.dst")));
        ADD_FAILURE();
    } catch (const TkException& e) {
        EXPECT_EQ(e.code(), TkError_FileNotFound);
    }
}

TEST(SheetSetStore, FailingWriteLeavesTheOldFileReadable) {
    ScratchDir dir;
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = fillSheetSet(mgr.get(), dir.path());
    db->save();
    std::string path = tkToUtf8(db->getFileName());
    std::string before = readFileText(path);
    for (int i = 0; i < 200; ++i) db->getSheetSet()->addNewSheet(L"Sheet " + std::to_wstring(i), L"grows the file");
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = before.size() + 100;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool threw = false;
    try {
        db->save();
    } catch (const TkException& e) {
        threw = e.code() == TkError_WriteFailed;
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(readFileText(path), before);
    TkSmPtr<TkSmSheetSetMgr> m = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    EXPECT_NO_THROW(m->openDatabase(W(path)));
}

TEST(SheetSetStore, TypeTestsAndTreeEdits) {
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = mgr->createDatabase(L"", L"", false);
    TkSmSheetSet* ss = db->getSheetSet();
    TkSmSheet* a = ss->addNewSheet(L"A", L"");
    TkSmSheet* b = ss->addNewSheet(L"B", L"");
    TkSmSubset* sub = ss->createSubset(L"S", L"");
    try {
        tkSmCast<TkSmSubset>(a);
        ADD_FAILURE();
    } catch (const TkException& e) {
        EXPECT_EQ(e.code(), TkError_NotThatKindOfClass);
    }
    EXPECT_NE(tkSmSafeCast<TkSmSubset>(ss), nullptr);  // the sheet set is the root subset
    EXPECT_EQ(tkSmSafeCast<TkSmSheetSet>(sub), nullptr);
    // Moving a sheet into a subset and before another child keeps one copy, in order.
    ss->insertComponent(b, a);
    auto names = [](TkSmSubset* s) {
        std::wstring out;
        for (auto e = s->getSheetEnumerator(); auto* c = e.next();) out += c->getName();
        return out;
    };
    EXPECT_EQ(names(ss), L"BAS");
    sub->insertComponent(a, nullptr);
    EXPECT_EQ(names(ss), L"BS");
    EXPECT_EQ(names(sub), L"A");
    EXPECT_EQ(a->owner(), sub);
    EXPECT_THROW(sub->insertComponent(ss, nullptr), TkException);
    TkSmSubset* inner = sub->createSubset(L"I", L"");
    EXPECT_THROW(inner->insertComponent(sub, nullptr), TkException);  // a subset into its own child
    // Objects of another database are refused.
    TkSmDatabase* other = mgr->createDatabase(L"", L"", false);
    EXPECT_THROW(ss->insertComponent(other->getSheetSet()->addNewSheet(L"X", L""), nullptr), TkException);
    ss->removeSheet(b);
    EXPECT_EQ(names(ss), L"S");
    // A selection holds sheets, subsets and the sheet set itself (pointed at, not held: the set
    // holds the selection), never another selection.
    TkSmSheetSelSet* sel = ss->getSheetSelSets()->add(L"All", L"");
    sel->add(ss);
    sel->add(sub);
    EXPECT_THROW(sel->add(sel), TkException);
    auto e = sel->getEnumerator();
    EXPECT_EQ(e.next(), ss);
    EXPECT_EQ(e.next(), sub);
}

// Values the store cannot take are refused with a reason, never an abort.
TEST(SheetSetStore, BadValuesAreRefusedWithAReason) {
    ScratchDir dir;
    const std::string path = dir.file("bad.dst");
    for (const char* value : {"ZZ", "ABC", "0G"}) {
        writeFileText(path, std::string("<VornSheetSet format=\"1\"><SheetSet id=\"1\" name=\"x\"><Properties id=\"2\">"
                                        "<Property id=\"3\" name=\"Seal\" type=\"binary\" flags=\"1\" value=\"") +
                                value + "\" /></Properties></SheetSet></VornSheetSet>\n");
        TkSmPtr<TkSmSheetSetMgr> m = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
        try {
            m->openDatabase(W(path));
            ADD_FAILURE() << value << " was accepted";
        } catch (const TkException& e) {
            EXPECT_NE(std::string(e.what()).find("not hexadecimal"), std::string::npos) << e.what();
        }
    }
}

// Found by fuzzing: a part of the set whose stored id is no id kept the low id the empty database
// gave it, which the file had given to another object; the saved file then held one id twice.
TEST(SheetSetStore, BadIdsNeverMakeASaveThatCannotBeRead) {
    ScratchDir dir;
    const std::string path = dir.file("ids.dst");
    writeFileText(path, "<VornSheetSet format=\"1\"><SheetSet id=\"10\" name=\"x\"><CalloutBlocks id=\"-5\"/>"
                        "<ModelViewFolders id=\"99999999999999999999\"/><SheetSelections/><Properties id=\"11\">"
                        "<Property id=\"1\" name=\"A\" type=\"wtext\" flags=\"1\" value=\"v\"/>"
                        "<Property id=\"02\" name=\"B\" type=\"wtext\" flags=\"1\" value=\"v\"/>"
                        "<Property id=\"3\" name=\"C\" type=\"wtext\" flags=\"1\" value=\"v\"/>"
                        "<Property id=\"4\" name=\"D\" type=\"wtext\" flags=\"1\" value=\"v\"/>"
                        "<Property id=\"5\" name=\"E\" type=\"wtext\" flags=\"1\" value=\"v\"/>"
                        "</Properties></SheetSet></VornSheetSet>\n");
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = mgr->openDatabase(W(path));
    db->setFileName(W(dir.file("saved.dst")));
    db->save();
    TkSmPtr<TkSmSheetSetMgr> again = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    EXPECT_NO_THROW(again->openDatabase(W(dir.file("saved.dst"))));
}

TEST(SheetSetStore, MutatedFilesOpenOrAreRefusedNeverCrash) {
    ScratchDir dir;
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = fillSheetSet(mgr.get(), dir.path());
    db->save();
    const std::string good = readFileText(tkToUtf8(db->getFileName()));
    const std::string path = dir.file("mutated.dst");
    std::mt19937 rng(11);
    const char* junk[] = {"id=\"1\"", "ref=\"999\"", "<Sheet>", "</Subset>", "type=\"binary\" value=\"ZZ\"", "format=\"0\"",
                          "role=\"Layout\"", "%", "\xFF", "id=\"3\""};
    int opened = 0;
    for (int round = 0; round < 400; ++round) {
        std::string text = good;
        size_t at = std::uniform_int_distribution<size_t>(0, text.size() - 1)(rng);
        switch (round % 4) {
        case 0: text.resize(at); break;
        case 1: text[at] = static_cast<char>(rng()); break;
        case 2: text.insert(at, junk[rng() % std::size(junk)]); break;
        default: text.erase(at, std::uniform_int_distribution<size_t>(1, 60)(rng));
        }
        writeFileText(path, text);
        TkSmPtr<TkSmSheetSetMgr> m = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
        try {
            TkSmDatabase* d = m->openDatabase(W(path));
            ++opened;
            (void)describe(d);
            d->setFileName(W(dir.file("resaved.dst")));
            d->save();
        } catch (const TkException& e) {
            EXPECT_NE(std::string(e.what()), "");
        }
    }
    EXPECT_GT(opened, 20);
}
