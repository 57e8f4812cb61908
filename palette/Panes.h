#pragma once
// Panes with a grey caption and small caption buttons, and a two-pane container with a splitter in
// which either pane can be collapsed to its caption.
#include <QPixmap>
#include <QWidget>
#include <climits>
#include <memory>
#include <vector>

class CVrUiPanes;

class CVrUiPaneButton {
public:
    CVrUiPaneButton(int commandId, QString tip) : id(commandId), tooltip(std::move(tip)) {}
    virtual ~CVrUiPaneButton() = default;
    virtual void draw(QPainter& p) const = 0;
    int id;
    QRect rect;
    bool state = false;  // collapse button: the pane is collapsed; other buttons: inactive
    QString tooltip;
};

// Four stacked lines 7, 5, 3 and 1 pixels wide: pointing down while collapsed, up while open.
class CCollapsePaneButton : public CVrUiPaneButton {
public:
    explicit CCollapsePaneButton(QString tip);
    void draw(QPainter& p) const override;
};

class CBitmapPaneButton : public CVrUiPaneButton {
public:
    CBitmapPaneButton(int commandId, QPixmap bitmap, QString tip);
    void draw(QPainter& p) const override;

private:
    QPixmap bitmap_;
};

class CVrUiPane : public QWidget {
public:
    static constexpr int kCaptionHeight = 20;
    CVrUiPane(const QString& title, QWidget* parent);
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }
    QString title() const { return title_; }
    void setTitle(const QString& t);
    void AddButton(std::unique_ptr<CVrUiPaneButton> button);
    void AddCollapseButton(bool collapsed);
    void RemoveCollapseButton();
    bool hasCollapseButton() const;
    void SetButtonsState(bool state);
    void LayoutButtons();
    const std::vector<std::unique_ptr<CVrUiPaneButton>>& buttons() const { return buttons_; }
    CVrUiPaneButton* button(int id) const;
    // A click on a caption button; the base toggles the pane's collapse for the collapse button.
    virtual void OnPaneButton(int id);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    CVrUiPanes* container() const;

private:
    QString title_;
    QWidget* content_ = nullptr;
    std::vector<std::unique_ptr<CVrUiPaneButton>> buttons_;
};

class CVrUiPanes : public QWidget {
public:
    static constexpr int kNoDrag = INT_MIN;
    explicit CVrUiPanes(QWidget* parent);
    void setPanes(CVrUiPane* top, CVrUiPane* bottom);
    CVrUiPane* topPane() const { return top_; }
    CVrUiPane* bottomPane() const { return bottom_; }
    void TogglePaneCollapse(CVrUiPane* pane);
    void ShowBottomPane(bool show);
    void Relayout();
    bool bottomShown() const { return bottomShown_; }
    double splitRatio() const { return ratio_; }
    int collapseState() const { return collapse_; }
    // The splitter band in client coordinates (empty when it does not react).
    QRect splitterRect() const;

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

    CVrUiPane* top_ = nullptr;
    CVrUiPane* bottom_ = nullptr;
    bool bottomShown_ = true;
    double ratio_ = 0.5;
    int collapse_ = 0;  // 0 none, 1 top collapsed, -1 bottom collapsed
    bool hover_ = false;
    int dragY_ = kNoDrag;

private:
    int topSplit() const;  // t: the top pane's share of the free height, in pixels
    void endDrag();
};
