#include <cstdlib>

#include <QStandardPaths>
#ifdef HXR_TEST_GUI
#include <QApplication>
#else
#include <QCoreApplication>
#endif

#include <gmock/gmock.h>

// Tests never touch the user's real settings: Qt's test mode moves every standard folder aside.
int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QStandardPaths::setTestModeEnabled(true);
#ifdef HXR_TEST_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
