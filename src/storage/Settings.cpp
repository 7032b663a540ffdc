#include "storage/Settings.h"

#include "core/EnDeCrypt.h"
#include "storage/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kTimeFormat = QStringLiteral("HH:mm:ss");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QTime parseTime(const QString& text) {
    // Hand-edited files may leave out the seconds or the leading zero of the hour.
    for (const char* format : {"H:mm:ss", "H:mm"}) {
        const QTime t = QTime::fromString(text, QLatin1String(format));
        if (t.isValid())
            return t;
    }
    return {};
}

QDateTime parseDateTime(const QString& text) {
    const QDateTime midnight = QDateTime::fromString(text, kDateFormat);
    if (midnight.isValid())
        return midnight;
    for (const char* format : {"yyyy-MM-dd H:mm:ss", "yyyy-MM-dd H:mm"}) {
        const QDateTime t = QDateTime::fromString(text, QLatin1String(format));
        if (t.isValid())
            return t;
    }
    return {};
}

QString formatDateTime(const QDateTime& t) {
    return t.time() == QTime(0, 0) ? t.toString(kDateFormat) : t.toString(kDateTimeFormat);
}

QTime wholeSeconds(const QTime& t) {
    return QTime(t.hour(), t.minute(), t.second());
}

// Every key in the order of the file, handed to a visitor that reads or writes it. S is Settings
// when loading and const Settings when saving.
template <typename S, typename V> void visitKeys(S& s, V& v) {
    const QString bt = QStringLiteral("LT-BT");
    v.text(bt, "Address", s.Address);
    v.password(bt, "Password", s.Password);
    v.boolean(bt, "ShowPlain", s.ShowPlain);
    v.writeOnlyInteger(bt, "Type", s.Type);
    v.text(bt, "FirstUrl", s.FirstUrl);
    v.integer(bt, "Sample", s.Sample);
    v.integer(bt, "PointsperPage", s.PointsperPage);
    v.integer(bt, "User1", s.User1);
    v.integer(bt, "User2", s.User2);
    v.boolean(bt, "Total1", s.Total1);
    v.boolean(bt, "LastHour1", s.LastHour1);
    v.boolean(bt, "Total2", s.Total2);
    v.boolean(bt, "LastHour2", s.LastHour2);
    v.boolean(bt, "Prompt", s.Prompt);
    v.boolean(bt, "Minimize", s.Minimize);
    v.boolean(bt, "StartMinimized", s.StartMinimized);
    v.boolean(bt, "Restore", s.Restore);
    v.boolean(bt, "TrimDataFile", s.TrimDataFile);
    v.integer(bt, "TrimDataFileDays", s.TrimDataFileDays);
    v.time(bt, "TrimDataFileTime", s.TrimDataFileTime);
    v.text(bt, "DataFileFolder", s.DataFileFolder);
    v.boolean(bt, "SaveAxes", s.SaveAxes);
    // Maxima first, Chart5 after Chart1 because both show the noise margin; then the minima.
    static constexpr int chartOrder[] = {0, 4, 1, 2, 3};
    for (const int c : chartOrder) {
        const QString n = QString::number(c + 1);
        v.axis(bt, QStringLiteral("C%1Lx").arg(n), s.Axes[c].leftMax, s.SaveAxes);
        v.axis(bt, QStringLiteral("C%1Rx").arg(n), s.Axes[c].rightMax, s.SaveAxes);
    }
    for (const int c : chartOrder) {
        const QString n = QString::number(c + 1);
        v.axis(bt, QStringLiteral("C%1L").arg(n), s.Axes[c].leftMin, s.SaveAxes);
        v.axis(bt, QStringLiteral("C%1R").arg(n), s.Axes[c].rightMin, s.SaveAxes);
    }
    v.text(bt, "3D", s.ThreeD);
    v.integer(bt, "Page", s.Page);

    const QString log = QStringLiteral("Log");
    v.boolean(log, "cbLog", s.cbLog);
    v.text(log, "LogFile", s.LogFile);
    v.boolean(log, "TrimLog", s.TrimLog);
    v.integer(log, "TrimLines", s.TrimLines);
    v.text(log, "TrimTime", s.TrimTime);
    v.boolean(log, "LogDays", s.LogDays);
    v.boolean(log, "LogSeconds", s.LogSeconds);

    const QString capture = QStringLiteral("Capture");
    v.text(capture, "Capture", s.Capture);
    v.boolean(capture, "cbCapture", s.cbCapture);
    v.boolean(capture, "LostSync", s.LostSync);
    v.boolean(capture, "OnClose", s.OnClose);
    v.boolean(capture, "DeleteImages", s.DeleteImages);
    v.integer(capture, "DeleteDays", s.DeleteDays);
    v.time(capture, "DeleteTime", s.DeleteTime);

    const QString advanced = QStringLiteral("Advanced");
    v.integer(advanced, "LogTab", s.LogTab);
    v.text(advanced, "ImagePrefix", s.ImagePrefix);
    v.boolean(advanced, "AddPrefix", s.AddPrefix);
    v.boolean(advanced, "Recycle", s.Recycle);
    v.text(advanced, "ImageDateFormat", s.ImageDateFormat);
    v.text(advanced, "LogDateFormat", s.LogDateFormat);
    v.integer(advanced, "PauseDelay", s.PauseDelay);
    v.boolean(advanced, "Monitor1", s.Monitor1);
    v.text(advanced, "HHAUrl", s.HHAUrl);
    v.text(advanced, "HHBUrl", s.HHBUrl);
    v.text(advanced, "WebFolder", s.WebFolder);
    v.boolean(advanced, "DateStamp", s.DateStamp);
    v.boolean(advanced, "Restart", s.Restart);
    v.integer(advanced, "RestartDays", s.RestartDays);
    v.dateTime(advanced, "RestartTime", s.RestartTime);

    const QString web = QStringLiteral("WebServer");
    v.boolean(web, "Web", s.Web);
    v.text(web, "Address", s.WebAddress);
    v.text(web, "Port", s.Port);
    v.text(web, "webWidth", s.webWidth);
    v.text(web, "webHeight", s.webHeight);

    const QString form = QStringLiteral("LT-Form");
    v.integer(form, "Height", s.Height);
    v.integer(form, "Top", s.Top);
    v.integer(form, "Width", s.Width);
    v.integer(form, "Left", s.Left);

    v.optionalText(QStringLiteral("Drops"), "DamageTold", s.DropDamageTold);
}

