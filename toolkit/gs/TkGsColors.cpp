#include "toolkit/gs/TkGsColors.h"
#include "toolkit/db/TkDbCodes.h"

#include <algorithm>

#include "toolkit/db/TkDbDatabase.h"
#include "toolkit/db/TkDbObjects.h"

QColor tkGsAciColor(int aci) {
    static const QColor base[10] = {QColor(0, 0, 0),       QColor(255, 0, 0),   QColor(255, 255, 0), QColor(0, 255, 0),
                                    QColor(0, 255, 255),   QColor(0, 0, 255),   QColor(255, 0, 255), QColor(255, 255, 255),
                                    QColor(128, 128, 128), QColor(192, 192, 192)};
    if (aci >= 0 && aci < 10) return base[aci];
    if (aci >= 250 && aci <= 255) {
        static const int grey[6] = {51, 91, 132, 173, 214, 255};
        int g = grey[aci - 250];
        return QColor(g, g, g);
    }
    if (aci < 10 || aci > 255) return QColor(0, 0, 0);
    // 10..249: 24 hues, each in five shades of full and half saturation.
    int hue = (aci - 10) / 10, shade = (aci - 10) % 10;
    static const double value[5] = {1.0, 0.8, 0.6, 0.5, 0.3};
    QColor c;
    c.setHsvF(hue * 15.0 / 360.0, shade % 2 ? 0.5 : 1.0, value[shade / 2]);
    return c;
}

QColor tkGsOnWhite(const QColor& c) {
    // On white paper, white and light greys print black, as plotters do; other light colours
    // (yellow, light cyan) keep their hue but are darkened until they show.
    double y = 0.299 * c.redF() + 0.587 * c.greenF() + 0.114 * c.blueF();
    if (y <= 0.75) return c;
    if (c.hsvSaturationF() < 0.2) return QColor(0, 0, 0);
    double k = 0.75 / y;
    return QColor::fromRgbF(static_cast<float>(c.redF() * k), static_cast<float>(c.greenF() * k), static_cast<float>(c.blueF() * k));
}

TkGsColorResolver::TkGsColorResolver(const TkDbDatabase& db) {
    for (TkDbRecord* r : db.tableEntries("LAYER")) {
        Layer l;
        long long aci = r->integer(62, {}, 7);
        l.visible = aci >= 0 && (r->integer(70) & 1) == 0;  // negative colour: off; flag 1: frozen
        if (const TkDbTag* t = r->find(tkdxf::kTrueColor)) {
            long long rgb = 0;
            tkDbToInt(t->value(), rgb);
            l.color = QColor((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255);
        } else {
            l.color = tkGsAciColor(static_cast<int>(aci < 0 ? -aci : aci));
        }
        l.lineweight = static_cast<int>(r->integer(370, {}, -3));
        const std::string name(r->str(2));
        l.plots = r->integer(290, {}, 1) != 0 && !tkDbNameEqualNoCase(name, "Defpoints");
        layers_[name] = l;
    }
}

const TkGsColorResolver::Layer* TkGsColorResolver::layerOf(const TkDbRecord& e, std::string_view onLayer) const {
    auto it = layers_.find(std::string(onLayer.empty() ? e.str(8) : onLayer));
    return it == layers_.end() ? nullptr : &it->second;
}

QColor TkGsColorResolver::colorOf(const TkDbRecord& e, const QColor& byBlock, std::string_view onLayer) const {
    if (const TkDbTag* t = e.find(tkdxf::kTrueColor)) {
        long long rgb = 0;
        tkDbToInt(t->value(), rgb);
        return QColor((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255);
    }
    long long aci = e.integer(62, {}, 256);
    if (aci == 0) return byBlock;
    if (aci == 256 || aci < 0) {
        const Layer* l = layerOf(e, onLayer);
        return l ? l->color : QColor(0, 0, 0);
    }
    return tkGsAciColor(static_cast<int>(aci));
}

int TkGsColorResolver::lineweightOf(const TkDbRecord& e, int byBlock, std::string_view onLayer) const {
    long long lw = e.integer(370, {}, -1);
    if (lw == -2) return byBlock;
    if (lw == -1) {
        const Layer* l = layerOf(e, onLayer);
        lw = l ? l->lineweight : -3;
    }
    return lw < 0 ? -3 : static_cast<int>(lw);  // -3: the drawing's default lineweight
}

bool TkGsColorResolver::isVisible(const TkDbRecord& e, std::string_view onLayer) const {
    const Layer* l = layerOf(e, onLayer);
    return (!l || l->visible) && (e.integer(60) & 1) == 0;  // group 60: entity invisible
}

bool TkGsColorResolver::plots(const TkDbRecord& e, std::string_view onLayer) const {
    const Layer* l = layerOf(e, onLayer);
    // A layer the table lacks: its name alone tells.
    return l ? l->plots : !tkDbNameEqualNoCase(onLayer.empty() ? e.str(8) : onLayer, "Defpoints");
}
