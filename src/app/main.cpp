// Program entry (the main window arrives with the window work).
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Lintrove 5A"));
    label.show();
    return app.exec();
}
