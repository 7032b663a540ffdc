#include "capture/PictureFile.h"

#include <QFile>
#include <QImageReader>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QImage PictureFile::read(const QString& path) {
    // Non-blocking open, then fstat on the descriptor: the file checked is the file read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    // Qt refuses images above its allocation limit (256 MB by default) before allocating.
    const QImage image = reader.read();
    return image;
}
