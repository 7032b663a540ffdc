#pragma once
// The common ground of the end-to-end scenarios: a simulated router, a program folder of the
// test's own, a settings file pointing at the router, and fast time starting at 10:00 today so
// that the program's hours never cross midnight during a test.
#include "core/EnDeCrypt.h"
#include "e2e/ProgramFiles.h"
#include "e2e/ProgramProcess.h"
#include "monitor/RouterSim.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class ProgramScenario : public testing::Test {
protected:
    // A sample every 10 program seconds is one every 2/3 s: fast, without piling up page loads.
    static constexpr double kScale = 15.0;
    static constexpr int kLongWaitMs = 60000;

    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        origin = ProgramProcess::originFor(kScale, QDateTime(QDate::currentDate(), QTime(10, 0)));
    }

    // The settings file a user would have after the wizard, with `ltBt` added to its first
    // section and `more` (further sections) after it; a sample every `sample` program seconds.
    void writeSettings(const QString& password, const QByteArray& ltBt = {},
                       const QByteArray& more = {}, int sample = 10) {
        QFile ini(home.filePath(QStringLiteral("lintrove5a.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[LT-BT]\r\nAddress=127.0.0.1:" + QByteArray::number(sim.port()) +
                  "\r\nPassword=" + EnDeCrypt(password.toUtf8()) +
                  "\r\nPrompt=0\r\nSample=" + QByteArray::number(sample) + "\r\n" + ltBt + more);
    }

    // A program instance on this test's folder and time line, started and answering.
    std::unique_ptr<ProgramProcess> launch() {
        auto program = std::make_unique<ProgramProcess>(home.path());
        program->setTimeScale(kScale, origin);
        EXPECT_TRUE(program->start()) << program->error().toStdString();
        return program;
    }

    QString path(const QString& name) const { return home.filePath(name); }

    QList<DataLine> dataLines() const {
        QList<DataLine> lines;
        for (const QString& text : textLines(path(QStringLiteral("Lintrove5A.txt")))) {
            const std::optional<DataLine> line = parseDataLine(text);
            EXPECT_TRUE(line.has_value()) << "malformed data line: " << text.toStdString();
            if (line)
                lines << *line;
        }
        return lines;
    }

    // The rows of the CSV log, without its header lines, split at the commas.
    QList<QStringList> logRows() const {
        QList<QStringList> rows;
        for (const QString& text : textLines(path(QStringLiteral("log.txt"))))
            if (!text.startsWith(QStringLiteral("Date/Time")) && !text.startsWith(QLatin1Char('-')))
                rows << text.split(QLatin1Char(','));
        return rows;
    }

    // The column titles of the log's first header line.
    QStringList logTitles() const {
        const QStringList lines = textLines(path(QStringLiteral("log.txt")));
        return lines.isEmpty() ? QStringList() : lines.first().split(QStringLiteral(", "));
    }

    // The log's rows are the newest data lines: the same noise margins and sync rates, each read
    // from the column that the header's title names, so a title over the wrong column shows.
    void expectLogMatchesDataFile(const QList<QStringList>& rows,
                                  const QList<DataLine>& lines) const {
        ASSERT_LE(rows.size(), lines.size());
        const QStringList titles = logTitles();
        const qsizetype columns[] = {
            titles.indexOf(QStringLiteral("Up SNR (dB)")),
            titles.indexOf(QStringLiteral("Down SNR (dB)")),
            titles.indexOf(QStringLiteral("Up Sync (Kbps)")),
            titles.indexOf(QStringLiteral("Down Sync (Kbps)")),
        };
        for (const qsizetype column : columns)
            ASSERT_GE(column, 0) << titles.join(QStringLiteral(", ")).toStdString();
        const qsizetype first = lines.size() - rows.size();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QStringList& row = rows[i];
            const DataLine& line = lines[first + i];
            ASSERT_EQ(row.size(), titles.size()) << row.join(',').toStdString();
            EXPECT_EQ(twoDigits(row[columns[0]].trimmed().toDouble()), line.values[0]) << i;
            EXPECT_EQ(twoDigits(row[columns[1]].trimmed().toDouble()), line.values[1]) << i;
            EXPECT_EQ(row[columns[2]].trimmed().toDouble(), line.values[2]) << i;
            EXPECT_EQ(row[columns[3]].trimmed().toDouble(), line.values[3]) << i;
        }
    }

    // A point of the lost line: no noise margin and no downstream rate.
    static bool zero(const DataLine& line) {
        return line.values[0] == 0 && line.values[1] == 0 && line.values[3] == 0;
    }

    // The points that read the line are the router's pages, in order; the zero points between
    // them are the times it could not be read.
    void expectAnsweredLinesMatchServed(const QList<DataLine>& lines) const {
        QList<DataLine> answered;
        for (const DataLine& line : lines)
            if (!zero(line))
                answered << line;
        EXPECT_EQ(matchServed(answered, served()), QString());
    }

    bool waitForDataLines(qsizetype count, int timeoutMs = kLongWaitMs) const {
        return ProgramProcess::waitFor([&] { return dataLines().size() >= count; }, timeoutMs);
    }

    // The statistics pages the router served, oldest first.
    QJsonArray served() const { return sim.state()[QStringLiteral("history")].toArray(); }

    // Every line after the first `from` has a later time of day than the one before it.
    static void expectTimesIncrease(const QList<DataLine>& lines, qsizetype from = 0) {
        for (qsizetype i = qMax<qsizetype>(1, from); i < lines.size(); ++i)
            EXPECT_GT(labelSeconds(lines[i].label), labelSeconds(lines[i - 1].label))
                << "line " << i << ": " << lines[i - 1].label.toStdString() << " then "
                << lines[i].label.toStdString();
    }

    // The window's graph (Chart1: noise margin) shows the newest lines of the data file: the
    // same labels and values, point for point.
    static void expectGraphShowsDataFile(const QJsonObject& chart, const QList<DataLine>& lines) {
        const qsizetype points = chart[QStringLiteral("points")].toInteger();
        ASSERT_LE(points, lines.size()) << "a point the data file does not hold";
        const QJsonArray labels = chart[QStringLiteral("labels")].toArray();
        const QJsonArray series = chart[QStringLiteral("series")].toArray();
        ASSERT_EQ(series.size(), 2);
        const QJsonArray up = series[0].toArray(), down = series[1].toArray();
        const qsizetype first = points - labels.size();
        for (qsizetype i = 0; i < labels.size(); ++i) {
            const DataLine& line = lines[first + i];
            QString label = labels[i].toString();
            if (const qsizetype cr = label.indexOf(QLatin1Char('\r')); cr >= 0)
                label.replace(cr, 1, QStringLiteral("!"));
            EXPECT_EQ(label.trimmed(), line.label) << "point " << first + i;
            EXPECT_EQ(twoDigits(up[i].toDouble()), line.values[0]) << "point " << first + i;
            EXPECT_EQ(twoDigits(down[i].toDouble()), line.values[1]) << "point " << first + i;
        }
    }

    QTemporaryDir home;
    RouterSim sim;
    qint64 origin = 0;
};