// Reads each key over the member's current value, which stays when the key is absent or bad.
struct Reader {
    const IniFile& ini;

    void text(const QString& section, const QString& key, QString& value) {
        value = ini.readString(section, key, value);
    }
    void optionalText(const QString& section, const QString& key, QString& value) {
        value = ini.readString(section, key, value);
    }
    void password(const QString& section, const QString& key, QString& value) {
        if (ini.contains(section, key))
            value = IniFile::textWithinLimit(EnDeCrypt(ini.readBytes(section, key)));
    }
    void boolean(const QString& section, const QString& key, bool& value) {
        value = ini.readBool(section, key, value);
    }
    void integer(const QString& section, const QString& key, int& value) {
        value = ini.readInt(section, key, value);
    }
    void writeOnlyInteger(const QString&, const QString&, int&) {}
    void axis(const QString& section, const QString& key, int& value, bool saveAxes) {
        if (saveAxes)
            value = ini.readInt(section, key, value);
    }
    void time(const QString& section, const QString& key, QTime& value) {
        if (!ini.contains(section, key))
            return;
        const QTime t = parseTime(ini.readString(section, key));
        if (t.isValid())
            value = t;
    }
    void dateTime(const QString& section, const QString& key, QDateTime& value) {
        if (!ini.contains(section, key))
            return;
        const QDateTime t = parseDateTime(ini.readString(section, key));
        if (t.isValid())
            value = t;
    }
};

struct Writer {
    IniFile& ini;

