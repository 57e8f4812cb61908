#pragma once
// The module object the host asks for: forwards initialise and unload to the entry point.
#include "host/ModuleApi.h"

class VrxModuleAdapter : public TkRxExtendModule {
public:
    explicit VrxModuleAdapter(void* libraryHandle, TkString libraryPath)
        : handle_(libraryHandle), path_(std::move(libraryPath)) {}
    ~VrxModuleAdapter() override;
    int initApp(void* packet) override { return forward(kVrxMsgInitApp, packet); }
    int unloadApp(void* packet) override { return forward(kVrxMsgUnloadApp, packet); }
    void addRef() override { ++refs_; }
    void release() override {
        if (--refs_ <= 0) delete this;
    }
    void* moduleHandle() const override { return handle_; }
    TkString moduleName() const override { return path_.substr(0, 260); }

private:
    // Looks the entry point up once by name ("vrrxEntryPoint", else "vdrxEntryPoint"); 3 when
    // the library has neither.
    int forward(int message, void* packet);
    using EntryFn = int (*)(int, void*);
    void* handle_;
    TkString path_;
    EntryFn entry_ = nullptr;
    bool looked_ = false;
    long refs_ = 1;
};

// The single module object; null before the first request and after it is deleted.
VrxModuleAdapter*& moduleObjectSingleton();
