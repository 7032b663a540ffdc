#pragma once
// The help document "Help..." opens: the installed copy as it is, or, when the program runs from
// a build tree, a copy written from the resources into the program folder at every start and
// deleted at close.
#include <QString>
#include <functional>

class DesktopShell;
class QObject;

class HelpDocument {
public:
    // installedFile empty: the program folder's own copy.
    HelpDocument(QString programFolder, QString installedFile);

    QString path() const;
    // A fresh copy at start; when the old one cannot be deleted (a viewer holds it) it stays and
    // is used.
    void writeCopy();
    // The installed document belongs to the installation and stays.
    void removeCopy();
    // Opens it in the desktop's viewer, or, when the desktop cannot show it, hands it to
    // ownViewer (while context lives). A document that is missing opens nothing.
    void open(DesktopShell& shell, QObject* context,
              std::function<void(const QString& file)> ownViewer) const;

private:
    QString programFolder_;
    QString installedFile_;
};
