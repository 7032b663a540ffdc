#pragma once
// The save dialog for graph images and page pictures: "JPEG Image File (*.jpg)", ".jpg" added by
// the dialog itself (so that its overwrite question sees the real name), asking before
// overwriting, starting in the capture folder.
#include <QString>

class QWidget;

class PictureSaveDialog {
public:
    // The chosen path, or empty when the user cancels.
    static QString ask(QWidget* parent, const QString& startFolder);
};
