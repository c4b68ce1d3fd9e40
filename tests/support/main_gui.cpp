// Test main for widget tests: a QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "common/widgets/stile.h"

namespace {
// The offscreen platform cannot raise windows; that notice says nothing
// about the program under test.
QtMessageHandler predefinito = nullptr;
void filtra(QtMsgType t, const QMessageLogContext& c, const QString& m) {
    if (m.startsWith(QStringLiteral("This plugin does not support"))) return;
    predefinito(t, c, m);
}
}  // namespace

int main(int argc, char** argv) {
    predefinito = qInstallMessageHandler(filtra);
    // Offscreen unless a real X server is asked for ("xcb", the walks over
    // every window on Xvfb); a test may choose the offscreen screen it runs
    // on ("offscreen:configfile=...").
    const QByteArray piattaforma = qgetenv("QT_QPA_PLATFORM");
    if (!piattaforma.startsWith("offscreen") && piattaforma != "xcb")
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    varimo::installaStile();  // the program's own style
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
