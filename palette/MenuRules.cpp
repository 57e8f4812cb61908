#include "palette/MenuRules.h"

#include <QMenu>

#include "host/PathUtil.h"
#include "model/SheetSetMessages.h"
#include "palette/PaletteIds.h"
#include "palette/PaletteText.h"

using namespace pal;

namespace {

MenuItem cmd(int id, int stringId, const wchar_t* def, bool enabled = true, bool checked = false) {
    MenuItem m;
    m.id = id;
    m.text = paletteText(stringId, def);
    m.enabled = enabled;
    m.checked = checked;
    return m;
}

MenuItem separator() {
    MenuItem m;
    m.kind = MenuItem::Separator;
    return m;
}

MenuItem submenu(int stringId, const wchar_t* def, MenuSpec items, bool enabled = true, bool checked = false) {
    MenuItem m;
    m.kind = MenuItem::Submenu;
    m.text = paletteText(stringId, def);
    m.items = std::move(items);
    m.enabled = enabled;
    m.checked = checked;
    return m;
}

MenuItem plain(int stringId, const wchar_t* def, bool enabled) {
    MenuItem m;
    m.kind = MenuItem::Plain;
    m.text = paletteText(stringId, def);
    m.enabled = enabled;
    return m;
}

// "&Publish": the submenu with docs, a grayed plain item without.
MenuItem publishEntry(const MenuFacts& f, const MenuSpec& publish) {
    if (!f.docs) return plain(26933, L"&Publish", false);
    return submenu(26933, L"&Publish", publish);
}

// A publish kind the host's plot service cannot make stays in the menu, grayed, saying why.
MenuItem publishKind(int id, int stringId, const wchar_t* def, bool publishable, bool made, const QString& why) {
    MenuItem m = cmd(id, stringId, def, publishable && made);
    if (!made) m.toolTip = why;
    return m;
}

bool sheetPublishable(const CSheet* s) {
    auto* parent = static_cast<const CSubset*>(s->getParent());
    return s->getIncludeForPublish() && (!parent || parent->getIncludeForPublish());
}
}  // namespace

bool isPublishable(const std::vector<CComponent*>& selected) {
    for (CComponent* c : selected) {
        if (c->getType() == kComponentSheet) {
            if (sheetPublishable(static_cast<CSheet*>(c))) return true;
            continue;
        }
        auto* subset = static_cast<CSubset*>(c);
        if (!subset->getIncludeForPublish()) continue;
        std::vector<CSheet*> sheets;
        subset->getSheets(sheets, true);
        for (CSheet* s : sheets)
            if (sheetPublishable(s)) return true;
    }
    return false;
}

MenuSpec viewMenu(const MenuFacts& f) {
    const int s = f.toolTipStyle;
    MenuSpec sizes1 = {cmd(2708, 26902, L"Small (64 px)"), cmd(2709, 26903, L"Medium (128 px)"), cmd(2710, 26904, L"Large (256 px)")};
    MenuSpec sizes2 = {cmd(2712, 26902, L"Small (64 px)"), cmd(2713, 26903, L"Medium (128 px)"), cmd(2714, 26904, L"Large (256 px)")};
    MenuSpec styles = {cmd(2707, 26901, L"Name", true, s == 0), submenu(26905, L"Preview", sizes1, true, s >= 1 && s <= 3),
                       cmd(2711, 26906, L"Details", true, s == 4),
                       submenu(26907, L"Preview && Details", sizes2, true, s >= 5 && s <= 7)};
    return {submenu(26908, L"Tooltip Style", styles), separator(),
            cmd(kCmdDetailsPane, 26909, L"Preview/Details Pane", true, f.detailsShown), cmd(kCmdClosePalette, 26910, L"Close")};
}

MenuSpec emptySpaceMenu(const MenuFacts& f) {
    MenuSpec m = {cmd(kCmdExpandAll, 26951, L"&Expand All"), cmd(kCmdCollapseAll, 26952, L"&Collapse All"), separator()};
    for (MenuItem& v : viewMenu(f)) m.push_back(std::move(v));
    return m;
}

