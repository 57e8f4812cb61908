#pragma once
// The two panes of the sheet list page: "Sheets" with the sheet tree and its refresh button above,
// "Details" (the selected item's details text or the sheet's preview) below.
#include <QImage>
#include <functional>
#include <QLabel>

#include "palette/Panes.h"

class CComponent;
class CSheetsetTree;
class QPlainTextEdit;

class CSheetsPane : public CVrUiPane {
public:
    explicit CSheetsPane(QWidget* parent);
    CSheetsetTree* tree() const { return tree_; }
    void OnPaneButton(int id) override;

private:
    CSheetsetTree* tree_;
};

// A static control that shows one image, scaled down with its aspect kept when it does not fit.
class CPreviewStatic : public QWidget {
public:
    explicit CPreviewStatic(QWidget* parent) : QWidget(parent) {}
    void SetImage(const QImage* image);  // keeps a copy; null clears
    // Shown instead of an image: why there is none.
    void SetNote(const QString& note);
    bool hasImage() const { return !image_.isNull(); }
    const QString& note() const { return note_; }
    // Where the image is drawn in a client area of `client`.
    static QRect placement(QSize image, QSize client);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage image_;
    QString note_;
};

class CDetailsPane : public CVrUiPane {
public:
    CDetailsPane(QWidget* parent, bool previewMode);
    // Shows `component` (or nothing); `several` when more than one tree item is selected. While the
    // pane is hidden nothing is built (details read drawings and probe locks): it is built when the
    // pane is shown again.
    void Update(CComponent* component, bool several);
    // How many times the details or the preview were built; for tests.
    int buildCount() const { return builds_; }
    void OnPaneButton(int id) override;
    bool previewMode() const { return preview_; }
    CPreviewStatic* previewView() const { return previewView_; }
    QString detailsText() const;
    // Supplies the tree's caret component and selection count when the preview button is pressed.
    std::function<std::pair<CComponent*, bool>()> currentSelection;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void showMode();
    void build();
    bool preview_;
    bool stale_ = false;
    int builds_ = 0;
    bool several_ = false;
    CComponent* component_ = nullptr;
    QPlainTextEdit* details_;
    CPreviewStatic* previewView_;
};

class CSheetSetPanes : public CVrUiPanes {
public:
    // A split ratio outside [0, 1] becomes 0.5.
    CSheetSetPanes(QWidget* parent, bool detailsShown, double ratio, int collapse, bool previewMode);
    CSheetsPane* sheetsPane() const { return static_cast<CSheetsPane*>(top_); }
    CDetailsPane* detailsPane() const { return static_cast<CDetailsPane*>(bottom_); }
};
