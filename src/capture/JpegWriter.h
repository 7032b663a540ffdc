#pragma once
// JPEG files of the program's images: quality 90, colour, baseline, always written under a
// temporary name and renamed into place, so that no viewer or web client sees half a file.
#include <QByteArray>
#include <QImage>
#include <QString>

class JpegWriter {
public:
    static constexpr int Quality = 90;

    // The image as a baseline colour JPEG; empty with *error set when it cannot be encoded.
    static QByteArray encode(const QImage& image, QString* error = nullptr);

    // Encodes and writes the file atomically: either the complete new image is in place, or the
    // file is as it was (and no temporary file is left). *error says why it failed.
    [[nodiscard]] static bool write(const QImage& image, const QString& path,
                                    QString* error = nullptr);

    // Writes bytes already encoded, the same way.
    [[nodiscard]] static bool writeBytes(const QByteArray& bytes, const QString& path,
                                         QString* error = nullptr);
};
