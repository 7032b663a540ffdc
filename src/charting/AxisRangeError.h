#pragma once
// The refusal of an axis assignment that would invert the axis range.
#include <QString>
#include <stdexcept>

class AxisRangeError : public std::runtime_error {
public:
    explicit AxisRangeError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};
