#include <dlfcn.h>

#include <QFileInfo>

#include "host/ModuleApi.h"

VrModuleLoader& VrModuleLoader::instance() {
    static VrModuleLoader loader;
    return loader;
}

bool VrModuleLoader::load(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::string abs = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    for (auto& m : modules_)
        if (m.path == abs) return fail(abs + " is loaded already");
    if (!QFileInfo::exists(QString::fromStdString(abs))) return fail("cannot find the module " + abs);
    void* h = ::dlopen(abs.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) return fail(std::string("cannot load the module: ") + ::dlerror());
    auto version = reinterpret_cast<TkRxGetApiVersionFn>(::dlsym(h, "tkrxGetAPIVersion"));
    auto create = reinterpret_cast<TkRxCreateModuleObjectFn>(::dlsym(h, "tkrxCreateModuleObject"));
    if (!version || !create) {
        ::dlclose(h);
        return fail(abs + " is not a Vorn module (no tkrxCreateModuleObject)");
    }
    int v[4] = {0, 0, 0, 0};
    version(&v[0], &v[1], &v[2], &v[3]);
    if (v[0] != kTkRxApiVersion[0]) {
        ::dlclose(h);
        return fail(abs + " was built for another interface version (" + std::to_string(v[0]) + "." + std::to_string(v[1]) + ")");
    }
    TkRxExtendModule* m = create();
    if (!m) {
        ::dlclose(h);
        return fail(abs + " did not create its module object");
    }
    m->addRef();
    modules_.push_back({abs, h, m});
    m->initApp(nullptr);
    return true;
}

bool VrModuleLoader::unload(const std::string& pathOrName) {
    for (auto it = modules_.begin(); it != modules_.end(); ++it) {
        QFileInfo fi(QString::fromStdString(it->path));
        if (it->path != pathOrName && fi.fileName().toStdString() != pathOrName && fi.baseName().toStdString() != pathOrName) continue;
        Loaded m = *it;
        modules_.erase(it);
        m.module->unloadApp(nullptr);
        m.module->release();
        ::dlclose(m.handle);
        return true;
    }
    return false;
}

void VrModuleLoader::unloadAll() {
    while (!modules_.empty()) unload(modules_.back().path);
}

std::vector<std::string> VrModuleLoader::loaded() const {
    std::vector<std::string> out;
    for (auto& m : modules_) out.push_back(m.path);
    return out;
}
