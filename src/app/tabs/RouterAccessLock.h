#pragma once
// The "Router Access" group's guards: the padlock that locks the router address box and the
// password question asked before the stored password is shown in plain text.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class UserMessages;

class RouterAccessLock : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QLabel* Image11 = nullptr; // closed padlock
        QLabel* Image26 = nullptr; // open padlock, same place
        QLineEdit* edAddress = nullptr;
        QLineEdit* edPassword1 = nullptr;
        QCheckBox* cbShowPlain = nullptr;
        // The question is asked only while this window is visible; before, the box just sets
        // the mask (the settings being loaded).
        QWidget* window = nullptr;
    };
    // Asks for a text with a caption and a prompt; nothing when cancelled.
    using Question =
        std::function<std::optional<QString>(const QString& caption, const QString& prompt)>;

    // Starts locked. Without a question, an input box over the window asks.
    RouterAccessLock(const Controls& controls, UserMessages& messages, Question question = {},
                     QObject* parent = nullptr);

    void Image11Click(); // unlock
    void Image26Click(); // lock
    bool locked() const;
    void cbShowPlainClick();

Q_SIGNALS:
    // Image26Click, before the box is disabled: its text is checked as when it is left.
    void aboutToLock();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setLocked(bool locked);
    void setMasked(bool masked);

    Controls c_;
    UserMessages& messages_;
    Question question_;
};
