#pragma once
// One layout of an open drawing, drawn with the toolkit's renderer: paper layouts as a sheet on
// the desk, model space on white. The wheel zooms about the cursor, dragging pans, a double click
// fits the drawing again.
#include <QPoint>
#include <QTransform>
#include <QWidget>
#include <memory>
#include <string>

class TkDbDatabase;
class TkGsRenderer;

class LayoutView : public QWidget {
public:
    LayoutView(const TkDbDatabase& db, std::string layout, QWidget* parent = nullptr);
    ~LayoutView() override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    void fit();
    QRectF paperRect() const;
    const TkDbDatabase& db_;
    std::string layout_;
    bool model_;
    std::unique_ptr<TkGsRenderer> renderer_;
    QTransform view_;  // drawing units to widget pixels
    bool fitted_ = false;
    bool userMoved_ = false;  // until the user pans or zooms, the view follows the window's size
    QPoint lastMouse_;
};
