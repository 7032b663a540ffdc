#pragma once
// The capture folder as the user types it: a relative text means a folder beside the program,
// an empty text is never a folder, and a trailing separator is dropped (except from "/").
#include <QString>

class DesktopShell;
class QWidget;

class CaptureFolder {
public:
    // The folder the text names; relative texts resolve against programFolder. Empty for an
    // empty text.
    static QString resolve(const QString& text, const QString& programFolder);
    // Whether the text names an existing folder.
    static bool exists(const QString& text, const QString& programFolder);
    // The text without a trailing separator; "/" keeps its only one.
    static QString withoutTrailingSeparator(const QString& text);
    // The folder chooser titled "Select folder", starting at the current text; the chosen
    // folder, or the current text unchanged when the user cancels.
    static QString GetFolder(DesktopShell& shell, QWidget* parent, const QString& current,
                             const QString& programFolder);
    // Status panel 2: "Capture folder:  " + the folder's size text, empty without the folder.
    static QString statusText(const QString& text, const QString& programFolder);
};
