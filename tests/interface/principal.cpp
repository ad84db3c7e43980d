// The widget tests run without a display, on Qt's offscreen platform, and
// keep their recovery copies and data in a folder of their own.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    Q_INIT_RESOURCE(ressources);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir secours;
    qputenv("DOTAVOB_SECOURS", secours.path().toLocal8Bit());
    // What saves into a file itself keeps aside goes there too, not into the user's folder.
    qputenv("XDG_DATA_HOME", (secours.path() + QStringLiteral("/donnees")).toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
