#include "testcontrol/TestControl.h"

#include "charting/ChartModel.h"
#include "charting/ChartView.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <sys/stat.h>

namespace {

// A line longer than this is no command: the connection is dropped.
constexpr qint64 kLongestLine = 64 * 1024;
// A graph is described by its newest points only: a history may hold hundreds of thousands.
constexpr qsizetype kGraphPointsShown = 64;
// A list or table is described by its first rows in view order.
constexpr int kRowsShown = 1000;

QString compact(const QJsonObject& o) {
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QString error(const QString& why) {
    return QStringLiteral("error ") + why;
}

// Searches one window and the widgets and actions in it, not the other windows it owns: those
// are searched as top-level widgets of their own.
QObject* findInWindow(QObject* root, const QString& name) {
    for (QObject* child : root->children()) {
        if (auto* w = qobject_cast<QWidget*>(child); w && w->isWindow())
            continue;
        if (child->objectName() == name)
            return child;
    }
    for (QObject* child : root->children()) {
        if (auto* w = qobject_cast<QWidget*>(child); w && w->isWindow())
            continue;
        if (QObject* found = findInWindow(child, name))
            return found;
    }
    return nullptr;
}

// The order a user meets the windows in: the modal one, the main window, the other shown ones,
// then the hidden ones.
QList<QWidget*> windowsInOrder() {
    QList<QWidget*> ordered;
    if (QWidget* modal = QApplication::activeModalWidget())
        ordered << modal;
    const QWidgetList all = QApplication::topLevelWidgets();
    auto add = [&](auto pick) {
        for (QWidget* w : all)
            if (!ordered.contains(w) && pick(w))
                ordered << w;
    };
    add([](QWidget* w) { return w->isVisible() && qobject_cast<QMainWindow*>(w); });
    add([](QWidget* w) { return w->isVisible(); });
    add([](QWidget*) { return true; });
    return ordered;
}

QString textOf(const QObject* o) {
    if (auto* b = qobject_cast<const QAbstractButton*>(o))
        return b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(o))
        return e->text();
    if (auto* l = qobject_cast<const QLabel*>(o))
        return l->text();
    if (auto* c = qobject_cast<const QComboBox*>(o))
        return c->currentText();
    if (auto* s = qobject_cast<const QAbstractSpinBox*>(o))
        return s->text();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(o))
        return p->toPlainText();
    if (auto* m = qobject_cast<const QMessageBox*>(o))
        return m->text();
    if (auto* a = qobject_cast<const QAction*>(o))
        return a->text();
    if (auto* w = qobject_cast<const QWidget*>(o); w && w->isWindow())
        return w->windowTitle();
    return QString();
}

// The view's visible columns or rows in the order it shows them: a table's header may have
// moved or hidden sections; other views show the model's order.
QList<int> sectionsInViewOrder(const QHeaderView* header, int count) {
    QList<int> sections;
    for (int visual = 0; visual < count; ++visual) {
        const int logical = header ? header->logicalIndex(visual) : visual;
        if (logical >= 0 && !(header && header->isSectionHidden(logical)))
            sections << logical;
    }
    return sections;
}

