#include "host/NqSystem.h"

#include "host/PathUtil.h"

#include "host/Editor.h"
#include "host/PlotService.h"
#include "host/TransmitService.h"

#include <QSettings>
#include <QString>

#include <cwctype>

TkString VrResBuf::toText() const {
    switch (type) {
    case Short:
    case Long: return std::to_wstring(integer);
    case Real: return QString::number(real, 'g', 15).toStdWString();
    case String: return text;
    default: return L"";
    }
}

CNqSystem& CNqSystem::instance() {
    static CNqSystem system;
    return system;
}

CNqSystem::CNqSystem() { reset(); }

// Folded the locale-neutral way, then shown in capitals as CAD hosts list their variables.
TkString CNqSystem::key(const TkString& name) { return QString::fromStdWString(vrutFoldCase(name)).toUpper().toStdWString(); }

void CNqSystem::reset() {
    services_.clear();
    functions_.clear();
    getters_.clear();
    palettes_.clear();
    vars_.clear();
    resource_.clear();
    modeWord_ = 0;
    // The variables the host itself keeps; modules read them with vredGetVar.
    defineVar(L"SSLOCATE", VrResBuf::ofShort(1));
    defineVar(L"DWGTITLED", VrResBuf::ofShort(0), true);
    defineVar(L"SSMSHEETSTATUS", VrResBuf::ofShort(1));
    defineVar(L"SSMPOLLTIME", VrResBuf::ofShort(60));
    defineVar(L"SSMAUTOOPEN", VrResBuf::ofShort(1));
    defineVar(L"BLOCKEDITOR", VrResBuf::ofShort(0), true);
    defineVar(L"CLEANSCREENSTATE", VrResBuf::ofShort(0), true);
    defineVar(L"SAVEFORMAT", VrResBuf::ofShort(48));  // the default save format: R2010 drawings
    defineVar(L"LOGINNAME", VrResBuf::ofString(L""), true);
    defineVar(L"DWGNAME", VrResBuf::ofString(L""), true);
    defineVar(L"DWGPREFIX", VrResBuf::ofString(L""), true);
    defineVar(L"CTAB", VrResBuf::ofString(L""), true);
}

void CNqSystem::registerService(const TkString& name, CNqUnknown* service) { services_[name] = service; }

CNqUnknown* CNqSystem::findService(const TkString& name) const {
    auto it = services_.find(name);
    return it == services_.end() ? nullptr : it->second;
}

void CNqSystem::removeService(const TkString& name) { services_.erase(name); }

void CNqSystem::setFunction(const TkString& k, NqNamedFunction fn) { functions_[k] = std::move(fn); }
bool CNqSystem::hasFunction(const TkString& k) const { return functions_.count(k) != 0; }
void CNqSystem::removeFunction(const TkString& k) { functions_.erase(k); }

NqValue CNqSystem::callFunction(const TkString& k, const std::vector<NqValue>& args) const {
    auto it = functions_.find(k);
    return it == functions_.end() ? NqValue{} : it->second(args);
}

void CNqSystem::defineVar(const TkString& name, VrResBuf initial, bool readOnly) { vars_[key(name)] = SysVar{std::move(initial), readOnly}; }

int CNqSystem::getVar(const TkString& name, VrResBuf& result, TkDbDatabase* db) const {
    TkString k = key(name);
    if (auto g = getters_.find(k); g != getters_.end()) {
        g->second(result, db);
        return RTNORM;
    }
    auto it = vars_.find(k);
    if (it == vars_.end()) return RTERROR;
    result = it->second.value;
    return RTNORM;
}

int CNqSystem::setVar(const TkString& name, const TkString& text) {
    int rc = parseVar(name, text);
    // Reactors hear of refused values too (with ok false), as they do in every CAD editor.
    if (rc != RTREJ || vars_.count(key(name))) tkedEditor()->fireSysVarChanged(name, rc == RTNORM);
    return rc;
}

void CNqSystem::setHostVar(const TkString& name, VrResBuf value) {
    vars_[key(name)] = SysVar{std::move(value), true};
    tkedEditor()->fireSysVarChanged(name, true);
}

int CNqSystem::parseVar(const TkString& name, const TkString& text) {
    TkString k = key(name);
    auto it = vars_.find(k);
    if (getters_.count(k) || it == vars_.end() || it->second.readOnly) return RTREJ;
    VrResBuf& v = it->second.value;
    QString t = QString::fromStdWString(text).trimmed();
    bool ok = true;
    switch (v.type) {
    case VrResBuf::Short:
    case VrResBuf::Long: {
        long long n = t.toLongLong(&ok);
        if (!ok || (v.type == VrResBuf::Short && (n < -32768 || n > 32767))) return RTREJ;
        v.integer = n;
        break;
    }
    case VrResBuf::Real: {
        double d = t.toDouble(&ok);
        if (!ok) return RTREJ;
        v.real = d;
        break;
    }
    default: v.text = text;
    }
    return RTNORM;
}

void CNqSystem::registerGetter(const TkString& name, VrSysVarGetter getter) { getters_[key(name)] = std::move(getter); }
void CNqSystem::unregisterGetter(const TkString& name) { getters_.erase(key(name)); }
bool CNqSystem::hasGetter(const TkString& name) const { return getters_.count(key(name)) != 0; }

bool CNqSystem::isReadOnlyVar(const TkString& name) const {
    auto it = vars_.find(key(name));
    return hasGetter(name) || (it != vars_.end() && it->second.readOnly);
}

std::vector<TkString> CNqSystem::varNames() const {
    std::vector<TkString> out;
    for (auto& [k, v] : vars_) out.push_back(k);
    for (auto& [k, g] : getters_)
        if (!vars_.count(k)) out.push_back(k);
    return out;
}

void CNqSystem::addPalette(QWidget* palette, bool add) {
    std::erase(palettes_, palette);
    if (add) palettes_.push_back(palette);
    if (onPaletteChanged) onPaletteChanged(palette, add);
}

TkString CNqSystem::setCurrentResource(const TkString& library) {
    TkString previous = resource_;
    resource_ = library;
    return previous;
}

TkString CNqSystem::profileString(const TkString& section, const TkString& k, const TkString& def) const {
    QSettings s("Vorn", "Vorn");
    return s.value(QString::fromStdWString(L"Profiles/" + section + L"/" + k), QString::fromStdWString(def)).toString().toStdWString();
}

void CNqSystem::setProfileString(const TkString& section, const TkString& k, const TkString& value) {
    QSettings s("Vorn", "Vorn");
    s.setValue(QString::fromStdWString(L"Profiles/" + section + L"/" + k), QString::fromStdWString(value));
}

CNqPlotSvr* vrPlotService() { return dynamic_cast<CNqPlotSvr*>(CNqSystem::instance().findService(L"CNqPlotSvr")); }

IVrTransmitService* vrTransmitService() {
    return dynamic_cast<IVrTransmitService*>(CNqSystem::instance().findService(L"IVrTransmitService"));
}
