#include "tools/examplegen/ExampleSheetSet.h"

#include <cstdio>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/sm/TkSmDatabase.h"

namespace {

TkString W(const std::string& s) { return tkFromUtf8(s); }

template <class T>
T* owned(TkSmObject* owner) {
    T* p = T::create();
    p->initNew(owner);
    return p;
}

void addProperty(TkSmComponent* c, const TkString& name, const TkString& value, long flags) {
    auto* v = owned<TkSmCustomPropertyValue>(c->getCustomPropertyBag());
    v->setValue(TkSmVariant::fromText(value));
    v->setFlags(flags);
    c->getCustomPropertyBag()->setProperty(name, v);
    v->release();
}

}  // namespace

bool writeExampleSheetSet(const std::filesystem::path& folder, const std::vector<ExampleDrawing>& drawings,
                          const std::filesystem::path& sheetTemplate) {
    namespace fs = std::filesystem;
    fs::path dst = fs::absolute(folder) / "Riverside Library.dst";
    TkSmPtr<TkSmSheetSetMgr> mgr = TkSmPtr<TkSmSheetSetMgr>::adopt(TkSmSheetSetMgr::create());
    TkSmDatabase* db = mgr->createDatabase(W(dst.string()), L"", false);
    TkSmSheetSet* ss = db->getSheetSet();
    ss->setName(L"Riverside Library");
    ss->setDesc(L"New public library on the river front: architecture and structure.");
    ss->setProjectNumber(L"P-2041");
    ss->setProjectName(L"Riverside Library");
    ss->setProjectPhase(L"Design development");
    ss->setProjectMilestone(L"DD issue");
    addProperty(ss, L"Client", L"City of Riverside", 1);
    addProperty(ss, L"Checked by", L"", 2);

    auto* location = owned<TkSmFileReference>(ss);
    location->setFileName(W((fs::absolute(folder) / "drawings").string()));
    ss->setNewSheetLocation(location);
    location->release();
    TkDbDatabase tmpl;
    if (TkDbResult r = tmpl.readDxfFile(sheetTemplate.string()); !r) {
        std::fprintf(stderr, "make-examples: %s: %s\n", sheetTemplate.c_str(), r.describe().c_str());
        return false;
    }
    if (auto a1 = tmpl.findLayout("A1")) {
        auto* t = owned<TkSmDbLayoutReference>(ss);
        t->setName(L"A1");
        t->setHandle(W(a1->handleText()));
        t->setFileName(W(fs::absolute(sheetTemplate).string()));
        ss->setDefDwtLayout(t);
        t->release();
    }

    TkSmSubset* arch = ss->createSubset(L"Architecture", L"General arrangement plans");
    TkSmSubset* structure = ss->createSubset(L"Structure", L"Foundations and framing");
    for (const ExampleDrawing& d : drawings) {
        TkDbDatabase dwg;
        if (TkDbResult r = dwg.readDxfFile(d.path.string()); !r) {
            std::fprintf(stderr, "make-examples: %s: %s\n", d.path.c_str(), r.describe().c_str());
            return false;
        }
        TkSmSubset* target = d.number.starts_with("S-") ? structure : arch;
        for (const TkDbLayout& l : dwg.layouts()) {
            if (!dwg.isInitialized(l)) continue;  // model space and unused layouts are no sheets
            bool reduced = l.name().ends_with("(A3)");
            TkString title = W(d.title) + (reduced ? L" (A3)" : L"");
            TkSmSheet* sheet = target->addNewSheet(title, L"");
            sheet->setNumber(W(d.number) + (reduced ? L"R" : L""));
            sheet->setTitle(title);
            sheet->setRevisionNumber(L"B");
            sheet->setRevisionDate(L"2026-11-30");
            sheet->setIssuePurpose(L"Design development");
            sheet->setCategory(d.number.starts_with("S-") ? L"Structure" : L"Architecture");
            sheet->setDoNotPlot(reduced);
            auto* ref = owned<TkSmDbLayoutReference>(sheet);
            ref->setName(W(l.name()));
            ref->setHandle(W(l.handleText()));
            ref->setFileName(W(fs::absolute(d.path).string()));
            sheet->setLayout(ref);
            ref->release();
            addProperty(sheet, L"Checked by", L"MC", 2);
        }
    }
    TkSmSheetSelSet* issue = ss->getSheetSelSets()->add(L"DD issue", L"Sheets for the design development issue");
    issue->add(arch);
    try {
        db->save();
    } catch (const TkException& e) {
        std::fprintf(stderr, "make-examples: %s\n", e.what());
        return false;
    }
    std::printf("wrote %s\n", dst.c_str());
    return true;
}
