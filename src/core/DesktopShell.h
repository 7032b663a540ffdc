#pragma once
// The operations handed to the desktop: opening a document or address in its associated program,
// starting a new instance, moving a file to the trash and choosing a folder. Virtual so that
// windows can be tested with a fake.
#include <QString>
#include <QUrl>
#include <functional>

class QObject;
class QWidget;

class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    // Opens a file path or a web address with the program the desktop associates with it.
    // Returns false when the desktop could not hand it on (no program associated, no launcher).
    [[nodiscard]] virtual bool open(const QString& pathOrUrl);
    // Opens as open() does and tells, later, when the desktop turned out not to be able to:
    // xdg-open starts whether or not anything can show the file, so its exit status is what
    // counts. failed runs at most once, from the event loop or at once, and only while context
    // lives.
    virtual void openWatched(const QString& pathOrUrl, QObject* context,
                             std::function<void()> failed);
    // Starts this program's executable again, detached, with the same environment and no
    // arguments. Returns whether it started; callers end the program regardless.
    virtual bool startNewInstance();
    // Moves the file to the desktop's trash, from where it can be restored.
    virtual bool moveToTrash(const QString& path);
    // A folder chooser showing folders only, starting at startPath; empty when cancelled. Both
    // the desktop's and the toolkit's choosers let the user type a path, so withEditBox asks for
    // nothing more.
    virtual QString chooseFolder(QWidget* parent, const QString& title, const QString& startPath,
                                 bool withEditBox);

    // The message for a file or address that open() could not hand on.
    static QString openFailedText(const QString& pathOrUrl);

    // The address open() hands on: "scheme://..." as it is, anything else as a local file
    // (relative paths against the working folder).
    static QUrl urlFor(const QString& pathOrUrl);
};
