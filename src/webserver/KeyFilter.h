#pragma once
// Drops typed characters that a box does not take (the port, image size and address boxes);
// Backspace and keys that type nothing (arrows, Delete, Home) pass.
#include <QObject>
#include <QString>

class KeyFilter : public QObject {
    Q_OBJECT
public:
    KeyFilter(QString accepted, QObject* parent);

    // "0" to "9": edPort, edWidth and edHeight.
    static KeyFilter* digits(QObject* parent);
    // "0" to "9" and ".": boxWebAddress.
    static KeyFilter* address(QObject* parent);

    // Whether a key press typing this text gets through.
    bool accepts(const QString& typed) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString accepted_;
};
