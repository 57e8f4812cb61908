#include "host/CommandLine.h"

#include <QDir>
#include <QStandardPaths>
#include <QString>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <iostream>

#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/UiResponder.h"

namespace {

class DefaultIo : public VrCommandLineIo {
public:
    void print(const TkString& text) override {
        std::cout << QString::fromStdWString(text).toStdString() << std::flush;
    }
    int prompt(const TkString& text, bool, TkString& answer) override {
        print(text);
        VrUiResponder* r = VrUiResponder::active();
        if (!r) return RTCAN;
        auto a = r->prompt(text);
        if (a.cancel) return RTCAN;
        answer = a.text;
        return RTNORM;
    }
};

DefaultIo gDefault;
VrCommandLineIo* gIo = &gDefault;

}  // namespace

VrCommandLineIo& vrCommandLine() { return *gIo; }
void vrSetCommandLine(VrCommandLineIo* io) { gIo = io ? io : &gDefault; }

void vrutPrintf(const wchar_t* format, ...) {
    wchar_t buf[4096];
    va_list ap;
    va_start(ap, format);
    int n = std::vswprintf(buf, sizeof buf / sizeof buf[0], format, ap);
    va_end(ap);
    if (n < 0) buf[sizeof buf / sizeof buf[0] - 1] = 0;  // cut, but print what fitted
    gIo->print(buf);
}

int vredGetStringB(int allowSpaces, const wchar_t* prompt, TkString& result, size_t maxChars) {
    TkString answer;
    int rc = gIo->prompt(prompt ? prompt : L"", allowSpaces != 0, answer);
    if (rc != RTNORM) return rc;
    if (!allowSpaces) {
        size_t blank = answer.find(L' ');
        if (blank != TkString::npos) answer.resize(blank);
    }
    if (answer.size() > maxChars) answer.resize(maxChars);
    result = answer;
    return RTNORM;
}

int vredGetVar(const wchar_t* name, VrResBuf& result) {
    VrApDocument* doc = vrDocManagerPtr()->curDocument();
    return CNqSystem::instance().getVar(name, result, doc ? doc->database() : nullptr);
}

int vredGetShortVar(const wchar_t* name) {
    VrResBuf v;
    if (vredGetVar(name, v) != RTNORM) return 0;
    return static_cast<int16_t>(v.integer);
}

int vredSetVar(const wchar_t* name, const TkString& value) { return CNqSystem::instance().setVar(name, value); }

int vredGetEnv(const wchar_t* name, TkString& result) {
    QString n = QString::fromWCharArray(name).toUpper();
    if (n == "TEMPLATEPATH" || n == "TEMPLATE") {
        result = CNqSystem::instance().profileString(L"General", L"TemplatePath",
                                                     (QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Template").toStdWString());
        return RTNORM;
    }
    if (n == "MYDOCUMENTS") {
        result = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdWString();
        return RTNORM;
    }
    TkString v = CNqSystem::instance().profileString(L"General", QString::fromWCharArray(name).toStdWString());
    if (v.empty()) return RTERROR;
    result = v;
    return RTNORM;
}
