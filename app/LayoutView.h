#pragma once
// One layout of an open drawing: the sheet as a frame of its paper size with its name. Drawing
// the layout's contents comes with the toolkit's renderer.
#include <QWidget>

class LayoutView : public QWidget {
public:
    LayoutView(QString name, double paperWidth, double paperHeight, bool model, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString name_;
    double w_, h_;
    bool model_;
};
