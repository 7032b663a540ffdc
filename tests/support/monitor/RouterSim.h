#pragma once
// The simulated router as a child process on a free 127.0.0.1 port, for end-to-end tests:
// start and stop it, and read or change its state over its control endpoints.
#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

class RouterSim {
public:
    RouterSim() = default;
    ~RouterSim();
    RouterSim(const RouterSim&) = delete;
    RouterSim& operator=(const RouterSim&) = delete;

    // Starts the program named by LINTROVE_ROUTER_SIM with this password and extra switches,
    // and waits until it listens. False, with error() saying why, when it does not. Port 0 takes
    // a free port; a given one brings a stopped simulator back where the program looks for it.
    bool start(const QString& password, const QStringList& extraArgs = {}, int port = 0);
    void stop();

    int port() const { return port_; }
    const QString& error() const { return error_; }
    // "http://127.0.0.1:<port>" followed by pathAndQuery.
    QString url(const QString& pathAndQuery) const;

    // A blocking GET of pathAndQuery; the body, with the status code in *status (0 when the
    // request failed).
    QByteArray get(const QString& pathAndQuery, int* status = nullptr) const;
    // The values last served; empty when the simulator did not answer.
    QJsonObject state() const;
    // Changes switches at run time, e.g. "nosync=1&logout=1"; the state afterwards, empty
    // when the simulator refused.
    QJsonObject set(const QString& query) const;

    // A 127.0.0.1 port with nothing listening on it (free when asked).
    static int unusedPort();

private:
    QProcess process_;
    int port_ = 0;
    QString error_;
};
