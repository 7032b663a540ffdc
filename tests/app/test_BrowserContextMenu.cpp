#include "app/dialogs/AboutBox.h"
#include "app/tabs/BrowserContextMenu.h"
#include "app/tabs/StatsPagePicture.h"

#include "FakeTimer.h"
#include "RecordingMessages.h"
#include "TestFiles.h"
#include "monitor/FakeBrowser.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(BrowserContextMenu, ItemsEnabledBySelectionAndStatisticsPage) {
    FakeBrowser browser;
    bool statsPage = false;
    int saves = 0;
    BrowserContextMenu menu(
        browser, [&] { return statsPage; }, [&] { ++saves; });
    QStringList texts;
    for (QAction* a : menu.menu()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts, QStringList({"Copy\tCtrl+C", "-", "Select All\tCtrl+A", "-",
                                  "Save ADSL Line Stats Image As..."}));

    const struct {
        const char* selected;
        bool statsPage;
    } cases[] = {{"", false}, {"12.3 dB", false}, {"", true}, {"x", true}};
    for (const auto& c : cases) {
        browser.selectedText = QString::fromUtf8(c.selected);
        statsPage = c.statsPage;
        bool ready = false;
        menu.PopupMenu1Popup([&] { ready = true; });
        EXPECT_TRUE(ready);
        EXPECT_EQ(menu.copyAction()->isEnabled(), !browser.selectedText.isEmpty()) << c.selected;
        EXPECT_EQ(menu.saveImageAction()->isEnabled(), c.statsPage);
        EXPECT_TRUE(menu.selectAllAction()->isEnabled());
    }
    menu.saveImageAction()->trigger();
    EXPECT_EQ(saves, 1);
    // Only shown, never registered: the Edit menu's items own the keys.
    EXPECT_TRUE(menu.copyAction()->shortcut().isEmpty());
}

TEST(BrowserContextMenu, CopyWithNothingSelectedLeavesTheClipboard) {
    FakeBrowser browser;
    BrowserContextMenu menu(browser, {}, {});
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    menu.mnuWebCopyClick();
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));
    browser.selectedText = QStringLiteral("Noise Margin 6.2 dB");
    menu.mnuWebCopyClick();
    EXPECT_EQ(clipboard->text(), browser.selectedText);
    menu.mnuWebSelectAllClick();
    EXPECT_EQ(browser.count(QStringLiteral("selectAll")), 1);
}

class PagePictureTest : public ::testing::Test {
protected:
    StatsPagePicture make() {
        StatsPagePicture::Hooks hooks;
        hooks.running = [this] { return running; };
        hooks.startFolder = [this] { return dir.path(); };
        hooks.askFileName = [this](const QString& start) {
            // The page was scrolled and grabbed before the question.
            order << QStringLiteral("ask ") + start + QStringLiteral(" timer ") +
                         QString::number(timer.isEnabled());
            return answer;
        };
        hooks.afterRepaint = [this](std::function<void()> next) {
            order << QStringLiteral("repaint");
            next();
        };
        return StatsPagePicture(browser, timer, messages, hooks);
    }

    QTemporaryDir dir;
    FakeBrowser browser;
    FakeTimer timer;
    RecordingMessages messages;
    QStringList order;
    QString answer;
    bool running = true;
};

TEST_F(PagePictureTest, ScrollsGrabsThenAsksAndRestoresSampling) {
    browser.size = QSize(1000, 700);
    timer.setEnabled(true);
    answer = dir.filePath(QStringLiteral("stats.jpg"));
    auto picture = make();
    picture.mnuSaveImageClick();
    EXPECT_EQ(browser.callsStartingWith(QStringLiteral("scrollBy")),
              QStringList({"scrollBy 0 -300", "scrollBy 0 270"}));
    EXPECT_EQ(order, QStringList({"repaint", "ask " + dir.path() + " timer 0"}));
    EXPECT_TRUE(timer.isEnabled());
    EXPECT_EQ(QImageReader(answer).size(), QSize(700, 600));
    EXPECT_TRUE(readFile(answer).startsWith("\xFF\xD8"));
}

TEST_F(PagePictureTest, CancelOrFailureRestoresSamplingOnlyWhenRunning) {
    const struct {
        bool running;
        const char* answer;
        int errors;
    } cases[] = {
        {true, "", 0}, {false, "", 0}, {true, "gone/stats.jpg", 1}, {false, "gone/x.jpg", 1}};
    for (const auto& c : cases) {
        messages.errors.clear();
        timer.setEnabled(true);
        running = c.running;
        answer = *c.answer ? dir.filePath(QString::fromUtf8(c.answer)) : QString();
        auto picture = make();
        picture.mnuSaveImageClick();
        EXPECT_EQ(timer.isEnabled(), c.running) << c.answer;
        EXPECT_EQ(messages.errors.size(), c.errors) << c.answer;
        EXPECT_FALSE(picture.busy());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(AboutBox, ShowsTheVersionAndTheLinkOpensTheHelpDocument) {
    int helpOpened = 0;
    AboutBox box([&] { ++helpOpened; });
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Lintrove - About"));
    auto* version = box.findChild<QLabel*>(QStringLiteral("Label2"));
    ASSERT_NE(version, nullptr);
    // The version --version prints and a build date such as 11 December 2026.
    static const QRegularExpression form(
        QStringLiteral("^Version " LINTROVE_VERSION " - ([1-9]|[12][0-9]|3[01]) (January|February|"
                       "March|April|May|June|July|August|September|October|November|December) "
                       "20[0-9][0-9]$"));
    EXPECT_TRUE(form.match(version->text()).hasMatch()) << version->text().toStdString();
    auto* link = box.findChild<QLabel*>(QStringLiteral("Label3"));
    ASSERT_NE(link, nullptr);
    box.show();
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(helpOpened, 1);
    EXPECT_EQ(AboutBox::centredOn(QRect(215, 187, 851, 650), QSize(405, 213)),
              QPoint(215 + 425 - 202, 187 + 325 - 106));
}

} // namespace