    void text(const QString& section, const QString& key, const QString& value) {
        ini.writeString(section, key, value);
    }
    // A key most files never need: absent until it has a value, then kept up to date.
    void optionalText(const QString& section, const QString& key, const QString& value) {
        if (!value.isEmpty() || ini.contains(section, key))
            ini.writeString(section, key, value);
    }
    void password(const QString& section, const QString& key, const QString& value) {
        ini.writeBytes(section, key, EnDeCrypt(value.toUtf8()));
    }
    void boolean(const QString& section, const QString& key, bool value) {
        ini.writeBool(section, key, value);
    }
    void integer(const QString& section, const QString& key, int value) {
        ini.writeInt(section, key, value);
    }
    void writeOnlyInteger(const QString& section, const QString& key, int value) {
        ini.writeInt(section, key, value);
    }
    // With SaveAxes off the file's axis keys are left as they are.
    void axis(const QString& section, const QString& key, int value, bool saveAxes) {
        if (saveAxes)
            ini.writeInt(section, key, value);
    }
    void time(const QString& section, const QString& key, const QTime& value) {
        ini.writeString(section, key, value.toString(kTimeFormat));
    }
    void dateTime(const QString& section, const QString& key, const QDateTime& value) {
        ini.writeString(section, key, formatDateTime(value));
    }
};

QString withoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace

Settings Settings::defaults(const QString& programFolder, const QDateTime& startTime,
                            QSize screenSize) {
    Settings s;
    const QString folder = withoutTrailingSeparator(programFolder);
    s.DataFileFolder = folder;
    s.LogFile = folder + QStringLiteral("/log.txt");
    s.Capture = folder + QStringLiteral("/Capture");
    s.WebFolder = folder + QStringLiteral("/WebServer");

    // The file keeps whole seconds; dropping the milliseconds here lets saved defaults read back
    // equal.
    const QTime now = wholeSeconds(startTime.time());
    s.TrimDataFileTime = now;
    s.DeleteTime = now;
    s.TrimTime = now.toString(QStringLiteral("HH:mm"));
    s.RestartTime = startTime;
    s.RestartTime.setTime(now);

    if (!screenSize.isEmpty()) {
        s.Top = screenSize.height() / 2 - 325;
        s.Left = screenSize.width() / 2 - 425;
    }
    return s;
}

bool Settings::load(const QString& path) {
    IniFile ini;
    // A file that exists but cannot be read is no first run; the defaults stay, and saving will
    // refuse to replace it.
    if (ini.load(path) != IniFile::LoadResult::Loaded)
        return QFile::exists(path);
    Reader reader{ini};
    visitKeys(*this, reader);
    Sample = std::clamp(Sample, 10, 300);
    // Counts that make no sense below these bounds would trim away the user's data, resume at
    // once or pad by a negative width: a hand-edited value there gives the default. A day count
    // of 0 stays: it asks for an empty data file.
    const Settings d;
    if (TrimDataFileDays < 0)
        TrimDataFileDays = d.TrimDataFileDays;
    if (TrimLines < 0)
        TrimLines = d.TrimLines;
    if (DeleteDays < 0)
        DeleteDays = d.DeleteDays;
    // Above, a width beyond the options' 20 would pad every log column to it (2000000000 asks
    // for gigabytes a row), and the resume timer holds the delay as an int of milliseconds.
    if (LogTab < 0 || LogTab > 20)
        LogTab = d.LogTab;
    if (PauseDelay < 1 || PauseDelay > std::numeric_limits<int>::max() / 1000)
        PauseDelay = d.PauseDelay;
    if (RestartDays < 1)
        RestartDays = d.RestartDays;
    return true;
}

bool Settings::save(const QString& path, QString* error) const {
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("Unable to write to ") + path;
        return false;
    };
    // The keys this program does not write must survive, so an existing file that cannot be read
    // is not replaced.
    IniFile ini;
    if (ini.load(path) == IniFile::LoadResult::Unreadable)
        return fail();
    Writer writer{ini};
    visitKeys(*this, writer);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // The file holds the router password.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return fail();
    const QByteArray content = ini.toBytes();
    if (file.write(content) != content.size())
        return fail();
    if (!file.commit())
        return fail();
    return true;
}

int Settings::truncateAxis(double value) {
    if (std::isnan(value))
        return 0;
    const double t = std::trunc(value);
    if (t <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (t >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(t);
}
