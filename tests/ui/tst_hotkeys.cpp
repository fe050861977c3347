#include <QShortcut>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/settings.h"
#include "ui/hotkeys.h"
#include "util/dbstore.h"

class TstHotKeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mirrorKey_data();
    void mirrorKey();
    void defaults();
    void placeCallKeys_data();
    void placeCallKeys();
    void disabledInSettingsStaysOff();
    void activationFollowsThePage();

    void cleanupTestCase()
    {
        settings.reset();
        store->closeDatabases();
    }

private:
    std::unique_ptr<DbStore> store;
    std::unique_ptr<Settings> settings;
    QTemporaryDir folder;
};

void TstHotKeys::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    store = std::make_unique<DbStore>();
    store->setDataFolder(folder.path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    settings = std::make_unique<Settings>(store.get());
}

void TstHotKeys::mirrorKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("mirror");
    QTest::newRow("Enter") << QStringLiteral("Enter") << QStringLiteral("Return");
    QTest::newRow("Return") << QStringLiteral("Return") << QStringLiteral("Enter");
    QTest::newRow("F5") << QStringLiteral("F5") << QString();
    QTest::newRow("Ctrl+Enter") << QStringLiteral("Ctrl+Enter") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TstHotKeys::mirrorKey()
{
    QFETCH(QString, key);
    QFETCH(QString, mirror);
    QCOMPARE(HotKeys::mirrorKey(key), mirror);
}

void TstHotKeys::defaults()
{
    QWidget owner;
    HotKeys keys(&owner);
    keys.configure(settings.get());
    QCOMPARE(keys.placeCall->key(), QKeySequence(Qt::Key_Enter));
    QCOMPARE(keys.placeCallMirror->key(), QKeySequence(Qt::Key_Return));
    QCOMPARE(keys.cancelCall->key(), QKeySequence(Qt::Key_Escape));
    QCOMPARE(keys.increaseSpeakerVolume->key(), QKeySequence(Qt::CTRL | Qt::Key_Right));
    QCOMPARE(keys.decreaseSpeakerVolume->key(), QKeySequence(Qt::CTRL | Qt::Key_Left));
    QCOMPARE(keys.increaseMicVolume->key(), QKeySequence(Qt::ALT | Qt::Key_Right));
    QCOMPARE(keys.decreaseMicVolume->key(), QKeySequence(Qt::ALT | Qt::Key_Left));
    QCOMPARE(keys.showHideGroups->key(), QKeySequence(Qt::CTRL | Qt::Key_H));
    QCOMPARE(keys.placeCall->context(), Qt::ApplicationShortcut);
}

void TstHotKeys::placeCallKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("mirrorEnabled");
    QTest::newRow("Return also takes Enter") << QStringLiteral("Return") << true;
    QTest::newRow("Enter also takes Return") << QStringLiteral("Enter") << true;
    QTest::newRow("F5 alone") << QStringLiteral("F5") << false;
}

void TstHotKeys::placeCallKeys()
{
    QFETCH(QString, key);
    QFETCH(bool, mirrorEnabled);
    settings->setPlaceCallHotkey(key);
    QWidget owner;
    HotKeys keys(&owner);
    keys.configure(settings.get());
    keys.activate(true, true, true);
    QCOMPARE(keys.placeCall->key(), QKeySequence(key, QKeySequence::PortableText));
    QVERIFY(keys.placeCall->isEnabled());
    QCOMPARE(keys.placeCallMirror->isEnabled(), mirrorEnabled);
    settings->setPlaceCallHotkey(QStringLiteral("Enter"));
}

void TstHotKeys::disabledInSettingsStaysOff()
{
    settings->setCancelCallHotkeyEnabled(false);
    QWidget owner;
    HotKeys keys(&owner);
    keys.configure(settings.get());
    keys.activate(true, true, true);
    QVERIFY(!keys.cancelCall->isEnabled());
    QVERIFY(keys.placeCall->isEnabled());
    settings->setCancelCallHotkeyEnabled(true);
}

void TstHotKeys::activationFollowsThePage()
{
    QWidget owner;
    HotKeys keys(&owner);
    keys.configure(settings.get());
    keys.activate(false, false, false);
    QVERIFY(!keys.placeCall->isEnabled());
    QVERIFY(!keys.increaseMicVolume->isEnabled());
    keys.activate(false, true, false);
    QVERIFY(!keys.placeCall->isEnabled());
    QVERIFY(keys.increaseMicVolume->isEnabled());
    QVERIFY(!keys.showHideGroups->isEnabled());
    keys.activate(true, true, true);
    QVERIFY(keys.placeCall->isEnabled());
    QVERIFY(keys.showHideGroups->isEnabled());
}

QTEST_MAIN(TstHotKeys)
#include "tst_hotkeys.moc"
