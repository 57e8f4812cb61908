#include "palette/Panes.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>

namespace {
bool nearlyEqual(double a, double b) { return std::fabs(a - b) <= 1e-10 * std::max(1.0, std::fabs(b)); }
}  // namespace

CCollapsePaneButton::CCollapsePaneButton(QString tip) : CVrUiPaneButton(1126, std::move(tip)) {}

void CCollapsePaneButton::draw(QPainter& p) const {
    p.setPen(QPen(Qt::black, 1));
    const QPoint c = rect.center();
    // Widest line on top (pointing down) while collapsed, at the bottom (pointing up) while open.
    for (int i = 0; i < 4; ++i) {
        int width = state ? 7 - 2 * i : 1 + 2 * i;
        int y = c.y() - 1 + i;
        p.drawLine(c.x() - width / 2, y, c.x() + width / 2, y);
    }
}

CBitmapPaneButton::CBitmapPaneButton(int commandId, QPixmap bitmap, QString tip)
    : CVrUiPaneButton(commandId, std::move(tip)), bitmap_(std::move(bitmap)) {}

void CBitmapPaneButton::draw(QPainter& p) const {
    p.save();
    if (state) p.setOpacity(0.35);  // inactive
    p.drawPixmap(rect.topLeft() + QPoint((rect.width() - bitmap_.width()) / 2, (rect.height() - bitmap_.height()) / 2), bitmap_);
    p.restore();
}

// ---- CVrUiPane

CVrUiPane::CVrUiPane(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CVrUiPane::setContent(QWidget* content) {
    content_ = content;
    content_->setParent(this);
    content_->setGeometry(1, kCaptionHeight + 1, std::max(0, width() - 2), std::max(0, height() - 22));
    content_->show();
}

void CVrUiPane::setTitle(const QString& t) {
    title_ = t;
    update(0, 0, width(), kCaptionHeight);
}

void CVrUiPane::AddButton(std::unique_ptr<CVrUiPaneButton> button) {
    buttons_.push_back(std::move(button));
    LayoutButtons();
}

void CVrUiPane::AddCollapseButton(bool collapsed) {
    if (hasCollapseButton()) return;
    auto b = std::make_unique<CCollapsePaneButton>(QString());
    b->state = collapsed;
    AddButton(std::move(b));
}

void CVrUiPane::RemoveCollapseButton() {
    std::erase_if(buttons_, [](const auto& b) { return b->id == 1126; });
    LayoutButtons();
}

bool CVrUiPane::hasCollapseButton() const { return button(1126) != nullptr; }

CVrUiPaneButton* CVrUiPane::button(int id) const {
    for (const auto& b : buttons_)
        if (b->id == id) return b.get();
    return nullptr;
}

void CVrUiPane::SetButtonsState(bool state) {
    for (auto& b : buttons_) b->state = state;
    update();
}

void CVrUiPane::LayoutButtons() {
    const int n = static_cast<int>(buttons_.size());
    for (int i = 0; i < n; ++i) buttons_[static_cast<size_t>(i)]->rect = QRect(width() + (i - n) * 17, 3, 14, 14);
    update(0, 0, width(), kCaptionHeight);
}

CVrUiPanes* CVrUiPane::container() const { return dynamic_cast<CVrUiPanes*>(parentWidget()); }

void CVrUiPane::OnPaneButton(int id) {
    if (id == 1126)
        if (CVrUiPanes* c = container()) c->TogglePaneCollapse(this);
}

void CVrUiPane::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.fillRect(QRect(0, 0, width(), kCaptionHeight), QColor(167, 167, 167));
    p.setPen(QPen(QColor(139, 139, 139), 1));
    p.drawRect(QRect(0, 0, width() - 1, kCaptionHeight));
    if (height() > kCaptionHeight + 1) {
        p.setPen(QPen(QColor(192, 192, 192), 1));
        p.drawLine(0, kCaptionHeight, 0, height() - 1);
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        p.drawLine(width() - 1, kCaptionHeight, width() - 1, height() - 1);
    }
    p.setPen(Qt::black);
    int textRight = buttons_.empty() ? width() : buttons_.front()->rect.left() - 2;
    QRect text(5, 0, std::max(0, textRight - 5), kCaptionHeight);
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               p.fontMetrics().elidedText(title_, Qt::ElideRight, text.width()));
    for (const auto& b : buttons_) b->draw(p);
}

void CVrUiPane::resizeEvent(QResizeEvent*) {
    if (content_) content_->setGeometry(1, kCaptionHeight + 1, std::max(0, width() - 2), std::max(0, height() - 22));
    LayoutButtons();
}

void CVrUiPane::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    for (const auto& b : buttons_)
        if (b->rect.contains(e->position().toPoint())) {
            OnPaneButton(b->id);
            return;
        }
}

void CVrUiPane::mouseDoubleClickEvent(QMouseEvent* e) {
    QPoint pos = e->position().toPoint();
    if (pos.x() >= 5 && pos.y() < kCaptionHeight) {
        for (const auto& b : buttons_)
            if (b->rect.contains(pos)) return;
        OnPaneButton(1126);
    }
}

bool CVrUiPane::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        for (const auto& b : buttons_)
            if (b->rect.contains(help->pos()) && !b->tooltip.isEmpty()) {
                QToolTip::showText(help->globalPos(), b->tooltip, this, b->rect);
                return true;
            }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}

