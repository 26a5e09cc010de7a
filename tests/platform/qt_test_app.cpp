#include "qt_test_app.h"

#include <QApplication>

void ensureQtApp() {
    if (QCoreApplication::instance() != nullptr) return;
    // The message boxes need widgets; no display is needed for them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "telvarn_platform_tests";
    static char* argv[] = {name, nullptr};
    // Left alive until the process ends: tearing Qt down during static destruction is unsafe.
    static auto* app = new QApplication(argc, argv);
    (void)app;
}
