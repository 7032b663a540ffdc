#include "capture/PictureSaveDialog.h"

#include <QFileDialog>

QString PictureSaveDialog::ask(QWidget* parent, const QString& startFolder) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("JPEG Image File (*.jpg)"));
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!startFolder.isEmpty())
        dialog.setDirectory(startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
