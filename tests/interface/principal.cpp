// The widget tests run without a display, on Qt's offscreen platform, and
// keep their recovery copies in a folder of their own.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    Q_INIT_RESOURCE(ressources);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir secours;
    qputenv("DOTAVOB_SECOURS", secours.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
