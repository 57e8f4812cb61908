// The exports of sheetset.vrx: the module object, the interface version and the entry point.
#include <dlfcn.h>

#include "host/ModuleApi.h"
#include "module/ModuleAdapter.h"
#include "module/ModuleLifecycle.h"

extern "C" {

__attribute__((visibility("default"))) TkRxExtendModule* tkrxCreateModuleObject() {
    VrxModuleAdapter*& object = moduleObjectSingleton();
    if (!object) {
        // The library's own handle and path, for the entry point lookup and the module name.
        Dl_info info{};
        void* handle = nullptr;
        TkString path;
        if (::dladdr(reinterpret_cast<void*>(&tkrxCreateModuleObject), &info) && info.dli_fname) {
            handle = ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
            if (handle) ::dlclose(handle);  // NOLOAD took a reference; the host holds its own
            std::string p = info.dli_fname;
            path.assign(p.begin(), p.end());
        }
        object = new VrxModuleAdapter(handle, path);
    }
    return object;
}

__attribute__((visibility("default"))) int tkrxGetAPIVersion(int* major, int* minor, int* patch, int* build) {
    if (major) *major = kTkRxApiVersion[0];
    if (minor) *minor = kTkRxApiVersion[1];
    if (patch) *patch = kTkRxApiVersion[2];
    if (build) *build = kTkRxApiVersion[3];
    return 0;
}

__attribute__((visibility("default"))) int vrrxEntryPoint(int message, void*) {
    if (message == kVrxMsgInitApp) sheetSetInitialize();
    else if (message == kVrxMsgUnloadApp) sheetSetUnload();
    return 0;
}
}
