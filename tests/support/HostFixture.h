#pragma once
// A host with a UI responder installed and the real sheetset.vrx loaded; after each test the
// responder must have no unexpected questions and no unused answers.
#include <gtest/gtest.h>

#include <sstream>

#include "host/CommandLine.h"
#include "host/UiResponder.h"

// Collects what modules print on the command line.
class RecordingCommandLine : public VrCommandLineIo {
public:
    std::wstring printed;
    void print(const TkString& text) override { printed += text; }
    int prompt(const TkString& text, bool, TkString& answer) override {
        printed += text;
        auto a = VrUiResponder::active()->prompt(text);
        if (a.cancel) return RTCAN;
        answer = a.text;
        return RTNORM;
    }
};

class HostTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    bool loadModule();
    VrUiResponder responder;
    RecordingCommandLine commandLine;
};
