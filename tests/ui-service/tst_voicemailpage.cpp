#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

#include "homeurls.h"
#include "ui/voicemailitemdelegate.h"
#include "ui/voicemailmodel.h"
#include "ui/voicemailpage.h"

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestVoicemailPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void modelRoles();
    void startsEmptyWithZeroTimes();
    void timeTexts_data();
    void timeTexts();
    void iconPaths_data();
    void iconPaths();
    void contextMenuEntries();
    void unfinishedActionsOnlyTrace_data();
    void unfinishedActionsOnlyTrace();
    void playFromStartAndPause();
    void filterHidesOldMessages();
    void muteDisablesTheVolume();
    void configureOpensTheVoicemailPage();

private:
    static QList<VoicemailModel::Entry> entries();
};

void TestVoicemailPage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

QList<VoicemailModel::Entry> TestVoicemailPage::entries()
{
    const QDateTime now = QDateTime::currentDateTime();
    return { { QStringLiteral("+15550100"), now.addSecs(-3600), QTime(0, 1, 30), VoicemailModel::NotPlayed },
        { QStringLiteral("+15550101"), now.addDays(-3), QTime(0, 0, 20), VoicemailModel::Paused } };
}

void TestVoicemailPage::modelRoles()
{
    VoicemailModel model;
    const QList<VoicemailModel::Entry> given = entries();
    model.setEntries(given);
    QCOMPARE(model.rowCount(), 2);
    const QModelIndex first = model.index(0);
    QCOMPARE(first.data(Qt::DisplayRole).toString(), QStringLiteral("+15550100"));
    QCOMPARE(first.data(33).toString(), QStringLiteral("+15550100"));
    QCOMPARE(first.data(34).toTime(), QTime(0, 1, 30));
    QCOMPARE(first.data(35).toInt(), int(VoicemailModel::NotPlayed));
    QCOMPARE(first.data(1032).toDateTime(), given.first().timestamp);
    QVERIFY(!first.data(36).isValid());
    model.setPlayState(0, VoicemailModel::Playing);
    QCOMPARE(first.data(35).toInt(), int(VoicemailModel::Playing));
    model.setPlayState(9, VoicemailModel::Playing);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void TestVoicemailPage::startsEmptyWithZeroTimes()
{
    VoicemailPage page;
    QCOMPARE(page.model()->rowCount(), 0);
    QCOMPARE(page.playedTimeText(), QStringLiteral("00:00"));
    QCOMPARE(page.leftTimeText(), QStringLiteral("-00:00"));
    QCOMPARE(page.findChild<QPushButton *>(QStringLiteral("configureVoicemailButton"))->text(),
        QStringLiteral("Configure Voicemail"));
}

void TestVoicemailPage::timeTexts_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<QString>("played");
    QTest::addColumn<QString>("left");
    QTest::newRow("zero") << qint64(0) << "00:00" << "-00:00";
    QTest::newRow("90 s") << qint64(90500) << "01:30" << "-01:30";
    QTest::newRow("negative") << qint64(-5) << "00:00" << "-00:00";
}

void TestVoicemailPage::timeTexts()
{
    QFETCH(qint64, msecs);
    QFETCH(QString, played);
    QFETCH(QString, left);
    QCOMPARE(VoicemailPage::playedText(msecs), played);
    QCOMPARE(VoicemailPage::leftText(msecs), left);
}

void TestVoicemailPage::iconPaths_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("path");
    QTest::newRow("not played") << 0 << false << ":/gfx/voicemail/not-played.png";
    QTest::newRow("playing selected") << 1 << true << ":/gfx/voicemail/playing-selected.png";
    QTest::newRow("paused") << 2 << false << ":/gfx/voicemail/paused.png";
}

void TestVoicemailPage::iconPaths()
{
    QFETCH(int, state);
    QFETCH(bool, selected);
    QFETCH(QString, path);
    QCOMPARE(VoicemailItemDelegate::iconPath(state, selected), path);
    QVERIFY(!QPixmap(path).isNull());
}

