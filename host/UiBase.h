#pragma once
// User-interface base classes modules build on: dockable palettes, dialogs that remember their
// size and place by name, and per-user settings under a key.
#include <QDialog>
#include <QDockWidget>
#include <QKeySequence>
#include <QPixmap>
#include <QSettings>
#include <functional>

#include "host/VrTypes.h"

// A copy of `bitmap` in which every pixel of `transparent` colour is see-through (tree and menu
// images are drawn on a key colour).
QPixmap vruiTransparentBitmap(const QPixmap& bitmap, const QColor& transparent);
// The fill behind palettes, from the host's theme.
QColor vrPaletteBackground();

class CVdUiPaletteSet : public QDockWidget {
public:
    explicit CVdUiPaletteSet(const QString& title, QWidget* parent = nullptr);
    // show or hide; `delayed` and `activate` are kept for the callers' sake.
    void Show(bool show, bool delayed = false, bool activate = true);
    bool IsVisible() const { return visible_; }
    // The key that shows and hides the palette from the host's View menu (Ctrl+4 for the Sheet
    // Set Manager); none by default.
    void setToggleShortcut(const QKeySequence& keys) { toggleShortcut_ = keys; }
    const QKeySequence& toggleShortcut() const { return toggleShortcut_; }
    // The manual's topic for the palette: the host's F1 opens it while the palette has the focus.
    void setHelpTopic(const TkString& topic);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    bool visible_ = false;
    QKeySequence toggleShortcut_;
};

class CVrUiDialog : public QDialog {
public:
    explicit CVrUiDialog(QWidget* parent = nullptr);
    // The name under which the host keeps size, place and column widths ("SheetSet:ImportLayouts").
    void setDialogName(const QString& name) { name_ = name; }
    const QString& dialogName() const { return name_; }
    // The manual's topic for the dialog ("new-sheet"): its Help button and F1 open the manual there.
    void setHelpTopic(const TkString& topic);
    TkString helpTopic() const;
    // Shows the dialog modally; with a test hook set, the hook plays the user instead.
    int DoModal();
    QVariant dialogData(const QString& key, const QVariant& def = {}) const;
    void setDialogData(const QString& key, const QVariant& value);
    // Tests set this: called with the dialog instead of waiting for a person; its return value
    // is the dialog's result.
    static std::function<int(CVrUiDialog*)> testHook;

protected:
    void done(int r) override;
    void showEvent(QShowEvent* e) override;

private:
    void connectHelpButtons();
    QString name_;
};

class CVdUiRegistryAccess {
public:
    // `key` in the "%s\%s\%s\Dialogs\SheetSet:SheetList\" form; backslashes become groups.
    explicit CVdUiRegistryAccess(const TkString& key);
    TkString getString(const TkString& name, const TkString& def = L"") const;
    void setString(const TkString& name, const TkString& value);
    long getInt(const TkString& name, long def = 0) const;
    void setInt(const TkString& name, long value);
    void remove(const TkString& name);

private:
    QString group_;
};
