#include "palette/SheetlistButton.h"

#include <QMenu>

#include "host/UiBase.h"
#include "model/SheetSetMgrImpl.h"
#include "model/SheetSetMessages.h"
#include "model/SubsetImpl.h"
#include "palette/PaletteIds.h"
#include "palette/PaletteText.h"
#include "palette/SheetListSettings.h"
#include "palette/TreeImages.h"

CSheetlistButton::CSheetlistButton(QWidget* parent) : QToolButton(parent), menu_(new QMenu(this)) {
    setObjectName("SheetSetButton");
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setMenu(menu_);
    setIconSize(QSize(16, 16));
    connect(menu_, &QMenu::triggered, this, [this](QAction* a) {
        if (a->data().isValid() && onCommand) onCommand(a->data().toInt());
    });
    LoadRecent();
}

CSheetlistButton::~CSheetlistButton() { SaveRecent(); }

void CSheetlistButton::RebuildMenu(CSheetSetMgr* mgr) {
    menu_->clear();
    const int count = mgr ? mgr->getCount() : 0;
    for (int i = 0; i < count && i < pal::kRangeSize; ++i) {
        QAction* a = menu_->addAction(QString::fromStdWString(mgr->getSheetSet(i)->getName()));
        a->setData(pal::kCmdOpenSetFirst + i);
        a->setCheckable(true);
        a->setChecked(i == mgr->getCurrent());
    }
    if (count > 0) menu_->addSeparator();
    QString recentText = paletteText(26801, L"Recent");
    if (recent_.empty()) {
        menu_->addAction(recentText);  // carries no command
    } else {
        QMenu* sub = menu_->addMenu(recentText);
        for (size_t i = 0; i < recent_.size(); ++i)
            sub->addAction(QString::fromStdWString(recent_[i]))->setData(pal::kCmdRecentFirst + static_cast<int>(i));
    }
    menu_->addSeparator();
    menu_->addAction(paletteText(26802, L"New Sheet Set..."))->setData(pal::kCmdNewSheetSet);
    QString openText = paletteText(26803, L"Open...");
    menu_->addAction(openText)->setData(pal::kCmdOpen);
    const int current = mgr ? mgr->getCurrent() : -1;
    setText(current >= 0 ? QString::fromStdWString(mgr->getSheetSet(current)->getName()) : openText);
}

void CSheetlistButton::AddRecent(CSheetSetMgr* mgr) {
    if (!mgr || mgr->getCount() == 0) return;
    TkString path = mgr->getSheetSet(mgr->getCount() - 1)->getFileName();
    std::erase_if(recent_, [&](const TkString& r) { return sameTextNoCase(r, path); });
    recent_.insert(recent_.begin(), path);
    if (recent_.size() > kMaxRecent) recent_.pop_back();
}

void CSheetlistButton::RemoveRecent(int index) {
    if (index >= 0 && index < static_cast<int>(recent_.size())) recent_.erase(recent_.begin() + index);
}

void CSheetlistButton::LoadRecent() {
    recent_.clear();
    CVdUiRegistryAccess key(paletteSettingsKey(L"SheetSet:OpenSheetSet"));
    for (int i = 0; i < kMaxRecent; ++i) {
        TkString v = key.getString(L"FileNameMRU" + std::to_wstring(i));
        if (v.empty()) break;
        recent_.push_back(v);
    }
}

void CSheetlistButton::SaveRecent() const {
    CVdUiRegistryAccess key(paletteSettingsKey(L"SheetSet:OpenSheetSet"));
    const int n = std::min(static_cast<int>(recent_.size()), kMaxRecent);
    for (int i = 0; i < n; ++i) key.setString(L"FileNameMRU" + std::to_wstring(i), recent_[static_cast<size_t>(i)]);
    // Entries the list no longer has go, up to the first that was never written.
    for (int i = static_cast<int>(recent_.size()); i < kMaxRecent; ++i) {
        TkString name = L"FileNameMRU" + std::to_wstring(i);
        if (key.getString(name).empty()) break;
        key.remove(name);
    }
}

void CSheetlistButton::SetStateImage(int state) {
    if (state == state_) return;
    state_ = state;
    setIcon(state ? QIcon(lockStateImage(state)) : QIcon());
    update();
}
