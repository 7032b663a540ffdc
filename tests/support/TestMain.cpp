// Test entry point: GoogleTest inside a QApplication on the offscreen platform, so that widget
// tests run without a display. Listing the tests needs no application.
#include <QApplication>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    if (qEnvironmentVariableIsEmpty("LINTROVE_FIXTURES"))
        qputenv("LINTROVE_FIXTURES", LINTROVE_FIXTURES_DIR);
    if (qEnvironmentVariableIsEmpty("LINTROVE_ROUTER_SIM"))
        qputenv("LINTROVE_ROUTER_SIM", LINTROVE_ROUTER_SIM_PATH);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
