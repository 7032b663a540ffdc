#pragma once
// Turns SIGTERM and SIGINT into a Qt signal on the user-interface thread (through a socket pair),
// so the program can save its settings and end cleanly when the system asks it to stop.
#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    bool isInstalled() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
};
