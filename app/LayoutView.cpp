#include "app/LayoutView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/gs/TkGsRenderer.h"

LayoutView::LayoutView(const TkDbDatabase& db, std::string layout, QWidget* parent)
    : QWidget(parent), db_(db), layout_(std::move(layout)), renderer_(std::make_unique<TkGsRenderer>(db)) {
    auto l = db_.findLayout(layout_);
    const TkDbRecord* br = l ? db_.byHandle(l->blockRecordHandle()) : nullptr;
    model_ = !br || TkDbBlockRecord(br).isModelSpace();
    setMinimumSize(200, 150);
    setMouseTracking(false);
}

LayoutView::~LayoutView() = default;

QRectF LayoutView::paperRect() const {
    // The sheet: the layout's paper size, turned as the layout is plotted.
    auto l = db_.findLayout(layout_);
    if (!l) return {};
    double w = l->paperWidth(), h = l->paperHeight();
    if (l->plotRotation() % 2 == 1) std::swap(w, h);
    if (w <= 0 || h <= 0) return {};
    TkDbPoint3 lo = l->limMin();
    return QRectF(lo.x, lo.y, w, h);
}

void LayoutView::fit() {
    QRectF box;
    if (!model_) box = paperRect();
    QRectF content;
    if (renderer_->layoutBox(layout_, content)) box = box.isNull() ? content : box.united(content);
    if (box.isNull() || box.width() <= 0 || box.height() <= 0) box = QRectF(0, 0, 420, 297);
    double s = std::min(width() / (box.width() * 1.1), height() / (box.height() * 1.1));
    view_ = QTransform();
    view_.translate(width() / 2.0, height() / 2.0);
    view_.scale(s, -s);
    view_.translate(-box.center().x(), -box.center().y());
    fitted_ = true;
}

void LayoutView::resizeEvent(QResizeEvent*) {
    if (!userMoved_) fit();
}

void LayoutView::paintEvent(QPaintEvent*) {
    if (!fitted_) fit();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (model_) {
        p.fillRect(rect(), Qt::white);
    } else {
        p.fillRect(rect(), QColor(150, 150, 150));
        QRectF sheet = view_.mapRect(paperRect());
        p.fillRect(sheet.translated(4, 4), QColor(90, 90, 90));
        p.fillRect(sheet, Qt::white);
    }
    renderer_->paint(p, layout_, view_);
}

void LayoutView::wheelEvent(QWheelEvent* e) {
    double f = std::pow(1.0015, e->angleDelta().y());
    QPointF at = e->position();
    QTransform zoom;
    zoom.translate(at.x(), at.y());
    zoom.scale(f, f);
    zoom.translate(-at.x(), -at.y());
    view_ = view_ * zoom;
    userMoved_ = true;
    update();
}

void LayoutView::mousePressEvent(QMouseEvent* e) { lastMouse_ = e->pos(); }

void LayoutView::mouseMoveEvent(QMouseEvent* e) {
    QPoint d = e->pos() - lastMouse_;
    lastMouse_ = e->pos();
    view_ = view_ * QTransform::fromTranslate(d.x(), d.y());
    userMoved_ = true;
    update();
}

void LayoutView::mouseDoubleClickEvent(QMouseEvent*) {
    userMoved_ = false;
    fit();
    update();
}
