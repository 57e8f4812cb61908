#include "palette/SheetSetPanes.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStackedLayout>

#include "model/SheetImpl.h"
#include "model/SheetSetMessages.h"
#include "palette/PaletteIds.h"
#include "palette/PaletteText.h"
#include "palette/SheetsetTree.h"
#include "palette/TreeImages.h"

CSheetsPane::CSheetsPane(QWidget* parent) : CVrUiPane(paletteText(27101, L"Sheets"), parent) {
    tree_ = new CSheetsetTree(this);
    setContent(tree_);
    AddButton(std::make_unique<CBitmapPaneButton>(pal::kPaneRefresh, paneButtonImage(kArtRefresh),
                                                  paletteText(27701, L"Refresh sheet status")));
}

void CSheetsPane::OnPaneButton(int id) {
    if (id == pal::kPaneRefresh) {
        CVrUiPaneButton* b = button(id);
        if (b && !b->state && tree_->observer()) tree_->observer()->onRefresh();
        return;
    }
    CVrUiPane::OnPaneButton(id);
}

QRect CPreviewStatic::placement(QSize image, QSize client) {
    if (image.isEmpty()) return {};
    QSize drawn = image;
    if (image.width() > client.width() || image.height() > client.height()) {
        double hr = double(client.height()) / image.height(), wr = double(client.width()) / image.width();
        if (hr > wr) drawn = QSize(client.width(), client.width() * image.height() / image.width());
        else drawn = QSize(client.height() * image.width() / image.height(), client.height());
    }
    return QRect(QPoint((client.width() - drawn.width()) / 2, (client.height() - drawn.height()) / 2), drawn);
}

void CPreviewStatic::SetImage(const QImage* image) {
    image_ = image ? image->copy() : QImage();
    note_.clear();
    update();
}

void CPreviewStatic::SetNote(const QString& note) {
    note_ = note;
    update();
}

void CPreviewStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    if (image_.isNull()) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, note_);
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(placement(image_.size(), size()), image_);
}

CDetailsPane::CDetailsPane(QWidget* parent, bool previewMode) : CVrUiPane(QString(), parent), preview_(previewMode) {
    auto* stack = new QWidget(this);
    details_ = new QPlainTextEdit(stack);
    details_->setReadOnly(true);
    details_->setFrameShape(QFrame::NoFrame);
    details_->setContextMenuPolicy(Qt::NoContextMenu);  // the palette's view menu instead
    details_->setObjectName("DetailEdit");
    previewView_ = new CPreviewStatic(stack);
    previewView_->setObjectName("PreviewStatic");
    auto* layout = new QStackedLayout(stack);
    layout->addWidget(details_);
    layout->addWidget(previewView_);
    setContent(stack);
    AddButton(std::make_unique<CBitmapPaneButton>(pal::kPaneDetails, paneButtonImage(kArtDetails), paletteText(26517, L"Details")));
    AddButton(std::make_unique<CBitmapPaneButton>(pal::kPanePreview, paneButtonImage(kArtPreview), paletteText(26518, L"Preview")));
    showMode();
}

void CDetailsPane::showMode() {
    setTitle(preview_ ? paletteText(26518, L"Preview") : paletteText(26517, L"Details"));
    static_cast<QStackedLayout*>(content()->layout())->setCurrentWidget(preview_ ? static_cast<QWidget*>(previewView_) : details_);
    if (!preview_) previewView_->SetImage(nullptr);
}

QString CDetailsPane::detailsText() const { return details_->toPlainText(); }

void CDetailsPane::Update(CComponent* component, bool several) {
    component_ = component;
    several_ = several;
    stale_ = isHidden();
    if (!stale_) build();
}

void CDetailsPane::showEvent(QShowEvent* e) {
    CVrUiPane::showEvent(e);
    if (stale_) {
        stale_ = false;
        build();
    }
}

void CDetailsPane::build() {
    ++builds_;
    CComponent* component = component_;
    const bool several = several_;
    showMode();
    if (preview_) {
        auto* sheet = dynamic_cast<CSheetImpl*>(component);
        const QImage* image = sheet && !several ? sheet->getPreview(2) : nullptr;
        previewView_->SetImage(image);
        if (!image && sheet && !several) previewView_->SetNote(QString::fromStdWString(sheet->previewProblem()));
        return;
    }
    TkString text;
    if (several) text = ssMessage(26519, L"Multiple items selected");
    else if (component) component->getDetails(text);
    details_->setPlainText(QString::fromStdWString(text));
}

void CDetailsPane::OnPaneButton(int id) {
    CVrUiPaneButton* b = button(id);
    if (id == pal::kPaneDetails && b && !b->state && preview_) {
        preview_ = false;
        Update(component_, several_);
    } else if (id == pal::kPanePreview && b && !b->state && !preview_) {
        preview_ = true;
        if (currentSelection) {
            auto [c, several] = currentSelection();
            component_ = several ? component_ : c;
            several_ = several;
        }
        Update(component_, several_);
    } else if (id == pal::kPaneCollapse) {
        CVrUiPane::OnPaneButton(id);
    }
}

void CDetailsPane::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) return;  // swallowed
    CVrUiPane::keyPressEvent(e);
}

CSheetSetPanes::CSheetSetPanes(QWidget* parent, bool detailsShown, double ratio, int collapse, bool previewMode)
    : CVrUiPanes(parent) {
    ratio_ = ratio < -1e-10 || ratio > 1 + 1e-10 ? 0.5 : std::clamp(ratio, 0.0, 1.0);
    collapse_ = collapse == 1 || collapse == -1 ? collapse : 0;
    bottomShown_ = detailsShown;
    auto* sheets = new CSheetsPane(this);
    if (detailsShown) sheets->AddCollapseButton(collapse_ == 1);
    auto* details = new CDetailsPane(this, previewMode);
    details->AddCollapseButton(collapse_ == -1);
    details->setVisible(detailsShown);
    setPanes(sheets, details);
}
