#pragma once
// Text is drawn from real fonts, which needs a GUI application, but no display: the verbs that
// draw make one, on the offscreen platform unless the caller chose another.
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

inline std::unique_ptr<QGuiApplication> guiForFonts() {
    if (QGuiApplication::instance()) return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "drawkit";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}
