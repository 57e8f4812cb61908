#pragma once
// The command line as modules see it: printing, prompting, reading variables and profile paths.
// Where the text goes and where answers come from is the host's choice: the window's command
// line, a batch script, or the UI responder in tests.
#include <memory>

#include "host/VrTypes.h"

class VrCommandLineIo {
public:
    virtual ~VrCommandLineIo() = default;
    virtual void print(const TkString& text) = 0;
    // RTNORM with the typed text, or RTCAN.
    virtual int prompt(const TkString& text, bool allowSpaces, TkString& answer) = 0;
};

// The current command line; the default prints to standard output and asks the UI responder.
VrCommandLineIo& vrCommandLine();
void vrSetCommandLine(VrCommandLineIo* io);  // null restores the default

void vrutPrintf(const wchar_t* format, ...);
// Prompts for a string; `allowSpaces` 0 ends the input at a blank. Answers longer than
// `maxChars` are cut. RTNORM on normal input, RTCAN when cancelled.
int vredGetStringB(int allowSpaces, const wchar_t* prompt, TkString& result, size_t maxChars = 260);
int vredGetVar(const wchar_t* name, VrResBuf& result);
// An integer variable as the signed 16-bit value CAD variables are; 0 when it cannot be read.
int vredGetShortVar(const wchar_t* name);
int vredSetVar(const wchar_t* name, const TkString& value);
// A profile path ("ACAD", "TemplatePath", ...): RTNORM and the value, or RTERROR.
int vredGetEnv(const wchar_t* name, TkString& result);