MenuSpec publishMenu(const std::vector<CComponent*>& selected, CComponent* caret, const std::vector<TkString>& pageSetups,
                     const MenuFacts& f) {
    const bool publishable = isPublishable(selected);
    MenuSpec m = {publishKind(kCmdPublishDwf, 26911, L"Publish to &DWF", publishable, f.dwf,
                              paletteText(26961, L"Not available here: the host has no DWF writer. Publish to PDF, or to a plotter, instead.")),
                  publishKind(kCmdPublishDwfx2, 26912, L"Publish to DWF&x", publishable, f.dwfx,
                              paletteText(26962, L"Not available here: the host has no DWFx writer. Publish to PDF, or to a plotter, instead.")),
                  cmd(kCmdPublishPdf, 26913, L"Publish to PDF", publishable),
                  cmd(kCmdPublishPlotter, 26914, L"Publish to &Plotter", publishable)};
    if (pageSetups.empty()) {
        m.push_back(plain(26915, L"Publish using P&age Setup Override", false));
    } else {
        MenuSpec setups;
        for (size_t i = 0; i < pageSetups.size() && i < static_cast<size_t>(kPageSetupRangeSize); ++i) {
            MenuItem item;
            item.id = kCmdPageSetupFirst + static_cast<int>(i);
            item.text = QString::fromStdWString(pageSetups[i]);
            setups.push_back(item);
        }
        m.push_back(submenu(26915, L"Publish using P&age Setup Override", setups, publishable));
    }
    m.push_back(separator());
    const bool flagsEnabled = !f.locked && !selected.empty();
    if (caret && caret->getType() == kComponentSheet) {
        bool on = static_cast<CSheet*>(caret)->getIncludeForPublish();
        m.push_back(submenu(26921, L"Include for Publish",
                            {cmd(kCmdSheetPublishOn, 26919, L"&Yes", true, on), cmd(kCmdSheetPublishOff, 26920, L"&No", true, !on)},
                            flagsEnabled));
        m.push_back(separator());
    } else if (caret && caret->getType() == kComponentSubset) {
        bool on = static_cast<CSubset*>(caret)->getIncludeForPublish();
        m.push_back(submenu(26918, L"Publish Sheets in Subset",
                            {cmd(kCmdSubsetPublishOn, 26916, L"&Publish by Sheet \u2018Include for Publish\u2019 Setting", true, on),
                             cmd(kCmdSubsetPublishOff, 26917, L"&Do Not Publish Sheets", true, !on)},
                            flagsEnabled));
        m.push_back(separator());
    }
    m.push_back(cmd(kCmdPublishSettings, 26922, L"&Edit Subset and Sheet Publish Settings\u2026", !f.locked));
    m.push_back(cmd(kCmdReverseOrder, 26923, L"Publish in &Reverse Order", true, f.reverseOrder));
    m.push_back(cmd(kCmdPlotStamp, 26924, L"Include Plot &Stamp", true, f.plotStamp));
    m.push_back(cmd(kCmdPlotStampSettings, 26925, L"Plo&t Stamp Settings..."));
    m.push_back(separator());
    m.push_back(cmd(kCmdManagePageSetups, 26926, L"&Manage Page Setups..."));
    m.push_back(cmd(kCmdPublishOptions, 26927, L"Sheet Set Publish &Options ...", !f.locked));
    m.push_back(cmd(kCmdPublishDialog, 26928, L"Publish Dialog &Box ..."));
    return m;
}

MenuSpec sheetSetMenu(CSubset* set, const MenuFacts& f, const MenuSpec& publish) {
    std::vector<CSheet*> sheets;
    set->getSheets(sheets, true);
    const bool edit = f.docs && !f.locked;
    return {cmd(kCmdCloseSheetSet, 26936, L"&Close Sheet Set"),
            separator(),
            cmd(kCmdNewSheet, 26937, L"New &Sheet...", edit),
            cmd(kCmdNewSubset, 26938, L"New S&ubset...", edit),
            cmd(kCmdImportLayout, 26939, L"&Import Layout as Sheet...", edit),
            separator(),
            cmd(kCmdResaveAll, 26940, L"&Resave All Sheets", edit && !sheets.empty()),
            separator(),
            publishEntry(f, publish),
            cmd(kCmdTransmit, 26934, L"&Transmit...", edit && !sheets.empty()),
            cmd(kCmdTransmittalSetups, 26942, L"&Transmittal Setups...", edit),
            separator(),
            cmd(kCmdSheetSetProperties, 26943, L"Properties...", edit)};
}

MenuSpec subsetMenu(CSubset* subset, bool expanded, const MenuFacts& f, const MenuSpec& publish) {
    std::vector<CSheet*> sheets;
    subset->getSheets(sheets, true);
    const bool edit = f.docs && !f.locked;
    MenuItem toggle = expanded ? cmd(kCmdCollapse, 26947, L"Collaps&e")
                               : cmd(kCmdExpand, 26948, L"&Expand", subset->getCount() > 0);
    return {toggle,
            separator(),
            cmd(kCmdNewSheet, 26937, L"New &Sheet...", edit),
            cmd(kCmdNewSubset, 26938, L"New S&ubset...", edit),
            cmd(kCmdImportLayout, 26939, L"&Import Layout as Sheet...", edit),
            separator(),
            cmd(kCmdRenameSubset, 26949, L"Re&name Subset...", edit),
            cmd(kCmdRenumberSubset, 26960, L"Ren&umber Sheets...", edit && !sheets.empty()),
            cmd(kCmdRemoveSubset, 26950, L"&Remove Subset", edit && subset->getCount() == 0),
            separator(),
            publishEntry(f, publish),
            cmd(kCmdTransmit, 26934, L"&Transmit...", edit && !sheets.empty()),
            separator(),
            cmd(kCmdSubsetProperties, 26946, L"Proper&ties...", edit)};
}

