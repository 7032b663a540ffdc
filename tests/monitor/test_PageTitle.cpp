#include "monitor/PageTitle.h"

#include <gtest/gtest.h>

namespace {

TEST(PageTitle, FirstTitleOrHeadingAsPlainText) {
    const QString ellipsis(QChar(0x2026));
    const struct {
        const char* name;
        QString markup;
        QString title;
    } cases[] = {
        {"heading", "<div><h1>This site can't be reached</h1><p>127.0.0.1 refused</p></div>",
         "This site can't be reached"},
        {"title before a heading", "<title>BT Home Hub</title><h1>Manager</h1>", "BT Home Hub"},
        {"heading before a title", "<h1 class='x'>Manager</h1><title>BT Home Hub</title>",
         "Manager"},
        {"tags inside, case and blanks", "<H1 id=top>\n  Account <b>locked</b>\t</h1 >",
         "Account locked"},
        {"entities", "<h1>Tom &amp; Jerry&#39;s &lt;hub&gt;&nbsp;&#x263A; &bogus;</h1>",
         QStringLiteral("Tom & Jerry's <hub> \u263A &bogus;")},
        {"a written tag stays text", "<h1>&lt;b&gt;</h1>", "<b>"},
        {"an empty heading is passed over", "<h1> <img src=x> </h1><h1>Home</h1>", "Home"},
        {"h1 only, not h10 or h2", "<h10>no</h10><h2>no</h2><h1>yes</h1>", "yes"},
        {"unclosed", "<h1>Home", ""},
        {"none", "<p>Home</p>", ""},
        {"empty page", "", ""},
        {"long", "<h1>" + QString(100, u'a') + "</h1>", QString(79, u'a') + ellipsis},
        {"exactly long enough", "<h1>" + QString(80, u'a') + "</h1>", QString(80, u'a')},
        {"no half character at the cut",
         "<h1>" + QString(78, u'a') + QStringLiteral("\U0001F600\U0001F600") + "</h1>",
         QString(78, u'a') + ellipsis},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageTitle::fromMarkup(c.markup).toStdString(), c.title.toStdString()) << c.name;
}

} // namespace
