#pragma once
// A spin box that lets any whole number be typed and, when editing ends, brings a value outside
// its range, or an empty box, to the nearest bound instead of falling back to the old value.
#include <QSpinBox>

class BoundedSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};
