#include "capture/PagePicture.h"

#include <QPainter>
#include <algorithm>

QSize PagePicture::pictureSize(QSize viewSize) {
    const QSize size(viewSize.width() - 300, std::min(viewSize.height(), 600));
    return size.isEmpty() ? QSize() : size;
}

QImage PagePicture::fromGrab(const QImage& grabbed, QSize viewSize) {
    const QSize size = pictureSize(viewSize);
    if (grabbed.isNull() || size.isEmpty())
        return {};
    // What lies outside the grab (a view smaller than it claims) stays white.
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(QPoint(0, 0), grabbed);
    painter.end();
    return picture;
}
