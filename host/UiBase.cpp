#include "host/UiBase.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QShortcut>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QShowEvent>

#include "host/HelpBrowser.h"

std::function<int(CVrUiDialog*)> CVrUiDialog::testHook;

QPixmap vruiTransparentBitmap(const QPixmap& bitmap, const QColor& transparent) {
    QImage img = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    return QPixmap::fromImage(img);
}

QColor vrPaletteBackground() { return QPalette().color(QPalette::Window); }

CVdUiPaletteSet::CVdUiPaletteSet(const QString& title, QWidget* parent) : QDockWidget(title, parent) {
    setObjectName(title);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetFloatable);
}

void CVdUiPaletteSet::Show(bool show, bool, bool activate) {
    visible_ = show;
    setVisible(show);
    if (show && activate && QGuiApplication::platformName() != "offscreen") raise();  // offscreen cannot raise
}

void CVdUiPaletteSet::closeEvent(QCloseEvent* e) {
    visible_ = false;  // closed with its own button
    QDockWidget::closeEvent(e);
}

void CVdUiPaletteSet::setHelpTopic(const TkString& topic) { setProperty(kVrHelpTopicProperty, QString::fromStdWString(topic)); }

CVrUiDialog::CVrUiDialog(QWidget* parent) : QDialog(parent) {}

void CVrUiDialog::setHelpTopic(const TkString& topic) {
    const bool first = helpTopic().empty();
    setProperty(kVrHelpTopicProperty, QString::fromStdWString(topic));
    if (first) {
        auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
        connect(f1, &QShortcut::activated, this, [this] { vrShowHelp(helpTopic()); });
    }
    connectHelpButtons();
}

TkString CVrUiDialog::helpTopic() const { return property(kVrHelpTopicProperty).toString().toStdWString(); }

// Button boxes made after the topic was set are connected when the dialog shows.
void CVrUiDialog::connectHelpButtons() {
    if (helpTopic().empty()) return;
    for (QDialogButtonBox* box : findChildren<QDialogButtonBox*>()) {
        if (box->window() != this || box->property("vrHelpConnected").toBool()) continue;  // not a nested dialog's
        box->setProperty("vrHelpConnected", true);
        connect(box, &QDialogButtonBox::helpRequested, this, [this] { vrShowHelp(helpTopic()); });
    }
}

int CVrUiDialog::DoModal() {
    if (testHook) return testHook(this);
    return exec();
}

QVariant CVrUiDialog::dialogData(const QString& key, const QVariant& def) const {
    QSettings s("Vorn", "Vorn");
    return s.value("Dialogs/" + name_ + "/" + key, def);
}

void CVrUiDialog::setDialogData(const QString& key, const QVariant& value) {
    QSettings s("Vorn", "Vorn");
    s.setValue("Dialogs/" + name_ + "/" + key, value);
}

void CVrUiDialog::showEvent(QShowEvent* e) {
    connectHelpButtons();
    if (!name_.isEmpty())
        if (QByteArray g = dialogData("Geometry").toByteArray(); !g.isEmpty()) restoreGeometry(g);
    QDialog::showEvent(e);
}

void CVrUiDialog::done(int r) {
    if (!name_.isEmpty()) setDialogData("Geometry", saveGeometry());
    QDialog::done(r);
}

CVdUiRegistryAccess::CVdUiRegistryAccess(const TkString& key) {
    group_ = QString::fromStdWString(key);
    group_.replace('\\', '/');
    while (group_.endsWith('/')) group_.chop(1);
}

TkString CVdUiRegistryAccess::getString(const TkString& name, const TkString& def) const {
    QSettings s("Vorn", "Vorn");
    return s.value(group_ + "/" + QString::fromStdWString(name), QString::fromStdWString(def)).toString().toStdWString();
}

void CVdUiRegistryAccess::setString(const TkString& name, const TkString& value) {
    QSettings s("Vorn", "Vorn");
    s.setValue(group_ + "/" + QString::fromStdWString(name), QString::fromStdWString(value));
}

long CVdUiRegistryAccess::getInt(const TkString& name, long def) const {
    QSettings s("Vorn", "Vorn");
    return s.value(group_ + "/" + QString::fromStdWString(name), static_cast<qlonglong>(def)).toLongLong();
}

void CVdUiRegistryAccess::setInt(const TkString& name, long value) {
    QSettings s("Vorn", "Vorn");
    s.setValue(group_ + "/" + QString::fromStdWString(name), static_cast<qlonglong>(value));
}

void CVdUiRegistryAccess::remove(const TkString& name) {
    QSettings s("Vorn", "Vorn");
    s.remove(group_ + "/" + QString::fromStdWString(name));
}
