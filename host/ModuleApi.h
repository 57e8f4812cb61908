#pragma once
// How the host loads modules (".vrx" shared libraries): the module object each exports through
// tkrxCreateModuleObject, the entry point messages, and the host's loader (APPLOAD).
#include <string>
#include <vector>

#include "host/VrTypes.h"

constexpr int kVrxMsgInitApp = 1;
constexpr int kVrxMsgUnloadApp = 2;

// The module object: the host tells it to initialise and to unload.
class TkRxExtendModule {
public:
    virtual ~TkRxExtendModule() = default;
    virtual int initApp(void* packet) = 0;    // forwards message 1 to the entry point
    virtual int unloadApp(void* packet) = 0;  // forwards message 2
    virtual void addRef() = 0;
    virtual void release() = 0;
    virtual void* moduleHandle() const = 0;
    virtual TkString moduleName() const = 0;  // full path of the library
};

extern "C" {
using TkRxCreateModuleObjectFn = TkRxExtendModule* (*)();
using TkRxGetApiVersionFn = int (*)(int*, int*, int*, int*);
}

// The toolkit interface version modules are built against.
constexpr int kTkRxApiVersion[4] = {3, 5, 0, 0};

class VrModuleLoader {
public:
    static VrModuleLoader& instance();
    // Loads and initialises a module; false with a one-line reason in `error`.
    bool load(const std::string& path, std::string* error = nullptr);
    // Sends the unload message and closes the library. False when it is not loaded.
    bool unload(const std::string& pathOrName);
    void unloadAll();
    std::vector<std::string> loaded() const;

private:
    struct Loaded {
        std::string path;
        void* handle;
        TkRxExtendModule* module;
    };
    std::vector<Loaded> modules_;
};
