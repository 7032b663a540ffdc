#pragma once
// Reads a picture file for display without risk: regular files only (a FIFO named "x.jpg" must
// not hang the program) and nothing larger than the toolkit's allocation limit (a forged
// 60000 x 60000 header counts as a damaged file).
#include <QImage>
#include <QString>

class PictureFile {
public:
    // The decoded picture, or a null image when the file is missing, not a regular file, damaged
    // or too large.
    static QImage read(const QString& path);
};
