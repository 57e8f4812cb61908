#include "app/LayoutView.h"

#include <QPainter>

LayoutView::LayoutView(QString name, double paperWidth, double paperHeight, bool model, QWidget* parent)
    : QWidget(parent), name_(std::move(name)), w_(paperWidth > 0 ? paperWidth : 420), h_(paperHeight > 0 ? paperHeight : 297), model_(model) {
    setMinimumSize(200, 150);
}

void LayoutView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (model_) {
        p.fillRect(rect(), QColor(33, 40, 48));
        p.setPen(QColor(200, 200, 200));
        p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignLeft | Qt::AlignTop, "Model space");
        return;
    }
    p.fillRect(rect(), QColor(128, 128, 128));
    // The sheet, scaled to fit with a margin, with a drop shadow like a sheet of paper on a desk.
    double scale = std::min((width() - 40) / w_, (height() - 60) / h_);
    QRectF sheet((width() - w_ * scale) / 2, (height() - h_ * scale) / 2, w_ * scale, h_ * scale);
    p.fillRect(sheet.translated(4, 4), QColor(70, 70, 70));
    p.fillRect(sheet, Qt::white);
    p.setPen(QPen(QColor(40, 40, 40), 1, Qt::DashLine));
    p.drawRect(sheet.adjusted(10 * scale, 10 * scale, -10 * scale, -10 * scale));
    p.setPen(Qt::black);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.2);
    p.setFont(f);
    p.drawText(sheet, Qt::AlignCenter, QString("%1\n%2 x %3 mm").arg(name_).arg(w_).arg(h_));
}
