#include "monitor/PageTitle.h"

#include <QRegularExpression>

namespace {

// Only the body reaches us, so a <title> is rare; the error and lockout pages head themselves
// with an <h1>.
const QRegularExpression& headingPattern() {
    static const QRegularExpression pattern(QStringLiteral("<(title|h1)\\b[^>]*>(.*?)</\\1\\s*>"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

const QRegularExpression& tagPattern() {
    static const QRegularExpression pattern(QStringLiteral("<[^>]*>"));
    return pattern;
}

const QRegularExpression& entityPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[a-zA-Z]+);"));
    return pattern;
}

// The entities a router or an error page writes in a heading; any other is left as written.
QString decodeEntities(const QString& text) {
    QString out;
    qsizetype from = 0;
    QRegularExpressionMatchIterator it = entityPattern().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(1);
        QString replacement;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                const char32_t c = code;
                replacement = QString::fromUcs4(&c, 1);
            }
        } else if (name == u"amp") {
            replacement = QStringLiteral("&");
        } else if (name == u"lt") {
            replacement = QStringLiteral("<");
        } else if (name == u"gt") {
            replacement = QStringLiteral(">");
        } else if (name == u"quot") {
            replacement = QStringLiteral("\"");
        } else if (name == u"apos") {
            replacement = QStringLiteral("'");
        } else if (name == u"nbsp") {
            replacement = QStringLiteral(" ");
        }
        if (replacement.isEmpty())
            continue;
        out += QStringView(text).mid(from, m.capturedStart() - from);
        out += replacement;
        from = m.capturedEnd();
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

QString PageTitle::fromMarkup(const QString& markup, int maxLength) {
    QRegularExpressionMatchIterator it = headingPattern().globalMatch(markup);
    while (it.hasNext()) {
        QString text = it.next().captured(2);
        // Tags go before the entities are decoded, so that a written "&lt;b&gt;" stays text.
        text.replace(tagPattern(), QStringLiteral(" "));
        text = decodeEntities(text).simplified();
        if (text.isEmpty())
            continue;
        if (maxLength > 0 && text.size() > maxLength) {
            text.truncate(maxLength - 1);
            if (!text.isEmpty() && text.back().isHighSurrogate())
                text.chop(1); // half a character is no character
            text = text.trimmed() + QChar(0x2026);
        }
        return text;
    }
    return QString();
}
