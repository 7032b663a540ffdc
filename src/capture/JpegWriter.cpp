#include "capture/JpegWriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>

QByteArray JpegWriter::encode(const QImage& image, QString* error) {
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("There is no image to save.");
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(Quality);
    // Baseline: neither progressive scans nor optimised tables, which some viewers mishandle.
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    // Grey images would become one-channel files; the images are always colour.
    const QImage colour = image.format() == QImage::Format_RGB32 ||
                                  image.format() == QImage::Format_ARGB32 ||
                                  image.format() == QImage::Format_RGB888
                              ? image
                              : image.convertToFormat(QImage::Format_RGB32);
    if (!writer.write(colour)) {
        if (error)
            *error = writer.errorString();
        return {};
    }
    return bytes;
}

bool JpegWriter::write(const QImage& image, const QString& path, QString* error) {
    const QByteArray bytes = encode(image, error);
    if (bytes.isEmpty())
        return false;
    return writeBytes(bytes, path, error);
}

bool JpegWriter::writeBytes(const QByteArray& bytes, const QString& path, QString* error) {
    // QSaveFile writes to a temporary file beside the target and renames it on commit; on any
    // failure the temporary file is removed and the old file stays.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
