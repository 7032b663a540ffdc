// Saves PNGs of the setup wizard's two pages as a user sees them, so their layout can be checked
// without clicking through the program. Usage: wizard-shots <folder>  (under xvfb-run)
#include "app/dialogs/SetupWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {

bool save(QWidget& w, const QString& path) {
    QApplication::processEvents();
    const bool saved = w.grab().save(path, "PNG");
    std::fprintf(stderr, "wizard-shots: %s %s\n", qPrintable(path), saved ? "saved" : "not saved");
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    SetupWizard wizard;
    wizard.FormShow(QStringLiteral("192.168.1.254"));
    wizard.show();
    if (!QTest::qWaitForWindowExposed(&wizard))
        return 1;
    bool ok = save(wizard, folder + QStringLiteral("/wizard-page1.png"));
    QTest::mouseClick(wizard.Button12, Qt::LeftButton);
    QTest::keyClicks(wizard.edPassword, QStringLiteral("secret"));
    ok = save(wizard, folder + QStringLiteral("/wizard-page2.png")) && ok;
    return ok ? 0 : 1;
}
