#pragma once
// The picture of the router's statistics page: the top-left part of the page as shown, as wide
// as the browser view less 300 pixels and at most 600 pixels high.
#include <QImage>
#include <QSize>

class PagePicture {
public:
    // 1000 x 700 gives 700 x 600; 800 x 455 gives 500 x 455. Empty when the view is too small.
    static QSize pictureSize(QSize viewSize);
    // The top-left part of the grabbed view (grabbed at the view's size) for a view of that
    // size; a null image when there is nothing to show.
    static QImage fromGrab(const QImage& grabbed, QSize viewSize);
};
