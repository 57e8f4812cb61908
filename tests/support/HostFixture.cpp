#include "tests/support/HostFixture.h"

#include <QSettings>

#include "host/CommandStack.h"
#include "host/Documents.h"
#include "host/ModuleApi.h"
#include "host/NqSystem.h"
#include "host/Resources.h"

void HostTest::SetUp() {
    QSettings("Vorn", "Vorn").clear();  // palette state and recent files of earlier tests
    CNqSystem::instance().reset();
    tkedRegCmds()->clear();
    vrSetResourceFolder(VORN_SOURCE_DIR "/res");
    vrSetResourceLanguage("en");
    VrUiResponder::install(&responder);
    vrSetCommandLine(&commandLine);
}

void HostTest::TearDown() {
    VrModuleLoader::instance().unloadAll();
    vrDocManagerPtr()->closeAll();
    for (const std::string& f : responder.failures()) ADD_FAILURE() << f;
    EXPECT_TRUE(responder.allAnswersUsed()) << "answers were queued for questions that never came";
    VrUiResponder::install(nullptr);
    vrSetCommandLine(nullptr);
}

bool HostTest::loadModule() {
    std::string error;
    bool ok = VrModuleLoader::instance().load(SHEETSET_VRX, &error);
    EXPECT_TRUE(ok) << error;
    return ok;
}
