#include "palette/SheetSetBar.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QSettings>

#include "host/NqSystem.h"
#include "model/SheetSetMessages.h"
#include "model/SheetSetMgrImpl.h"
#include "palette/PaletteIds.h"
#include "palette/SheetListWnd.h"

namespace {
const char* kStateGroup = "Palettes/SheetSetManager";
const QRect kDefaultFloating(100, 200, 280, 500);
}  // namespace

CSheetSetBar::CSheetSetBar() : CVdUiPaletteSet(QString::fromStdWString(ssMessage(27001, L"Sheet Set Manager"))) {
    setObjectName("SheetSetManager");
    // The key CAD users know for showing and hiding the Sheet Set Manager.
    setToggleShortcut(QKeySequence(Qt::CTRL | Qt::Key_4));
    setHelpTopic(L"palette");
}

CSheetSetBar::~CSheetSetBar() { saveState(); }

bool CSheetSetBar::Create(QWidget* parent) {
    CNqResourceScope resources(kSheetSetRes);
    parent_ = parent;
    setParent(parent, windowFlags());
    setMinimumSize(230, 320);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    sheetList_ = new CSheetListWnd(this);
    setWidget(sheetList_);
    QSettings s("Vorn", "Vorn");
    s.beginGroup(kStateGroup);
    placing_ = true;
    if (s.contains("floating")) {
        bool floating = s.value("floating").toBool();
        setFloating(floating);
        if (floating) setGeometry(s.value("geometry", kDefaultFloating).toRect());
        Show(s.value("visible").toBool(), false, false);
    } else {
        setFloating(true);
        setGeometry(kDefaultFloating);
        Show(false, false, false);
    }
    placing_ = false;
    placedByUser_ = s.value("placedByUser", false).toBool();
    connect(this, &QDockWidget::topLevelChanged, this, [this](bool) {
        if (!placing_ && isVisible()) placedByUser_ = true;
    });
    return true;
}

void CSheetSetBar::saveState() const {
    QSettings s("Vorn", "Vorn");
    s.beginGroup(kStateGroup);
    s.setValue("floating", isFloating());
    s.setValue("visible", IsVisible());
    s.setValue("placedByUser", placedByUser_);
    if (isFloating()) s.setValue("geometry", geometry());
}

CSheetSetMgr* CSheetSetBar::getSheetSetMgr() const { return sheetList_ ? sheetList_->manager() : nullptr; }
CSheetsetTree* CSheetSetBar::getSheetTree() const { return sheetList_ ? sheetList_->tree() : nullptr; }
void CSheetSetBar::newSheetSet() { sheetList_->OnCommand(pal::kCmdNewSheetSet); }

void CSheetSetBar::getImportLayoutsDlg(const TkString& drawing, const std::vector<TkString>& layoutNames) {
    std::vector<std::wstring> args{drawing};
    args.insert(args.end(), layoutNames.begin(), layoutNames.end());
    sheetList_->RunCommand(pal::kCmdImportFromHost, args);
}
void CSheetSetBar::openSheetSet() { sheetList_->OnCommand(pal::kCmdOpen); }

void CSheetSetBar::showDocked() {
    if (!placedByUser_ && isFloating() && qobject_cast<QMainWindow*>(parent_)) {
        placing_ = true;
        setFloating(false);
        placing_ = false;
    }
    Show(true, false, true);
}

bool CSheetSetBar::event(QEvent* e) {
    // F2 in the palette does nothing (no label editing here).
    if ((e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2) {
        e->accept();
        return true;
    }
    return CVdUiPaletteSet::event(e);
}
