#pragma once
// The title of a page that is not the statistics page, taken from its body markup, so that a
// reading that was not read can say which page came instead.
#include <QString>

class PageTitle {
public:
    // The text of the first <title> or <h1> element that has any, as plain text: tags dropped,
    // the common entities decoded, blanks folded, at most maxLength characters (the last one an
    // ellipsis when cut). Empty when the markup has none.
    static QString fromMarkup(const QString& markup, int maxLength = kLongest);

    static constexpr int kLongest = 80;
};
