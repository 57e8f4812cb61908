#pragma once
// The palette's context menus as plain descriptions, with the rules that enable and check their
// items; a QMenu is made from a description only when it is shown.
#include <QString>
#include <vector>

#include "model/Component.h"

class QMenu;
class QWidget;

struct MenuItem {
    enum Kind { Command, Separator, Submenu, Plain };
    Kind kind = Command;
    int id = 0;
    QString text;
    bool enabled = true;
    bool checked = false;
    QString toolTip;              // why a grayed item cannot run, where that is not plain
    std::vector<MenuItem> items;  // of a submenu
};
using MenuSpec = std::vector<MenuItem>;

// What the enabling rules look at.
struct MenuFacts {
    bool docs = false;    // a drawing is open in the host
    bool locked = false;  // the sheet set's data file is held elsewhere or read-only
    int toolTipStyle = 5;
    bool detailsShown = true;
    // From the plot service; false without one.
    bool reverseOrder = false;
    bool plotStamp = false;
    // The outputs the plot service can make; without one, every kind is offered.
    bool dwf = true;
    bool dwfx = true;
};

MenuSpec viewMenu(const MenuFacts& f);
MenuSpec emptySpaceMenu(const MenuFacts& f);
// The publish popup for the selection (`caret` decides the flag submenu), also shown by the
// publish menu button.
MenuSpec publishMenu(const std::vector<CComponent*>& selected, CComponent* caret, const std::vector<TkString>& pageSetups,
                     const MenuFacts& f);
MenuSpec sheetSetMenu(CSubset* set, const MenuFacts& f, const MenuSpec& publish);
MenuSpec subsetMenu(CSubset* subset, bool expanded, const MenuFacts& f, const MenuSpec& publish);
MenuSpec sheetMenu(bool drawingExists, bool drawingOpenInHost, const MenuFacts& f, const MenuSpec& publish);
MenuSpec multiSelectionMenu(const std::vector<CComponent*>& selected, const MenuFacts& f, const MenuSpec& publish);

// Whether the selection holds a sheet to publish: a sheet whose flag and parent's flag are set, or
// a published subset holding one.
bool isPublishable(const std::vector<CComponent*>& selected);

// Builds the QMenu; each command's action carries its id as data.
QMenu* buildMenu(const MenuSpec& spec, QWidget* parent);
void fillMenu(QMenu* menu, const MenuSpec& spec);
// The item with `id` (depth-first), or null; for tests and for the menu buttons.
const MenuItem* findMenuItem(const MenuSpec& spec, int id);
const MenuItem* findMenuItem(const MenuSpec& spec, const QString& text);
