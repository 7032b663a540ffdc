#pragma once
// The graphs' mouse cycle may stack override cursors; the default one comes back only when every
// one of them is taken off.
#include <QApplication>

inline void restoreCursor() {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}
