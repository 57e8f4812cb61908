#include "module/ModuleAdapter.h"

#include <dlfcn.h>

VrxModuleAdapter*& moduleObjectSingleton() {
    static VrxModuleAdapter* object = nullptr;
    return object;
}

VrxModuleAdapter::~VrxModuleAdapter() {
    if (moduleObjectSingleton() == this) moduleObjectSingleton() = nullptr;
}

int VrxModuleAdapter::forward(int message, void* packet) {
    if (!looked_) {
        looked_ = true;
        void* h = handle_ ? handle_ : RTLD_DEFAULT;
        entry_ = reinterpret_cast<EntryFn>(::dlsym(h, "vrrxEntryPoint"));
        if (!entry_) entry_ = reinterpret_cast<EntryFn>(::dlsym(h, "vdrxEntryPoint"));
    }
    return entry_ ? entry_(message, packet) : 3;
}