// The cells' display texts of a list or table in view order, and a table's header texts.
void describeItems(QJsonObject& d, const QAbstractItemView* view) {
    const QAbstractItemModel* model = view->model();
    const QModelIndex root = view->rootIndex();
    const auto* table = qobject_cast<const QTableView*>(view);
    const int rowCount = model->rowCount(root);
    const QList<int> columns = sectionsInViewOrder(table ? table->horizontalHeader() : nullptr,
                                                   table ? model->columnCount(root) : 1);
    const QList<int> rows =
        sectionsInViewOrder(table ? table->verticalHeader() : nullptr, rowCount);
    QJsonArray headers, cells;
    if (table)
        for (int c : columns)
            headers.append(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    for (int r : rows.mid(0, kRowsShown)) {
        QJsonArray row;
        for (int c : columns)
            row.append(model->index(r, c, root).data(Qt::DisplayRole).toString());
        cells.append(row);
    }
    d[QStringLiteral("headers")] = headers;
    d[QStringLiteral("rows")] = cells;
    d[QStringLiteral("rowCount")] = rowCount;
}

QJsonObject describe(const QObject* o) {
    QJsonObject d{{QStringLiteral("name"), o->objectName()},
                  {QStringLiteral("class"), QString::fromLatin1(o->metaObject()->className())},
                  {QStringLiteral("text"), textOf(o)}};
    if (auto* w = qobject_cast<const QWidget*>(o)) {
        d[QStringLiteral("enabled")] = w->isEnabled();
        d[QStringLiteral("visible")] = w->isVisible();
        if (w->isWindow())
            d[QStringLiteral("title")] = w->windowTitle();
    }
    if (auto* a = qobject_cast<const QAction*>(o)) {
        d[QStringLiteral("enabled")] = a->isEnabled();
        d[QStringLiteral("visible")] = a->isVisible();
        d[QStringLiteral("checked")] = a->isChecked();
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(o))
        d[QStringLiteral("checked")] = b->isChecked();
    if (auto* t = qobject_cast<const QTabWidget*>(o))
        d[QStringLiteral("index")] = t->currentIndex();
    if (auto* c = qobject_cast<const QComboBox*>(o))
        d[QStringLiteral("index")] = c->currentIndex();
    if (auto* s = qobject_cast<const QSpinBox*>(o))
        d[QStringLiteral("value")] = s->value();
    if (auto* v = qobject_cast<const QAbstractItemView*>(o); v && v->model())
        describeItems(d, v);
    if (auto* v = qobject_cast<const ChartView*>(o); v && v->model()) {
        // Per series (upstream, then downstream), the values of the newest points.
        const ChartModel& m = *v->model();
        const qsizetype points = m.seriesCount() > 0 ? m.series(0).count() : 0;
        d[QStringLiteral("points")] = double(points);
        QJsonArray series, labels;
        const qsizetype first = qMax<qsizetype>(0, points - kGraphPointsShown);
        for (qsizetype i = 0; i < m.seriesCount(); ++i) {
            QJsonArray ys;
            for (qsizetype p = first; p < m.series(i).count(); ++p)
                ys.append(m.series(i).y(p));
            series.append(ys);
        }
        for (qsizetype p = first; p < points; ++p)
            labels.append(m.series(0).label(p));
        d[QStringLiteral("series")] = series;
        d[QStringLiteral("labels")] = labels;
    }
    return d;
}

// Pressing and releasing the mouse on the button, so that handlers of the press run before the
// click as they do for a user; a button that does not take the press is clicked directly.
void press(QAbstractButton* b) {
    // Near the left edge: check boxes and radio buttons take clicks on their indicator there.
    const QPointF at(qMin(6, b->width() / 2), b->height() / 2);
    const QPointF global = b->mapToGlobal(at);
    QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(b, &down);
    if (!b->isDown()) {
        b->click();
        return;
    }
    QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(b, &up);
}

// The message box a user would answer: the modal one, else the first one shown.
QWidget* boxToAnswer() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && qobject_cast<QMessageBox*>(w))
            return w;
    return nullptr;
}

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

