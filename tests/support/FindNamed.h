#pragma once
// Finds a child widget or action by object name for window tests. A missing one fails the test
// with its name and type and ends the test, instead of crashing on a null pointer.
#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

struct MissingChild : std::runtime_error {
    using std::runtime_error::runtime_error;
};

template <typename T> T* findNamed(const QObject* parent, const char* name) {
    T* found = parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found) {
        const std::string what =
            std::string("no ") + T::staticMetaObject.className() + " named \"" + name + "\"";
        ADD_FAILURE() << what;
        throw MissingChild(what);
    }
    return found;
}
