#include "qt_test_app.h"

#include <QCoreApplication>

void ensureQtApp() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "telvarn_platform_tests";
    static char* argv[] = {name, nullptr};
    // Left alive until the process ends: tearing Qt down during static destruction is unsafe.
    static auto* app = new QCoreApplication(argc, argv);
    (void)app;
}
