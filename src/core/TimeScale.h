#pragma once
// Time run fast for the program's end-to-end tests and soak runs: LINTROVE_TIME_SCALE="S" or
// "S@T" makes the clock and every timer go S times as fast, the clock counting from the real
// moment T (milliseconds since 1970, default: start-up) so that instances started one after
// another share one fast time line. Nothing users see changes: every limit stays as it is.
#include <QDateTime>
#include <QString>
#include <optional>

class TimeScale {
public:
    static constexpr const char* EnvironmentName = "LINTROVE_TIME_SCALE";

    // Unset or empty: nullopt, no error. A value that is not "S" or "S@T" with S from 1 to
    // 10000 and T a whole number: nullopt and the reason in *error.
    static std::optional<TimeScale> parse(const QString& text, qint64 nowMs, QString* error);
    static std::optional<TimeScale> fromEnvironment(QString* error);

    double scale() const { return scale_; }
    qint64 originMs() const { return originMs_; }
    // The program's time at a real moment: origin + (real - origin) x scale.
    QDateTime programTime(const QDateTime& real) const;
    // The real interval of a timer the program sets to `programMs`; never below 1 ms.
    int realInterval(int programMs) const;

private:
    TimeScale(double scale, qint64 originMs) : scale_(scale), originMs_(originMs) {}
    double scale_;
    qint64 originMs_;
};
