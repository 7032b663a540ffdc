#include "monitor/FakeBrowser.h"

namespace {

bool answerOldest(std::deque<Browser::MarkupCallback>& pending,
                  const std::optional<QString>& markup) {
    if (pending.empty())
        return false;
    Browser::MarkupCallback done = std::move(pending.front());
    pending.pop_front();
    done(markup);
    return true;
}

} // namespace

bool FakeBrowser::answerRead() {
    return answerOldest(pending_, markup_);
}

bool FakeBrowser::answerRead(const QString& text) {
    return answerOldest(pending_, text);
}

bool FakeBrowser::answerReadUnreadable() {
    return answerOldest(pending_, std::nullopt);
}

QStringList FakeBrowser::callsStartingWith(const QString& prefix) const {
    QStringList found;
    for (const QString& c : calls)
        if (c.startsWith(prefix))
            found << c;
    return found;
}

void FakeBrowser::setSilent(bool on) {
    silent = on;
    calls << QStringLiteral("silent %1").arg(on ? 1 : 0);
}

void FakeBrowser::ensureWindow() {
    ++windowsCreated;
    calls << QStringLiteral("ensureWindow");
}

void FakeBrowser::navigate(const QString& url, bool withoutHistoryOrCache) {
    calls << (withoutHistoryOrCache ? QStringLiteral("navigate! ") : QStringLiteral("navigate ")) +
                 url;
    navigations.append({url, withoutHistoryOrCache});
    if (onNavigate)
        onNavigate(navigations.back());
}

void FakeBrowser::refresh() {
    calls << QStringLiteral("refresh");
}

void FakeBrowser::stop() {
    calls << QStringLiteral("stop");
}

void FakeBrowser::readBodyHtml(MarkupCallback done) {
    calls << QStringLiteral("read");
    if (deferred_)
        pending_.push_back(std::move(done));
    else
        done(markup_);
}

void FakeBrowser::setFormFieldValue(int formIndex, const QString& fieldName, const QString& value) {
    calls << QStringLiteral("setField %1 %2 %3").arg(formIndex).arg(fieldName, value);
}

void FakeBrowser::scrollBy(int dx, int dy) {
    calls << QStringLiteral("scrollBy %1 %2").arg(dx).arg(dy);
}

void FakeBrowser::scrollInSteps(const QList<QPoint>& steps, std::function<void()> done) {
    for (const QPoint& step : steps)
        scrollBy(step.x(), step.y());
    done();
}

void FakeBrowser::clickLink(int index) {
    calls << QStringLiteral("clickLink %1").arg(index);
    if (onClickLink)
        onClickLink(index);
}

void FakeBrowser::readSelectedText(TextCallback done) {
    done(selectedText);
}

void FakeBrowser::selectAll() {
    calls << QStringLiteral("selectAll");
}

QImage FakeBrowser::grab() {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