TestControl::Outcome act(const TestControl::Command& c) {
    using Verb = TestControl::Command::Verb;
    const QString ok = QStringLiteral("ok");

    if (c.verb == Verb::Modal) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return {QStringLiteral("none"), {}};
        QJsonObject d = describe(modal);
        if (auto* input = qobject_cast<QInputDialog*>(modal))
            d[QStringLiteral("text")] = input->labelText();
        else if (!qobject_cast<QMessageBox*>(modal))
            d[QStringLiteral("text")] = QString();
        return {ok + QLatin1Char(' ') + compact(d), {}};
    }
    if (c.verb == Verb::Messages) {
        QJsonArray boxes;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                boxes.append(QJsonObject{{QStringLiteral("title"), box->windowTitle()},
                                         {QStringLiteral("text"), box->text()},
                                         {QStringLiteral("modal"), box->isModal()}});
        return {ok + QLatin1Char(' ') +
                    QString::fromUtf8(QJsonDocument(boxes).toJson(QJsonDocument::Compact)),
                {}};
    }
    if (c.verb == Verb::Answer) {
        QWidget* box = boxToAnswer();
        if (!box)
            return {error(QStringLiteral("no box to answer")), {}};
        for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
            if (b->isVisible() && withoutMnemonic(b->text()) == withoutMnemonic(c.name)) {
                QPointer<QAbstractButton> target(b);
                return {ok, [target] {
                            if (target)
                                target->click();
                        }};
            }
        return {error(QStringLiteral("no button \"%1\" in %2").arg(c.name, box->windowTitle())),
                {}};
    }
    if (c.verb == Verb::Tab) {
        QTabWidget* tabs = nullptr;
        for (QWidget* w : windowsInOrder())
            if (qobject_cast<QMainWindow*>(w) && (tabs = w->findChild<QTabWidget*>()))
                break;
        if (!tabs)
            return {error(QStringLiteral("no tabbed main window")), {}};
        const int index = c.argument.toInt();
        if (index < 0 || index >= tabs->count())
            return {error(QStringLiteral("no tab %1").arg(index)), {}};
        QPointer<QTabWidget> target(tabs);
        return {ok, [target, index] {
                    if (target)
                        target->setCurrentIndex(index);
                }};
    }

    QObject* found = TestControl::find(c.name);
    if (!found)
        return {error(QStringLiteral("nothing named ") + c.name), {}};
    if (c.verb == Verb::Get)
        return {ok + QLatin1Char(' ') + compact(describe(found)), {}};

    if (auto* w = qobject_cast<QWidget*>(found); w && !w->isEnabled())
        return {error(c.name + QStringLiteral(" is disabled")), {}};
    if (auto* a = qobject_cast<QAction*>(found); a && !a->isEnabled())
        return {error(c.name + QStringLiteral(" is disabled")), {}};

    if (c.verb == Verb::Click) {
        if (auto* b = qobject_cast<QAbstractButton*>(found)) {
            QPointer<QAbstractButton> target(b);
            return {ok, [target] {
                        if (target)
                            press(target);
                    }};
        }
        if (auto* a = qobject_cast<QAction*>(found)) {
            QPointer<QAction> target(a);
            return {ok, [target] {
                        if (target)
                            target->trigger();
                    }};
        }
        return {error(c.name + QStringLiteral(" is neither a button nor a menu item")), {}};
    }
    if (c.verb == Verb::Check) {
        const bool wanted = c.argument == u"1";
        if (auto* b = qobject_cast<QAbstractButton*>(found); b && b->isCheckable()) {
            QPointer<QAbstractButton> target(b);
            return {ok, [target, wanted] {
                        if (target && target->isChecked() != wanted)
                            press(target);
                    }};
        }
        if (auto* a = qobject_cast<QAction*>(found); a && a->isCheckable()) {
            QPointer<QAction> target(a);
            return {ok, [target, wanted] {
                        if (target && target->isChecked() != wanted)
                            target->trigger();
                    }};
        }
        return {error(c.name + QStringLiteral(" cannot be checked")), {}};
    }
    // Type: the text replaces the box's, then the box is left as a user leaves it.
    if (auto* e = qobject_cast<QLineEdit*>(found)) {
        if (e->isReadOnly())
            return {error(c.name + QStringLiteral(" is read-only")), {}};
        QPointer<QLineEdit> target(e);
        const QString text = c.argument;
        return {ok, [target, text] {
                    if (!target)
                        return;
                    const bool changed = target->text() != text;
                    target->setText(text);
                    if (changed && target)
                        Q_EMIT target->textEdited(text);
                    if (target)
                        Q_EMIT target->editingFinished();
                }};
    }
    if (auto* s = qobject_cast<QSpinBox*>(found)) {
        bool number = false;
        const int value = c.argument.toInt(&number);
        if (!number)
            return {error(QStringLiteral("not a whole number: ") + c.argument), {}};
        QPointer<QSpinBox> target(s);
        return {ok, [target, value] {
                    if (!target)
                        return;
                    target->setValue(value);
                    if (target)
                        Q_EMIT target->editingFinished();
                }};
    }
    return {error(c.name + QStringLiteral(" takes no typing")), {}};
}

} // namespace

