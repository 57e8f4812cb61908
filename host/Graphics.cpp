#include "host/Graphics.h"

#include <QGuiApplication>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/gs/TkGsRenderer.h"

QImage VrGsManager::renderLayout(const TkDbDatabase& db, const std::string& layout, int width, int height) const {
    TkGsOptions options;
    options.lineweightScale = lineweightDisplayScale();
    return TkGsRenderer(db, options).renderLayout(layout, width, height);
}

VrGsManager* vrgsGetGsManager() {
    static VrGsManager manager;
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? &manager : nullptr;
}

QImage vruiGetThumbnail(const TkDbDatabase& db, int width, int height) {
    VrGsManager* gs = vrgsGetGsManager();
    return gs ? gs->renderLayout(db, db.currentLayoutName(), width, height) : QImage();
}

int nqdbEvaluateFields(TkDbDatabase* db, int, bool) {
    if (!db) return 0;
    int fields = 0;
    if (const TkDbSection* objects = db->section("OBJECTS"))
        for (const TkDbRecord* r : objects->records)
            if (!r->erased() && r->type() == "FIELD") ++fields;
    return fields;
}
