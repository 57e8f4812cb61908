#include "module/NamedFunctions.h"

#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/PlotService.h"
#include "drawings/SheetSetLock.h"
#include "model/ItemLookup.h"
#include "model/PublishGather.h"
#include "model/SheetSetMgrImpl.h"
#include "module/ModuleState.h"
#include "palette/SheetSetBar.h"

NqValue keyHasSheetSet(const std::vector<NqValue>&) {
    CSheetSetBar* bar = sheetSetModule().palette;
    if (!bar) return false;
    VrResBuf titled;
    if (CNqSystem::instance().getVar(L"DWGTITLED", titled) != RTNORM || titled.integer != 1) return false;
    CSheetSetMgr* mgr = bar->getSheetSetMgr();
    if (!mgr || mgr->getCount() == 0 || mgr->getCurrent() < 0) return false;
    // Editable means nobody else holds it and it can be written. Asked, never tried: a trial lock
    // would make a colleague's real attempt fail.
    CSheetSet* set = mgr->getSheetSet(mgr->getCurrent());
    if (!set) return false;
    int status = set->getLockStatus();
    return status == 0 || status == 1;
}

NqValue keyImportLayoutsDlgFun(const std::vector<NqValue>& args) {
    // The palette imports the named layouts of the current drawing; nothing happens without it.
    CSheetSetBar* bar = sheetSetModule().palette;
    VrApDocument* doc = vrDocManagerPtr() ? vrDocManagerPtr()->curDocument() : nullptr;
    if (!bar || !doc) return {};
    std::vector<TkString> names;
    for (const NqValue& a : args) {
        if (const auto* list = std::get_if<std::vector<TkString>>(&a)) names.insert(names.end(), list->begin(), list->end());
        else if (const auto* one = std::get_if<TkString>(&a)) names.push_back(*one);
    }
    bar->getImportLayoutsDlg(doc->fileName(), names);
    return {};
}

NqValue keyPublishSheetSet(const std::vector<NqValue>& args) {
    CSheetSetBar* bar = sheetSetModule().palette;
    CNqPlotSvr* plot = vrPlotService();
    CSheetSetMgr* mgr = bar ? bar->getSheetSetMgr() : nullptr;
    const auto* file = args.empty() ? nullptr : std::get_if<TkString>(&args.front());
    if (!plot || !mgr || mgr->getCurrent() < 0 || !file || file->empty()) return 3LL;
    CSheetSet* set = mgr->getSheetSet(mgr->getCurrent());
    std::vector<TkString> specs;
    for (size_t i = 1; i < args.size(); ++i) {
        if (const auto* one = std::get_if<TkString>(&args[i])) specs.push_back(*one);
        else if (const auto* list = std::get_if<std::vector<TkString>>(&args[i])) specs.insert(specs.end(), list->begin(), list->end());
    }
    std::vector<CComponent*> items;
    for (const TkString& spec : specs) {
        if (spec.empty()) continue;
        TkString error;
        CComponent* c = findItem(set, spec, error);
        if (!c) return 3LL;
        items.push_back(c);
    }
    if (items.empty()) items.push_back(set);
    return static_cast<long long>(plot->publishToFile(makePublishJob(set, gatherPublishSheets(items)), *file));
}
