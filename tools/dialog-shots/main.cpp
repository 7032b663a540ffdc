// Shows each dialog page with first-run settings and saves it as a PNG in the folder given.
#include "app/AdvancedSettingsDialog.h"
#include "app/MaintenanceDialog.h"
#include "core/Clock.h"
#include "storage/Settings.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <cstdio>

namespace {

bool save(QWidget& w, const QString& file) {
    QApplication::processEvents();
    const bool ok = w.grab().save(file, "PNG");
    std::fprintf(stderr, "%s %s\n", qPrintable(file), ok ? "saved" : "could not be saved");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    SystemClock clock;
    Settings settings =
        Settings::defaults(QStringLiteral("/home/user/Lintrove5A"), clock.now(), QSize(1280, 900));
    settings.DeleteImages = true;
    bool ok = true;

    MaintenanceDialog maintenance(settings, nullptr, nullptr);
    maintenance.prepare(MaintenanceDialog::Highlight::Log, QRect(0, 0, 850, 650));
    maintenance.show();
    ok &= save(maintenance, out + QStringLiteral("/maintenance.png"));
    maintenance.close();

    AdvancedSettingsDialog advanced(settings, clock, nullptr, nullptr);
    advanced.show();
    const char* pages[] = {"home-hub-access", "graphs",     "captured-images",
                           "logging",         "web-server", "system"};
    for (int i = 0; i < advanced.PageControl1->count(); ++i) {
        advanced.PageControl1->setCurrentIndex(i);
        ok &= save(advanced, out + QStringLiteral("/advanced-%1.png").arg(QLatin1String(pages[i])));
    }
    return ok ? 0 : 1;
}
