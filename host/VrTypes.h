#pragma once
// Plain types of the host SDK, shared by the host and the modules it loads. No Qt here: the model
// includes this header.
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

using TkString = std::wstring;

// Results of host calls that talk to the user or read values.
constexpr int RTNORM = 5100;   // normal completion
constexpr int RTNONE = 5000;   // no value
constexpr int RTERROR = -5001;
constexpr int RTCAN = -5002;   // cancelled by the user (Escape)
constexpr int RTREJ = -5003;   // refused: no such variable, bad value

// Message box styles and results, as the platform numbers them.
constexpr unsigned MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7, IDCLOSE = 8;

// A value of a system variable or of a named function's argument.
struct VrResBuf {
    enum Type { None = RTNONE, Real = 5001, Short = 5003, String = 5005, Long = 5010 };
    Type type = None;
    double real = 0;
    long long integer = 0;
    TkString text;

    static VrResBuf ofShort(int v) { VrResBuf r; r.type = Short; r.integer = v; return r; }
    static VrResBuf ofLong(long long v) { VrResBuf r; r.type = Long; r.integer = v; return r; }
    static VrResBuf ofReal(double v) { VrResBuf r; r.type = Real; r.real = v; return r; }
    static VrResBuf ofString(TkString v) { VrResBuf r; r.type = String; r.text = std::move(v); return r; }
    TkString toText() const;
};

// Base of the services modules publish in the host's registry; the creator deletes.
class CNqUnknown {
public:
    virtual ~CNqUnknown() = default;
};

// Named functions take and give loosely typed values.
using NqValue = std::variant<std::monostate, bool, long long, double, TkString, std::vector<TkString>>;
using NqNamedFunction = std::function<NqValue(const std::vector<NqValue>& args)>;

class TkDbDatabase;
// A module's getter of a system variable: fills the result for the given drawing (may be null).
using VrSysVarGetter = std::function<void(VrResBuf& result, TkDbDatabase* db)>;

// A command function; runs on the user-interface thread.
using VrCommandFunction = std::function<void()>;
