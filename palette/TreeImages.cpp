#include "palette/TreeImages.h"

#include <QPainter>
#include <QPainterPath>
#include <vector>

#include "drawings/FileLocks.h"
#include "host/PathUtil.h"
#include "palette/PaletteIds.h"

namespace {
QPixmap blank(int w = 16, int h = 16) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

void drawPage(QPainter& p, QColor fill) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(fill);
    p.drawPath(page);
    p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
    p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
    p.setPen(QPen(QColor(70, 110, 170), 1));
    for (int y : {7, 9, 11}) p.drawLine(5, y, 10, y);
}

void drawFolder(QPainter& p, QColor fill) {
    p.setPen(QPen(fill.darker(170), 1));
    p.setBrush(fill.darker(115));
    p.drawRect(QRectF(1.5, 3.5, 5, 2));
    p.setBrush(fill);
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
}

void drawPadlock(QPainter& p, QColor body) {
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9.5, 6.5, 5, 6), 0, 180 * 16);
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    p.drawRect(QRectF(8.5, 9.5, 7, 6));
}

QPixmap makeTreeImage(int index) {
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case pal::kImgSheetSet:
        p.translate(-1.5, 0.5);
        drawPage(p, QColor(225, 232, 245));
        p.translate(3, -1);
        drawPage(p, QColor(250, 250, 255));
        break;
    case pal::kImgSubset: drawFolder(p, QColor(240, 200, 90)); break;
    case pal::kImgSheet: drawPage(p, Qt::white); break;
    case pal::kImgSubsetNotPublished:
        drawFolder(p, QColor(200, 200, 200));
        p.setPen(QPen(QColor(120, 120, 120), 1.5));
        p.drawLine(4, 11, 12, 6);
        break;
    case pal::kImgSheetLocked:
        drawPage(p, QColor(240, 240, 240));
        drawPadlock(p, QColor(230, 180, 40));
        break;
    case pal::kImgSheetMissing:
        drawPage(p, QColor(245, 245, 245));
        p.setPen(QPen(QColor(205, 30, 30), 2.2));
        p.drawLine(7, 8, 14, 15);
        p.drawLine(14, 8, 7, 15);
        break;
    case pal::kImgSubsetMissing:
        drawFolder(p, QColor(240, 200, 90));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(205, 30, 30));
        p.drawEllipse(QRectF(8, 7, 8, 8));
        p.setPen(QPen(Qt::white, 1.6));
        p.drawLine(QPointF(12, 8.5), QPointF(12, 12));
        p.drawPoint(QPointF(12, 13.6));
        break;
    }
    return pm;
}
}  // namespace

const QIcon& treeImage(int index) {
    static std::vector<QIcon> icons = [] {
        std::vector<QIcon> v;
        for (int i = 0; i < pal::kImageCount; ++i) {
            QIcon icon;
            QPixmap pm = makeTreeImage(i);
            // The same picture when selected: the status stays readable on the highlight.
            icon.addPixmap(pm, QIcon::Normal);
            icon.addPixmap(pm, QIcon::Selected);
            v.push_back(icon);
        }
        return v;
    }();
    return icons.at(static_cast<size_t>(index));
}

QPixmap lockStateImage(int state) {
    if (state < 1 || state > 3) return {};
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-5, -1);
    if (state == 1) drawPadlock(p, QColor(80, 170, 80));      // held here: green
    else if (state == 2) drawPadlock(p, QColor(215, 60, 50)); // another user: red
    else {                                                    // read-only: grey with a bar
        drawPadlock(p, QColor(170, 170, 170));
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.drawLine(QPointF(9.5, 12.5), QPointF(14.5, 12.5));
    }
    return pm;
}

QPixmap paneButtonImage(int which) {
    QPixmap pm = blank(14, 14);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(40, 40, 40), 1.3);
    p.setPen(pen);
    switch (which) {
    case kArtRefresh:
        p.drawArc(QRectF(2.5, 2.5, 9, 9), 40 * 16, 280 * 16);
        p.setBrush(QColor(40, 40, 40));
        p.drawPolygon(QPolygonF({QPointF(8.5, 1), QPointF(12.5, 3.2), QPointF(8.5, 5.5)}));
        break;
    case kArtDetails:
        for (int y : {3, 6, 9, 12}) p.drawLine(2, y, 12, y);
        break;
    case kArtPreview:
        p.drawRect(QRectF(1.5, 2.5, 11, 9));
        p.drawLine(QPointF(3, 10), QPointF(6, 6));
        p.drawLine(QPointF(6, 6), QPointF(8, 8));
        p.drawLine(QPointF(8, 8), QPointF(11, 5));
        break;
    case kArtPublish:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 8, 11));
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(6.5, 7.5, 6, 5));
        break;
    case kArtSelections:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 6, 7));
        p.drawRect(QRectF(5.5, 5.5, 7, 7));
        break;
    }
    return pm;
}

int sheetImageIndex(const TkString& drawingPath) {
    if (drawingPath.empty() || !vrutPathExists(drawingPath)) return pal::kImgSheetMissing;
    return isDrawingLocked(drawingPath) ? pal::kImgSheetLocked : pal::kImgSheet;
}

int sheetImageIndex(const CSheet* sheet) { return sheetImageIndex(sheet->getFileName()); }

namespace {
bool isBlank(const TkString& s) { return s.find_first_not_of(L" \t\r\n") == TkString::npos; }
}  // namespace

int subsetImageIndex(const CSubset* subset) {
    TkString location = subset->getNewSheetLocation();
    if (!isBlank(location)) {
        size_t a = location.find_first_not_of(L" \t"), b = location.find_last_not_of(L" \t");
        if (!vrutPathExists(location.substr(a, b - a + 1))) return pal::kImgSubsetMissing;
    }
    if (subset->hasSheets() && subset->allDrawingsMissing()) return pal::kImgSubsetMissing;
    for (const CComponent* c = subset; c; c = c->getParent())
        if (!static_cast<const CSubset*>(c)->getIncludeForPublish()) return pal::kImgSubsetNotPublished;
    return pal::kImgSubset;
}
