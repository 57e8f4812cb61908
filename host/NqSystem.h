#pragma once
// The host's service root: named services, named functions, system variables with module getters
// and the mode word, palettes, resource switching, product name and profile settings.
#include <map>
#include <memory>
#include <optional>

#include "host/VrTypes.h"

class QWidget;

class CNqSystem {
public:
    static CNqSystem& instance();

    // Named services.
    void registerService(const TkString& name, CNqUnknown* service);
    CNqUnknown* findService(const TkString& name) const;
    void removeService(const TkString& name);

    // Named functions.
    void setFunction(const TkString& key, NqNamedFunction fn);
    bool hasFunction(const TkString& key) const;
    void removeFunction(const TkString& key);
    NqValue callFunction(const TkString& key, const std::vector<NqValue>& args = {}) const;

    // System variables: values the host keeps, and getters modules register for their own.
    // Names are case-insensitive. setVar refuses names a module owns (RTREJ).
    struct SysVar {
        VrResBuf value;
        bool readOnly = false;
    };
    void defineVar(const TkString& name, VrResBuf initial, bool readOnly = false);
    int getVar(const TkString& name, VrResBuf& result, TkDbDatabase* db = nullptr) const;
    int setVar(const TkString& name, const TkString& text);  // parsed as the variable's type
    // The host's own change of a variable users cannot set (BLOCKEDITOR, CLEANSCREENSTATE); editor
    // reactors hear of it as of any other change.
    void setHostVar(const TkString& name, VrResBuf value);
    void registerGetter(const TkString& name, VrSysVarGetter getter);
    void unregisterGetter(const TkString& name);
    bool hasGetter(const TkString& name) const;
    // Users cannot set it: a module supplies it, or the host keeps it for itself.
    bool isReadOnlyVar(const TkString& name) const;
    std::vector<TkString> varNames() const;
    uint32_t modeWord() const { return modeWord_; }
    void setModeWord(uint32_t w) { modeWord_ = w; }

    // Palettes the host docks; the host application listens for additions and removals.
    void addPalette(QWidget* palette, bool add);
    const std::vector<QWidget*>& palettes() const { return palettes_; }
    std::function<void(QWidget*, bool)> onPaletteChanged;

    // Resource switching: the current resource library (a catalog name), set around dialogs.
    TkString setCurrentResource(const TkString& library);  // returns the previous one
    const TkString& currentResource() const { return resource_; }

    TkString productName() const { return L"Vorn"; }
    TkString profileString(const TkString& section, const TkString& key, const TkString& def = L"") const;
    void setProfileString(const TkString& section, const TkString& key, const TkString& value);

    // Drops everything modules registered; for tests and for the host's shutdown.
    void reset();

private:
    CNqSystem();
    static TkString key(const TkString& name);
    int parseVar(const TkString& name, const TkString& text);
    std::map<TkString, CNqUnknown*> services_;
    std::map<TkString, NqNamedFunction> functions_;
    std::map<TkString, SysVar> vars_;
    std::map<TkString, VrSysVarGetter> getters_;
    std::vector<QWidget*> palettes_;
    TkString resource_;
    uint32_t modeWord_ = 0;
};

// Makes a module's resources current for the life of the object, and restores the previous ones.
class CNqResourceScope {
public:
    explicit CNqResourceScope(const TkString& library) : previous_(CNqSystem::instance().setCurrentResource(library)) {}
    ~CNqResourceScope() { CNqSystem::instance().setCurrentResource(previous_); }

private:
    TkString previous_;
};
