// Shows each dialog page with first-run settings and saves it as a PNG in the folder given.
// Usage: dialog-shots [folder] [capture folder for the image viewer]
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/AdvancedSettingsDialog.h"
#include "app/dialogs/DataFileDialog.h"
#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/MaintenanceDialog.h"
#include "app/dialogs/MessageBoxes.h"
#include "core/Clock.h"
#include "core/DesktopShell.h"
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
    advanced.close();

    DesktopShell shell;
    AboutBox about({});
    about.show();
    ok &= save(about, out + QStringLiteral("/about-box.png"));
    about.close();

    DataFileDialog dataFile(settings, &shell, nullptr);
    dataFile.show();
    ok &= save(dataFile, out + QStringLiteral("/data-file.png"));
    dataFile.close();

    if (argc > 2) { // the images a run of the program captured
        settings.Capture = QString::fromLocal8Bit(argv[2]);
        MessageBoxes messages(nullptr);
        ImageViewer viewer(settings, settings.Capture, shell, messages);
        viewer.show();
        const QStringList images =
            QDir(settings.Capture).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
        // The model fills the list in the background: wait for it, then show the newest.
        for (int i = 0; i < 50 && !images.isEmpty(); ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            viewer.selectPath(QDir(settings.Capture).filePath(images.last()));
            if (!viewer.picture().isNull())
                break;
        }
        ok &= save(viewer, out + QStringLiteral("/image-viewer.png"));
    }
    return ok ? 0 : 1;
}