std::optional<TestControl::Command> TestControl::parse(const QString& line, QString* why) {
    using Verb = Command::Verb;
    auto fail = [why](const QString& text) -> std::optional<Command> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    QString rest = line;
    while (rest.endsWith(QLatin1Char('\r')) || rest.endsWith(QLatin1Char('\n')))
        rest.chop(1);
    // The verb, then a single blank before each argument: a typed text keeps its own blanks.
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    const QString word = blank < 0 ? rest : rest.left(blank);
    rest = blank < 0 ? QString() : rest.mid(blank + 1);
    auto next = [&rest] {
        const qsizetype b = rest.indexOf(QLatin1Char(' '));
        const QString part = b < 0 ? rest : rest.left(b);
        rest = b < 0 ? QString() : rest.mid(b + 1);
        return part;
    };

    static const QList<std::pair<QString, Verb>> verbs = {
        {QStringLiteral("click"), Verb::Click},   {QStringLiteral("type"), Verb::Type},
        {QStringLiteral("check"), Verb::Check},   {QStringLiteral("get"), Verb::Get},
        {QStringLiteral("modal"), Verb::Modal},   {QStringLiteral("messages"), Verb::Messages},
        {QStringLiteral("answer"), Verb::Answer}, {QStringLiteral("tab"), Verb::Tab},
    };
    std::optional<Verb> verb;
    for (const auto& [text, v] : verbs)
        if (word == text)
            verb = v;
    if (!verb)
        return fail(word.isEmpty() ? QStringLiteral("empty command")
                                   : QStringLiteral("unknown command: ") + word);

    Command c{*verb, {}, {}};
    switch (*verb) {
    case Verb::Modal:
    case Verb::Messages:
        if (!rest.isEmpty())
            return fail(word + QStringLiteral(" takes nothing more"));
        return c;
    case Verb::Answer:
        if (rest.isEmpty())
            return fail(QStringLiteral("answer needs a button's text"));
        c.name = rest;
        return c;
    case Verb::Tab: {
        bool number = false;
        const int index = rest.toInt(&number);
        if (!number || index < 0)
            return fail(QStringLiteral("tab needs an index from 0"));
        c.argument = QString::number(index);
        return c;
    }
    default:
        break;
    }
    c.name = next();
    if (c.name.isEmpty())
        return fail(word + QStringLiteral(" needs an object name"));
    if (*verb == Verb::Type) {
        c.argument = rest; // may be empty: the box is cleared
        return c;
    }
    if (*verb == Verb::Check) {
        if (rest != u"0" && rest != u"1")
            return fail(QStringLiteral("check needs 0 or 1"));
        c.argument = rest;
        return c;
    }
    if (!rest.isEmpty())
        return fail(word + QStringLiteral(" takes one object name"));
    return c;
}

QObject* TestControl::find(const QString& name) {
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        const QString top = name.left(slash), inner = name.mid(slash + 1);
        for (QWidget* w : windowsInOrder())
            if (w->objectName() == top)
                return inner.isEmpty() ? w : findInWindow(w, inner);
        return nullptr;
    }
    for (QWidget* w : windowsInOrder()) {
        if (w->objectName() == name)
            return w;
        if (QObject* found = findInWindow(w, name))
            return found;
    }
    return nullptr;
}

TestControl::Outcome TestControl::run(const QString& line) {
    QString why;
    const std::optional<Command> command = parse(line, &why);
    if (!command)
        return {error(why), {}};
    return act(*command);
}

TestControl::TestControl(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

TestControl::~TestControl() = default;

bool TestControl::listen(const QString& path, QString* why) {
    // A socket left by an instance that was killed would block the name; anything else at the
    // path is not ours to remove.
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            if (why)
                *why = QStringLiteral("the path exists and is no socket");
            return false;
        }
        QLocalServer::removeServer(path);
    }
    if (server_->listen(path))
        return true;
    if (why)
        *why = server_->errorString();
    return false;
}

void TestControl::serve(QLocalSocket* socket) {
    // Commands run in order: one that acts holds back the next until its act has begun (an act
    // that opens a modal dialog goes on inside it, and the commands after it are answered there).
    static const char* const kActing = "testControlActing";
    while (!socket->property(kActing).toBool() && socket->canReadLine()) {
        const QString line = QString::fromUtf8(socket->readLine());
        Outcome outcome = run(line);
        socket->write(outcome.answer.toUtf8() + '\n');
        socket->flush();
        if (!outcome.action)
            continue;
        socket->setProperty(kActing, true);
        QPointer<QLocalSocket> client(socket);
        QTimer::singleShot(0, this, [this, client, action = std::move(outcome.action)] {
            if (client)
                client->setProperty(kActing, false);
            action();
            if (client)
                serve(client);
        });
    }
    if (socket->bytesAvailable() > kLongestLine)
        socket->abort();
}
