#include "dialogs/ComponentToolTip.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QTreeWidget>

#include "model/Component.h"
#include "model/SheetImpl.h"

namespace {
constexpr int kWrapWidth = 310;
const QColor kBorder(118, 118, 118);

QRect measure(const QFontMetrics& fm, const QString& text) {
    return fm.boundingRect(QRect(0, 0, kWrapWidth, 4096), Qt::TextWordWrap, text);
}
}  // namespace

int tipPreviewRequest(int style) {
    if (style >= 1 && style <= 3) return style - 1;
    if (style >= 5 && style <= 7) return style - 5;
    return -1;
}

QSize tipPreviewBox(int style) {
    static const QSize boxes[3] = {{64, 42}, {128, 84}, {256, 168}};
    int r = tipPreviewRequest(style);
    return r < 0 ? QSize() : boxes[r];
}

bool tipShowsDetails(int style) { return style >= 4 && style <= 7; }

ComponentTip makeComponentTip(CComponent* component, const QString& title, int style) {
    ComponentTip tip;
    tip.title = title;
    if (!component) return tip;
    auto* sheet = dynamic_cast<CSheetImpl*>(component);  // previews exist for sheets only
    if (sheet && tipPreviewRequest(style) >= 0) {
        // The image stays the drawing cache's; the tip keeps a copy.
        if (const QImage* img = sheet->getPreview(static_cast<unsigned>(tipPreviewRequest(style))); img && !img->isNull()) {
            tip.preview = *img;
            tip.box = tipPreviewBox(style);
        }
    }
    if (tipShowsDetails(style)) {
        TkString details;
        component->getDetails(details);
        tip.details = QString::fromStdWString(details);
    }
    return tip;
}

QImage renderComponentTip(const ComponentTip& tip, const QFont& font) {
    QFontMetrics fm(font);
    const QRect titleSize = measure(fm, tip.title);
    int width = titleSize.width();
    int height = titleSize.height() + 4;
    const int titleBand = height;
    const bool hasPreview = !tip.preview.isNull() && tip.box.isValid();
    if (hasPreview) {
        width = std::max(width, tip.box.width() + 8);
        height += tip.box.height() + 4;
    }
    const int detailsBand = height;
    if (!tip.details.isEmpty()) {
        const QRect textSize = measure(fm, tip.details);
        width = std::max(width, textSize.width() + 8);
        height += textSize.height() + 4;
    }
    width += 8;

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    const QPalette pal = QToolTip::palette();
    QLinearGradient fill(0, 0, 0, height);
    fill.setColorAt(0, pal.color(QPalette::ToolTipBase).lighter(108));
    fill.setColorAt(1, pal.color(QPalette::ToolTipBase).darker(104));
    p.fillRect(image.rect(), fill);
    p.setPen(kBorder);
    p.drawRect(0, 0, width - 1, height - 1);
    if (hasPreview || !tip.details.isEmpty()) p.drawLine(0, titleBand, width - 1, titleBand);
    p.setFont(font);
    p.setPen(pal.color(QPalette::ToolTipText));
    p.drawText(QRect(QPoint(4, 2), QPoint(width - 4, height)), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, tip.title);
    if (hasPreview) {
        // The image fills its box with its proportions kept, the box centred across the tip.
        QImage scaled = tip.preview.scaled(tip.box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const int boxLeft = (width - tip.box.width()) / 2;
        p.drawImage(boxLeft + (tip.box.width() - scaled.width()) / 2, titleBand + 2 + (tip.box.height() - scaled.height()) / 2, scaled);
    }
    if (!tip.details.isEmpty())
        p.drawText(QRect(QPoint(4, detailsBand + 2), QPoint(width - 4, height)), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, tip.details);
    return image;
}

QPoint placeTipOnWorkArea(const QRect& tip, const QRect& work) {
    QPoint at = tip.topLeft();
    if (at.x() < work.left()) at.setX(work.left());
    else if (at.x() + tip.width() > work.right() + 1) at.setX(work.right() + 1 - tip.width());
    if (at.y() + tip.height() > work.bottom() + 1) at.setY(at.y() - (20 + tip.height()));
    if (at.y() < work.top()) at.setY(work.top());
    return at;
}

CComponentToolTipCtrl::CComponentToolTipCtrl(QTreeWidget* tree, Source source, Style style)
    : QWidget(tree, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      tree_(tree),
      viewport_(tree->viewport()),
      source_(std::move(source)),
      currentStyle_(std::move(style)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    popDown_.setSingleShot(true);
    popDown_.setInterval(30000);
    connect(&popDown_, &QTimer::timeout, this, &QWidget::hide);
    connect(tree, &QTreeWidget::itemChanged, this, [this] { style_ = -1; });  // labels change: draw anew
    viewport_->installEventFilter(this);
}

bool CComponentToolTipCtrl::eventFilter(QObject* watched, QEvent* e) {
    if (watched != viewport_) return QWidget::eventFilter(watched, e);
    // The style is asked for only where a tip may show: the owner's other events come while it is
    // torn down, when it has nothing left to answer with.
    const QEvent::Type type = e->type();
    const int style = (type == QEvent::ToolTip || type == QEvent::MouseMove) && currentStyle_ ? currentStyle_() : -1;
    switch (type) {
    case QEvent::ToolTip: {
        // The tree's own tooltip (an item's text) never shows over ours.
        auto* help = static_cast<QHelpEvent*>(e);
        QTreeWidgetItem* item = style < 0 ? nullptr : tree_->itemAt(help->pos());
        Relay(item, style, help->globalPos(), true);
        return style >= 0;
    }
    case QEvent::MouseMove: {
        // Another item (or none) under the mouse takes the tip away until the tree asks again.
        auto* move = static_cast<QMouseEvent*>(e);
        QTreeWidgetItem* item = style < 0 ? nullptr : tree_->itemAt(move->position().toPoint());
        Relay(item, style, move->globalPosition().toPoint(), false);
        break;
    }
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel: Relay(nullptr, 0, {}, false); break;
    default: break;
    }
    return false;
}

void CComponentToolTipCtrl::Relay(QTreeWidgetItem* item, int style, const QPoint& globalPos, bool show) {
    if (item == item_ && style == style_ && (isVisible() || !show)) return;
    if (!item || item != item_) hide();
    item_ = item;
    style_ = style;
    if (!item || !show) return;
    bitmap_ = renderComponentTip(source_ ? source_(item, style) : ComponentTip{item->text(0), {}, {}, {}}, QToolTip::font());
    resize(bitmap_.size());
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);
    move(placeTipOnWorkArea(QRect(globalPos + QPoint(2, 18), bitmap_.size()), work));
    QWidget::show();
    raise();
    update();
    popDown_.start();
}

void CComponentToolTipCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, bitmap_);
}
