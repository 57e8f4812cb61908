#include "host/Dialogs.h"

#include <QCommandLinkButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include "host/UiResponder.h"

namespace {
QWidget* gFrame = nullptr;
QString q(const TkString& s) { return QString::fromStdWString(s); }
}  // namespace

QWidget* vredGetVornFrame() { return gFrame; }
void vrSetVornFrame(QWidget* frame) { gFrame = frame; }
TkString vrHostCaption() { return L"Vorn"; }

int VrUiMessageBox(const TkString& caption, const TkString& text, unsigned style) {
    TkString cap = caption.empty() ? vrHostCaption() : caption;
    if (VrUiResponder* r = VrUiResponder::active()) return r->messageBox(cap, text, style);
    QMessageBox box(gFrame);
    box.setWindowTitle(q(cap));
    box.setText(q(text));
    unsigned icon = style & 0xF0;
    box.setIcon(icon == MB_ICONERROR ? QMessageBox::Critical : icon == MB_ICONWARNING ? QMessageBox::Warning
                : icon == MB_ICONQUESTION ? QMessageBox::Question : icon == MB_ICONINFORMATION ? QMessageBox::Information
                                                                                     : QMessageBox::NoIcon);
    switch (style & 0xF) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    default: box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
    }
}

int CVrUiTaskDialog::doModal() {
    int fallback = !links_.empty() ? links_.front().id : (buttons_ & kButtonClose) ? IDCLOSE : IDOK;
    if (VrUiResponder* r = VrUiResponder::active()) return r->taskDialog(title_, instruction_, content_, fallback);
    QDialog dlg(parent_ ? parent_ : gFrame);
    dlg.setWindowTitle(q(title_));
    auto* layout = new QVBoxLayout(&dlg);
    auto* head = new QLabel(q(instruction_));
    QFont f = head->font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    head->setFont(f);
    head->setWordWrap(true);
    layout->addWidget(head);
    if (!content_.empty()) {
        auto* body = new QLabel(q(content_));
        body->setWordWrap(true);
        layout->addWidget(body);
    }
    int result = IDCANCEL;
    for (const Link& l : links_) {
        auto* b = new QCommandLinkButton(q(l.text), q(l.note));
        QObject::connect(b, &QCommandLinkButton::clicked, &dlg, [&, id = l.id] {
            result = id;
            dlg.accept();
        });
        layout->addWidget(b);
    }
    auto* box = new QDialogButtonBox;
    // A task dialog given neither links nor buttons still closes with OK, as the platform's does.
    const int buttons = buttons_ || !links_.empty() ? buttons_ : kButtonOk;
    auto add = [&](int flag, QDialogButtonBox::StandardButton b, int id) {
        if (buttons & flag)
            QObject::connect(box->addButton(b), &QPushButton::clicked, &dlg, [&, id] {
                result = id;
                dlg.accept();
            });
    };
    add(kButtonOk, QDialogButtonBox::Ok, IDOK);
    add(kButtonYes, QDialogButtonBox::Yes, IDYES);
    add(kButtonNo, QDialogButtonBox::No, IDNO);
    add(kButtonCancel, QDialogButtonBox::Cancel, IDCANCEL);
    add(kButtonClose, QDialogButtonBox::Close, IDCLOSE);
    layout->addWidget(box);
    dlg.exec();
    return result;
}

int vredGetFileNavDialog(const TkString& title, const TkString& defaultPath, const TkString& extension, bool multiple,
                         std::vector<TkString>& paths) {
    paths.clear();
    if (VrUiResponder* r = VrUiResponder::active()) {
        auto a = r->fileDialog(title);
        if (!a.chosen) return RTCAN;
        paths = a.paths;
        return RTNORM;
    }
    QString filter = extension.empty() ? QString("All files (*)") : QString("*.%1 (*.%1)").arg(q(extension));
    QStringList chosen;
    if (multiple) chosen = QFileDialog::getOpenFileNames(gFrame, q(title), q(defaultPath), filter);
    else if (QString one = QFileDialog::getOpenFileName(gFrame, q(title), q(defaultPath), filter); !one.isEmpty()) chosen << one;
    for (const QString& c : chosen) paths.push_back(c.toStdWString());
    return paths.empty() ? RTCAN : RTNORM;
}

int CVrUiNavDialog::DoModal() {
    chosen_.clear();
    if (VrUiResponder* r = VrUiResponder::active()) {
        auto a = r->fileDialog(caption_);
        if (!a.chosen) return IDCANCEL;
        chosen_ = a.paths;
        return IDOK;
    }
    QStringList filters;
    for (const Filter& f : filters_) filters << QString("%1 (%2)").arg(q(f.description), q(f.pattern));
    QFileDialog dlg(gFrame, q(caption_), q(folder_), filters.join(";;"));
    dlg.setAcceptMode(forOpen_ ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dlg.setFileMode(forOpen_ ? (multiple_ ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile) : QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::ReadOnly, false);
    if (!fileName_.empty()) dlg.selectFile(q(fileName_));
    (void)hideReadOnly_;  // Qt's dialog has no read-only check box to hide
    if (dlg.exec() != QDialog::Accepted) return IDCANCEL;
    for (const QString& f : dlg.selectedFiles()) chosen_.push_back(f.toStdWString());
    return chosen_.empty() ? IDCANCEL : IDOK;
}

void vrutGetWorkArea(int& left, int& top, int& width, int& height) {
    QRect r = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect(0, 0, 1280, 800);
    left = r.left();
    top = r.top();
    width = r.width();
    height = r.height();
}

TkString vrutBrowseForFolder(const TkString& title, const TkString& start) {
    if (VrUiResponder* r = VrUiResponder::active()) {
        auto a = r->fileDialog(title);
        return a.chosen && !a.paths.empty() ? a.paths.front() : TkString();
    }
    QString chosen = QFileDialog::getExistingDirectory(gFrame, q(title), q(start), QFileDialog::ShowDirsOnly);
    return chosen.toStdWString();
}
