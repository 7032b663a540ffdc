#pragma once
// Keeps out of a box the characters it does not take (the port, image size and address boxes),
// whether typed or pasted; keys that type nothing printable (Tab, Delete, Return, arrows,
// shortcuts such as Ctrl+V) do their usual work.
#include <QObject>
#include <QString>

class QComboBox;
class QLineEdit;

class KeyFilter : public QObject {
    Q_OBJECT
public:
    KeyFilter(QString accepted, QObject* parent);

    // "0" to "9": edPort, edWidth and edHeight.
    static KeyFilter* digits(QObject* parent);
    // "0" to "9" and ".": boxWebAddress.
    static KeyFilter* address(QObject* parent);

    // Filters the box's key presses, and refuses a pasted or dropped text holding a character
    // the box does not take (the whole text, as typing it would have dropped characters).
    void guard(QLineEdit* box);
    // An editable list box holds the focus itself and hands the keys to its line edit directly,
    // past any filter there: the filter goes on the list box too.
    void guard(QComboBox* box);

    // Whether a key press with this text and these modifiers gets through: a printable text
    // only when every character is accepted; a text of control characters only (Tab "\t",
    // Delete "\x7f", Return "\r"), an empty one (arrows) or any key with Ctrl, Alt or Meta held
    // always.
    bool accepts(const QString& typed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString accepted_;
};
