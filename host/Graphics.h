#pragma once
// The host's graphics services for modules: layout thumbnails drawn by the toolkit's renderer,
// and field evaluation in drawings.
#include <QImage>
#include <string>

class TkDbDatabase;

class VrGsManager {
public:
    // The layout drawn into a `width` x `height` image on white; null when there is no such layout.
    QImage renderLayout(const TkDbDatabase& db, const std::string& layout, int width, int height) const;
    // The lineweight display scale the host applies (pixels per lineweight step).
    double lineweightDisplayScale() const { return 0.5; }
};

// The host's graphics manager; null when the host runs without a GUI application (no fonts, no
// painting), as in a plain command-line process.
VrGsManager* vrgsGetGsManager();
// A thumbnail of the drawing as it was last shown: its current layout.
QImage vruiGetThumbnail(const TkDbDatabase& db, int width, int height);
// Re-evaluates the fields of a drawing in the given evaluation context. This host keeps every
// field's value as the drawing stores it; it reports how many field objects the drawing holds.
int nqdbEvaluateFields(TkDbDatabase* db, int context, bool onlyIfChanged);