MenuSpec sheetMenu(bool drawingExists, bool drawingOpenInHost, const MenuFacts& f, const MenuSpec& publish) {
    const bool edit = f.docs && !f.locked;
    return {cmd(kCmdOpenSheets, 26929, L"&Open", drawingExists),
            cmd(kCmdOpenReadOnly, 26930, L"Open rea&d-only", drawingExists && !drawingOpenInHost),
            separator(),
            cmd(kCmdNewSheet, 26937, L"New &Sheet...", edit),
            cmd(kCmdImportLayout, 26939, L"&Import Layout as Sheet...", edit),
            separator(),
            cmd(kCmdRenameRenumber, 26944, L"Re&name && Renumber...", edit),
            cmd(kCmdRemoveSheets, 26945, L"&Remove Sheet", edit),
            cmd(kCmdSheetListTable, 26958, L"Insert Sheet &List Table...", edit && drawingExists),
            separator(),
            publishEntry(f, publish),
            cmd(kCmdTransmit, 26934, L"&Transmit...", edit && drawingExists),
            separator(),
            cmd(kCmdSheetProperties, 26946, L"Proper&ties...", edit)};
}

MenuSpec multiSelectionMenu(const std::vector<CComponent*>& selected, const MenuFacts& f, const MenuSpec& publish) {
    bool anySheet = false, anyDrawing = false;
    for (CComponent* c : selected) {
        std::vector<CSheet*> sheets;
        if (c->getType() == kComponentSheet) {
            anySheet = true;
            sheets.push_back(static_cast<CSheet*>(c));
        } else {
            static_cast<CSubset*>(c)->getSheets(sheets, true);
        }
        for (CSheet* s : sheets) {
            if (anyDrawing) break;  // the search stops at the first drawing that exists
            anyDrawing = vrutPathExists(s->getFileName());
        }
    }
    return {cmd(kCmdOpenSheets, 26929, L"&Open", anySheet),
            cmd(kCmdOpenReadOnly, 26930, L"Open rea&d-only", anySheet),
            separator(),
            cmd(kCmdSaveSelection, 26931, L"&Save Sheet Selection...", f.docs && !f.locked),
            cmd(kCmdRemoveSheets, 26932, L"&Remove Sheets", anySheet && !f.locked),
            separator(),
            publishEntry(f, publish),
            cmd(kCmdTransmit, 26934, L"&Transmit...", f.docs && !f.locked && anyDrawing)};
}

void fillMenu(QMenu* menu, const MenuSpec& spec) {
    menu->setToolTipsVisible(true);  // a QMenu shows no tooltips of its own accord
    for (const MenuItem& m : spec) {
        switch (m.kind) {
        case MenuItem::Separator: menu->addSeparator(); break;
        case MenuItem::Submenu: {
            QMenu* sub = menu->addMenu(m.text);
            fillMenu(sub, m.items);
            sub->setEnabled(m.enabled);
            if (m.checked) {
                sub->menuAction()->setCheckable(true);
                sub->menuAction()->setChecked(true);
            }
            break;
        }
        case MenuItem::Plain: menu->addAction(m.text)->setEnabled(m.enabled); break;
        case MenuItem::Command: {
            QAction* a = menu->addAction(m.text);
            a->setData(m.id);
            a->setEnabled(m.enabled);
            if (!m.toolTip.isEmpty()) a->setToolTip(m.toolTip);
            if (m.checked) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            break;
        }
        }
    }
}

QMenu* buildMenu(const MenuSpec& spec, QWidget* parent) {
    auto* menu = new QMenu(parent);
    fillMenu(menu, spec);
    return menu;
}

const MenuItem* findMenuItem(const MenuSpec& spec, int id) {
    for (const MenuItem& m : spec) {
        if (m.kind == MenuItem::Command && m.id == id) return &m;
        if (const MenuItem* found = findMenuItem(m.items, id)) return found;
    }
    return nullptr;
}

const MenuItem* findMenuItem(const MenuSpec& spec, const QString& text) {
    for (const MenuItem& m : spec) {
        if (m.kind != MenuItem::Separator && m.text == text) return &m;
        if (const MenuItem* found = findMenuItem(m.items, text)) return found;
    }
    return nullptr;
}
