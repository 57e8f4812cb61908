#include "host/HelpBrowser.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

#include "host/Dialogs.h"
#include "host/HelpTopics.h"
#include "host/UiResponder.h"

VrHelpBrowser::VrHelpBrowser(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("VornHelp");
    setWindowTitle("Vorn Help");
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);  // web links go to the desktop's browser
    auto* bar = new QToolBar(this);
    QStyle* st = style();
    QAction* back = bar->addAction(st->standardIcon(QStyle::SP_ArrowBack), tr("Back"), browser_, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    QAction* forward = bar->addAction(st->standardIcon(QStyle::SP_ArrowForward), tr("Forward"), browser_, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    bar->addAction(st->standardIcon(QStyle::SP_DirHomeIcon), tr("Contents"), this, [this] { showUrl(vrHelpContentsUrl()); });
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Vorn Help") : tr("Vorn Help - %1").arg(title));
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_, 1);
    resize(780, 620);
    auto* close = new QAction(this);
    close->setShortcut(Qt::Key_Escape);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

void VrHelpBrowser::showUrl(const QUrl& url) {
    if (url.isEmpty()) return;
    browser_->setSource(url);
    // Asked again for the topic it shows, after the user scrolled away: back to the topic.
    if (url.hasFragment()) browser_->scrollToAnchor(url.fragment());
}

void VrHelpBrowser::placeBeside(const QWidget* owner) {
    // Beside the dialog, so that the manual and the dialog it explains are both in sight: on the
    // side with more room, narrowed to it when the manual would not fit, over the dialog only when
    // neither side has room to read in.
    const QScreen* screen = owner->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry(), o = owner->frameGeometry();
    const int gap = 8, right = room.right() - o.right() - gap, left = o.left() - room.left() - gap;
    const int space = std::max(left, right), width = std::min(this->width(), space);
    QRect r(0, 0, width, height());
    if (width >= 420) {
        resize(width, height());
        r.moveLeft(right >= left ? o.right() + gap : o.left() - gap - width);
        r.moveTop(o.top());
    } else {
        r.setWidth(this->width());
        r.moveCenter(o.center());
    }
    r.moveTop(std::clamp(r.top(), room.top(), std::max(room.top(), room.bottom() - r.height())));
    r.moveLeft(std::clamp(r.left(), room.left(), std::max(room.left(), room.right() - r.width())));
    move(r.topLeft());
}

TkString vrHelpTopicOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QString topic = w->property(kVrHelpTopicProperty).toString();
        if (!topic.isEmpty()) return topic.toStdWString();
    }
    return {};
}

VrHelpBrowser* vrShowHelp(const TkString& topic) {
    if (VrUiResponder* r = VrUiResponder::active()) {
        r->help(topic);
        return nullptr;
    }
    QUrl url = vrHelpTopicUrl(topic);
    if (url.isEmpty()) url = vrHelpContentsUrl();
    if (url.isEmpty()) {
        VrUiMessageBox(vrHostCaption(), L"The manual is not installed: no folder of the program holds manual/index.html.",
                       MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = vredGetVornFrame();
    VrHelpBrowser* help = nullptr;
    // By dynamic_cast: findChild would take any widget for a class of no meta-object of its own.
    for (QObject* child : owner ? owner->children() : QObjectList())
        if (!help) help = dynamic_cast<VrHelpBrowser*>(child);
    if (!help) {
        static QPointer<VrHelpBrowser> ownerless;  // no frame: the one window of its own
        help = owner ? nullptr : ownerless.data();
        if (!help) {
            help = new VrHelpBrowser(owner);
            if (owner) help->placeBeside(owner->window());
        }
        if (!owner) ownerless = help;
    }
    help->showUrl(url);
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}
