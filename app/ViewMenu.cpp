#include "app/ViewMenu.h"

#include <QDockWidget>
#include <QMainWindow>

#include "host/NqSystem.h"
#include "host/UiBase.h"

ViewMenu::ViewMenu(QMainWindow* window, QDockWidget* commandLine) : QMenu(tr("&View"), window), window_(window) {
    paletteEnd_ = addSeparator();
    commandLine_ = commandLine->toggleViewAction();
    commandLine_->setText(tr("Command &Line"));
    commandLine_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_9));  // as CAD users toggle it
    addAction(commandLine_);
    window->addAction(commandLine_);
    for (QWidget* w : CNqSystem::instance().palettes())
        if (auto* d = qobject_cast<QDockWidget*>(w)) addPalette(d);
    connect(this, &QMenu::aboutToShow, this, [this] {
        for (auto it = palettes_.cbegin(); it != palettes_.cend(); ++it) sync(it.key());
    });
}

void ViewMenu::addPalette(QDockWidget* palette) {
    if (palettes_.contains(palette)) return;
    auto* action = new QAction(palette->windowTitle(), this);
    action->setCheckable(true);
    if (auto* set = dynamic_cast<CVdUiPaletteSet*>(palette)) action->setShortcut(set->toggleShortcut());
    insertAction(paletteEnd_, action);
    window_->addAction(action);  // the key works while the menu is closed
    palettes_.insert(palette, action);
    connect(action, &QAction::triggered, palette, [this, palette] {
        const bool show = palette->isHidden();
        // A palette of the SDK shows and hides as its own commands do, so that it knows.
        if (auto* set = dynamic_cast<CVdUiPaletteSet*>(palette)) set->Show(show, false, show);
        else palette->setVisible(show);
        sync(palette);
    });
    connect(palette, &QDockWidget::visibilityChanged, action, [this, palette] { sync(palette); });
    connect(palette, &QObject::destroyed, this, [this, palette] { delete palettes_.take(palette); });
    sync(palette);
}

void ViewMenu::removePalette(QDockWidget* palette) {
    if (QAction* action = palettes_.take(palette)) {
        disconnect(palette, nullptr, this, nullptr);
        delete action;
    }
}

void ViewMenu::sync(QDockWidget* palette) {
    if (QAction* action = palettes_.value(palette)) action->setChecked(!palette->isHidden());
}
