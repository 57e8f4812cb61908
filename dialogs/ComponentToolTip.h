#pragma once
// The drawn tooltip of the items of a sheet set's tree (the palette's, and the trees of the
// dialogs that show the set): the item's name, and by the tooltip style the sheet's preview
// and/or the item's details, rendered into one bitmap and shown in a window of its own beside the
// mouse, kept on the screen. Styles: 0 name, 1-3 preview (small, medium, large), 4 details, 5-7
// preview and details.
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;
class CComponent;

struct ComponentTip {
    QString title;
    QImage preview;  // null: no image box
    QSize box;       // the image box of the style
    QString details; // empty: no details band
};

// The preview size request (0 small, 1 medium, 2 large) of a style, or -1 without a preview.
int tipPreviewRequest(int style);
QSize tipPreviewBox(int style);
bool tipShowsDetails(int style);
// What the tip of `component` shows in `style`, with `title` as the tree shows the item.
ComponentTip makeComponentTip(CComponent* component, const QString& title, int style);
// The tip drawn: a gradient between the two tooltip colours, a grey border, the title centred and
// wrapped at 310 pixels, a line under it, the preview centred below and the details under that.
QImage renderComponentTip(const ComponentTip& tip, const QFont& font);
// Where a tip of `tip`'s size proposed at its top left goes so that it stays in `workArea`.
QPoint placeTipOnWorkArea(const QRect& tip, const QRect& workArea);

class CComponentToolTipCtrl : public QWidget {
public:
    // What the tip of an item shows in a style (makeComponentTip with the item's component),
    // asked only when the tip is about to show; and the style the tree's owner wants now, -1 for
    // no tip at all.
    using Source = std::function<ComponentTip(QTreeWidgetItem* item, int style)>;
    using Style = std::function<int()>;
    // Watches the tree's mouse from now on: hovering an item shows its tip, moving to another item
    // or off the items, a click and the wheel take it away.
    CComponentToolTipCtrl(QTreeWidget* tree, Source source, Style style);
    // Called on every mouse move over the tree and when the tree asks for a tip: the same item in
    // the same style changes nothing; another one replaces the tip; no item hides it.
    void Relay(QTreeWidgetItem* item, int style, const QPoint& globalPos, bool show);
    const QImage& bitmap() const { return bitmap_; }
    QTreeWidgetItem* tippedItem() const { return item_; }

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QTreeWidget* tree_;
    // The tree's viewport, kept from the start: while the tree is torn down its viewport still
    // sends events, and the tree is no scroll area any more to ask for it.
    QWidget* viewport_;
    Source source_;
    Style currentStyle_;
    QTreeWidgetItem* item_ = nullptr;
    int style_ = -1;
    QImage bitmap_;
    QTimer popDown_;
};