// ---- CVrUiPanes

CVrUiPanes::CVrUiPanes(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void CVrUiPanes::setPanes(CVrUiPane* top, CVrUiPane* bottom) {
    top_ = top;
    bottom_ = bottom;
    Relayout();
}

int CVrUiPanes::topSplit() const {
    int a = std::max(height() - 52, 4);
    double r = collapse_ == 1 ? 0.0 : collapse_ == -1 ? 1.0 : ratio_;
    return static_cast<int>(a * r);
}

void CVrUiPanes::Relayout() {
    if (!top_) return;
    if (!bottomShown_ || !bottom_) {
        top_->setGeometry(rect());
        update();
        return;
    }
    int a = std::max(height() - 52, 4);
    int t = topSplit();
    top_->setGeometry(1, 0, std::max(0, width() - 2), t + 20);
    bottom_->setGeometry(1, t + 32, std::max(0, width() - 2), a - t + 20);
    update();
}

QRect CVrUiPanes::splitterRect() const {
    if (collapse_ != 0 || !bottomShown_ || !bottom_) return {};
    int t = topSplit();
    return QRect(QPoint(1, t + 20), QPoint(width() - 2, t + 31));
}

void CVrUiPanes::TogglePaneCollapse(CVrUiPane* pane) {
    CVrUiPane* other = pane == top_ ? bottom_ : top_;
    // With the other pane hidden this one is all there is: collapsing it would leave the palette
    // empty, with its buttons dead.
    if (!bottomShown_) return;
    int mine = pane == top_ ? 1 : -1;
    if (collapse_ != mine) {
        collapse_ = mine;
        pane->SetButtonsState(true);
        if (other) other->SetButtonsState(false);
    } else {
        collapse_ = 0;
        pane->SetButtonsState(false);
        if (other) other->SetButtonsState(false);
    }
    Relayout();
}

void CVrUiPanes::ShowBottomPane(bool show) {
    if (!bottom_) return;
    if (!show) {
        top_->RemoveCollapseButton();  // a lone pane cannot be collapsed, nor stay collapsed
        collapse_ = 0;
        top_->SetButtonsState(false);
        bottom_->SetButtonsState(false);
        bottom_->hide();
        bottomShown_ = false;
    } else {
        top_->AddCollapseButton(collapse_ == 1);
        bottom_->AddCollapseButton(collapse_ == -1);
        bottom_->show();
        bottomShown_ = true;
    }
    Relayout();
}

void CVrUiPanes::resizeEvent(QResizeEvent*) { Relayout(); }

void CVrUiPanes::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    QRect s = splitterRect();
    if (s.isEmpty()) return;
    // A grip of three dots; raised edges while hovered or dragged.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(139, 139, 139));
    for (int i = -1; i <= 1; ++i) p.drawEllipse(QPoint(s.center().x() + i * 6, s.center().y()), 1, 1);
    if (hover_ || dragY_ != kNoDrag) {
        p.setPen(Qt::white);
        p.drawLine(s.left(), s.top() + 1, s.right(), s.top() + 1);
        p.setPen(QColor(160, 160, 160));
        p.drawLine(s.left(), s.bottom() - 1, s.right(), s.bottom() - 1);
        p.setPen(Qt::black);
        p.drawLine(s.left(), s.bottom(), s.right(), s.bottom());
    }
}

void CVrUiPanes::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    QRect s = splitterRect();
    if (s.isEmpty() || !s.contains(e->position().toPoint())) return;
    setFocus(Qt::MouseFocusReason);
    dragY_ = e->position().toPoint().y();
    update();
}

void CVrUiPanes::mouseMoveEvent(QMouseEvent* e) {
    int y = e->position().toPoint().y();
    if (dragY_ != kNoDrag) {
        if (y == dragY_) return;
        dragY_ = y;
        int a = std::max(height() - 52, 4);
        double r = y < 26 ? 0.0 : y > height() - 26 ? 1.0 : double(y - 26) / a;
        if (!nearlyEqual(r, ratio_)) {
            ratio_ = std::clamp(r, 0.0, 1.0);
            Relayout();
        }
        return;
    }
    QRect s = splitterRect();
    bool over = !s.isEmpty() && s.contains(e->position().toPoint());
    setCursor(over ? Qt::SplitVCursor : Qt::ArrowCursor);
    if (over != hover_) {
        hover_ = over;
        update();
    }
}

void CVrUiPanes::endDrag() {
    if (dragY_ == kNoDrag) return;
    dragY_ = kNoDrag;
    // Dragged to an end: that pane collapses, and opening it again gives an even split.
    if (std::fabs(ratio_) <= 1e-10) {
        ratio_ = 0.5;
        TogglePaneCollapse(top_);
    } else if (nearlyEqual(ratio_, 1.0)) {
        ratio_ = 0.5;
        TogglePaneCollapse(bottom_);
    }
    update();
}

void CVrUiPanes::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) endDrag();
}

void CVrUiPanes::leaveEvent(QEvent*) {
    if (hover_) {
        hover_ = false;
        update();
    }
}

void CVrUiPanes::focusOutEvent(QFocusEvent*) { endDrag(); }

void CVrUiPanes::contextMenuEvent(QContextMenuEvent* e) { e->ignore(); }  // the window's view menu