void TestVoicemailPage::contextMenuEntries()
{
    VoicemailPage page;
    QStringList texts;
    for (QAction *action : page.contextMenu()->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({ "Pause", "Play", "Play from start", "Play Previous Voicemail",
                        "Play Next Voicemail", "Add Contact", "Call back", "Delete" }));
}

void TestVoicemailPage::unfinishedActionsOnlyTrace_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("handler");
    QTest::newRow("play") << 1 << "onPlayTriggered";
    QTest::newRow("previous") << 3 << "onPlayPrevTriggered";
    QTest::newRow("next") << 4 << "onPlayNextTriggered";
    QTest::newRow("add contact") << 5 << "onAddContactTriggered";
    QTest::newRow("call back") << 6 << "onCallBackTriggered";
    QTest::newRow("delete") << 7 << "onDeleteTriggered";
}

void TestVoicemailPage::unfinishedActionsOnlyTrace()
{
    QFETCH(int, action);
    QFETCH(QString, handler);
    VoicemailPage page;
    page.model()->setEntries(entries());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("NOTIMPL: VoicemailPage::.*" + handler));
    page.contextMenu()->actions().at(action)->trigger();
    QCOMPARE(page.model()->rowCount(), 2);
    QVERIFY(!page.isPlaying());
}

void TestVoicemailPage::playFromStartAndPause()
{
    VoicemailPage page;
    page.model()->setEntries(entries());
    page.setCurrentRow(0);
    QAction *pause = page.contextMenu()->actions().at(0);
    QAction *fromStart = page.contextMenu()->actions().at(2);
    fromStart->trigger();
    QVERIFY(page.isPlaying());
    QCOMPARE(page.playedTimeText(), QStringLiteral("00:00"));
    QCOMPARE(page.leftTimeText(), QStringLiteral("-01:30"));
    QTest::qWait(50);
    pause->trigger();
    QVERIFY(!page.isPlaying());
    // Paused: the display no longer moves.
    const QString played = page.playedTimeText();
    QTest::qWait(50);
    QCOMPARE(page.playedTimeText(), played);
    fromStart->trigger();
    QCOMPARE(page.playedTimeText(), QStringLiteral("00:00"));
    pause->trigger();
}

void TestVoicemailPage::filterHidesOldMessages()
{
    VoicemailPage page;
    page.model()->setEntries(entries());
    page.setVoicemailHistoryFilter(VoicemailPage::HistoryFilter(HistoryFilterModel::LastDay));
    QCOMPARE(page.proxyModel()->rowCount(), 1);
    page.setVoicemailHistoryFilter(HistoryFilterModel::LastSevenDays);
    QCOMPARE(page.proxyModel()->rowCount(), 2);
}

void TestVoicemailPage::muteDisablesTheVolume()
{
    VoicemailPage page;
    auto *mute = page.findChild<QPushButton *>(QStringLiteral("muteButton"));
    auto *slider = page.findChild<QSlider *>(QStringLiteral("volumeSlider"));
    auto *up = page.findChild<QPushButton *>(QStringLiteral("volUpButton"));
    const int before = slider->value();
    up->click();
    QCOMPARE(slider->value(), before + VoicemailPage::volumeStep);
    mute->click();
    QVERIFY(!slider->isEnabled());
    mute->click();
    QVERIFY(slider->isEnabled());
}

void TestVoicemailPage::configureOpensTheVoicemailPage()
{
    UrlCatcher browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    HomeUrls home;
    home.enableVoiceMailURL = QUrl(QStringLiteral("https://shop.example.org/voicemail"));
    VoicemailPage page;
    page.setHomeUrls(&home);
    page.findChild<QPushButton *>(QStringLiteral("configureVoicemailButton"))->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(browser.opened, QList<QUrl>({ home.enableVoiceMailURL }));
}

QTEST_MAIN(TestVoicemailPage)
#include "tst_voicemailpage.moc"
