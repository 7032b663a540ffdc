#pragma once
// The image viewer's file actions, as a Linux file manager does them and without ever losing a
// file: delete moves to the trash after one question naming the entry (no trash, no delete); a
// cut file is removed only after its paste succeeded; nothing is overwritten without asking.
#include <QString>
#include <QStringList>
#include <functional>

class DesktopShell;
class UserMessages;

class ViewerFileActions {
public:
    // confirm: a Yes/Cancel question, true for Yes.
    ViewerFileActions(DesktopShell& shell, UserMessages& messages,
                      std::function<bool(const QString&)> confirm);

    void copy(const QStringList& paths);
    void cut(const QStringList& paths);
    // Pastes the copied or cut entries into the folder; returns how many arrived.
    int paste(const QString& folder);
    bool hasClipboard() const { return !clip_.isEmpty(); }

    // Asks once, then moves the entry to the trash.
    bool remove(const QString& path);
    // Renames within its folder; a name with "/" is refused, an existing one needs a Yes.
    bool rename(const QString& path, const QString& newName);
    // A new folder "New Folder" (or "New Folder 2", ...) in the folder; its path, empty on failure.
    QString newFolder(const QString& folder);

private:
    bool copyEntry(const QString& from, const QString& to);

    DesktopShell& shell_;
    UserMessages& messages_;
    std::function<bool(const QString&)> confirm_;
    QStringList clip_;
    bool clipIsCut_ = false;
};
