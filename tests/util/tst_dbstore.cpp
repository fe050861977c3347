#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "util/dbstore.h"

namespace {

int rowCount(const QString &table)
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("select count(*) from ") + table) || !query.next())
        return -1;
    return query.value(0).toInt();
}

QVariant rawValue(const QString &name)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("select value from settings where name = :name"));
    query.bindValue(QStringLiteral(":name"), name);
    if (!query.exec() || !query.next())
        return QVariant();
    return query.value(0);
}

} // namespace

class TstDbStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fileNameAndPath();
    void schemaCreatesTables_data();
    void schemaCreatesTables();
    void defaultRows_data();
    void defaultRows();
    void schemaSplitsIntoItsStatements();
    void storedValuesSurviveReopen();
    void deletedDefaultRowComesBack();
    void missingKeyReturnsExactDefault_data();
    void missingKeyReturnsExactDefault();
    void valuesAreStoredAsText_data();
    void valuesAreStoredAsText();
    void removeValue();
    void openAndCloseAreCounted();
    void garbageFileFallsBackToDefaults();
    void folderThatCannotBeMadeFallsBackToDefaults();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DbStore> store;
};

void TstDbStore::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstDbStore::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    store = std::make_unique<DbStore>();
    store->setDataFolder(dir->path());
}

void TstDbStore::cleanup()
{
    while (store->isOpen())
        store->closeDatabases();
    store.reset();
    dir.reset();
}

void TstDbStore::fileNameAndPath()
{
    QCOMPARE(store->databaseFileName(), QStringLiteral("data.vk"));
    QCOMPARE(store->databasePath(), dir->path() + QStringLiteral("/data.vk"));
    DbStore plain;
    QCOMPARE(plain.dataFolder(), QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

void TstDbStore::schemaCreatesTables_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("rows");
    QTest::newRow("settings") << "settings" << 23;
    QTest::newRow("number_history") << "number_history" << 0;
    QTest::newRow("call_history") << "call_history" << 0;
    QTest::newRow("last_login") << "last_login" << 0;
}

void TstDbStore::schemaCreatesTables()
{
    QFETCH(QString, table);
    QFETCH(int, rows);
    store->loadDatabases();
    QVERIFY(store->isOpen());
    QVERIFY(QFile::exists(store->databasePath()));
    QCOMPARE(rowCount(table), rows);
}

void TstDbStore::defaultRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("1") << "login.autostart"
                       << "true";
    QTest::newRow("2") << "login.auto"
                       << "false";
    QTest::newRow("3") << "login.remember"
                       << "false";
    QTest::newRow("4") << "login.welcome"
                       << "true";
    QTest::newRow("5") << "ui.minimizetotray"
                       << "true";
    QTest::newRow("6") << "ui.minimizetotray.hint"
                       << "true";
    QTest::newRow("7") << "settings.call.callStartDblClick"
                       << "true";
    QTest::newRow("8") << "settings.call.autoAnswerCalls"
                       << "false";
    QTest::newRow("9") << "settings.update.autoUpdate"
                       << "true";
    QTest::newRow("10") << "settings.hotkeys.placeCall"
                        << "Enter";
    QTest::newRow("11") << "settings.hotkeys.cancelCall"
                        << "Esc";
    QTest::newRow("12") << "settings.hotkeys.increaseSpeakerVol"
                        << "Ctrl+Right";
    QTest::newRow("13") << "settings.hotkeys.decreaseSpeakerVol"
                        << "Ctrl+Left";
    QTest::newRow("14") << "settings.hotkeys.increaseMicVol"
                        << "Alt+Right";
    QTest::newRow("15") << "settings.hotkeys.decreaseMicVol"
                        << "Alt+Left";
    QTest::newRow("16") << "settings.hotkeys.showHideGroups"
                        << "Ctrl+H";
    QTest::newRow("17") << "settings.hotkeys.placeCallEnabled"
                        << "true";
    QTest::newRow("18") << "settings.hotkeys.cancelCallEnabled"
                        << "true";
    QTest::newRow("19") << "settings.hotkeys.increaseSpeakerVolEnabled"
                        << "true";
    QTest::newRow("20") << "settings.hotkeys.decreaseSpeakerVolEnabled"
                        << "true";
    QTest::newRow("21") << "settings.hotkeys.increaseMicVolEnabled"
                        << "true";
    QTest::newRow("22") << "settings.hotkeys.decreaseMicVolEnabled"
                        << "true";
    QTest::newRow("23") << "settings.hotkeys.showHideGroupsEnabled"
                        << "true";
}

void TstDbStore::defaultRows()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    store->loadDatabases();
    QCOMPARE(rawValue(name).toString(), value);
    QCOMPARE(store->value(QStringLiteral("settings"), name, QStringLiteral("none")).toString(), value);
}

void TstDbStore::schemaSplitsIntoItsStatements()
{
    QFile script(DbStore::schemaResource());
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QStringList parts = QString::fromUtf8(script.readAll()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QStringList statements;
    for (const QString &part : parts) {
        if (!part.trimmed().isEmpty())
            statements.append(part.trimmed());
    }
    // Four tables and 23 rows: no ';' hides inside a literal.
    QCOMPARE(statements.size(), 27);
    for (int i = 4; i < statements.size(); ++i)
        QVERIFY2(statements.at(i).startsWith(
                     QStringLiteral("insert or ignore into settings (name, value) values (\"")),
            qPrintable(statements.at(i)));
}

void TstDbStore::storedValuesSurviveReopen()
{
    store->loadDatabases();
    store->setValue(QStringLiteral("settings"), QStringLiteral("login.auto"), true);
    store->setValue(
        QStringLiteral("settings"), QStringLiteral("settings.hotkeys.placeCall"), QStringLiteral("F5"));
    store->closeDatabases();
    QVERIFY(!store->isOpen());

    DbStore reopened;
    reopened.setDataFolder(dir->path());
    reopened.loadDatabases();
    QCOMPARE(rawValue(QStringLiteral("login.auto")).toString(), QStringLiteral("true"));
    QCOMPARE(rawValue(QStringLiteral("settings.hotkeys.placeCall")).toString(), QStringLiteral("F5"));
    QCOMPARE(rowCount(QStringLiteral("settings")), 23);
    reopened.closeDatabases();
}

void TstDbStore::deletedDefaultRowComesBack()
{
    store->loadDatabases();
    store->removeValue(QStringLiteral("settings"), QStringLiteral("login.welcome"));
    QVERIFY(!rawValue(QStringLiteral("login.welcome")).isValid());
    store->closeDatabases();

    DbStore reopened;
    reopened.setDataFolder(dir->path());
    reopened.loadDatabases();
    QCOMPARE(rawValue(QStringLiteral("login.welcome")).toString(), QStringLiteral("true"));
    reopened.closeDatabases();
}

void TstDbStore::missingKeyReturnsExactDefault_data()
{
    QTest::addColumn<QVariant>("defaultValue");
    QTest::newRow("bool") << QVariant(true);
    QTest::newRow("int") << QVariant(-7);
    QTest::newRow("uint") << QVariant(25u);
    QTest::newRow("string") << QVariant(QStringLiteral("Ctrl+H"));
    QTest::newRow("invalid") << QVariant();
}

void TstDbStore::missingKeyReturnsExactDefault()
{
    QFETCH(QVariant, defaultValue);
    store->loadDatabases();
    const QVariant value
        = store->value(QStringLiteral("settings"), QStringLiteral("no.such.key"), defaultValue);
    QCOMPARE(value.userType(), defaultValue.userType());
    QCOMPARE(value, defaultValue);
}

void TstDbStore::valuesAreStoredAsText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("true") << QVariant(true) << "true";
    QTest::newRow("false") << QVariant(false) << "false";
    QTest::newRow("uint") << QVariant(25u) << "25";
    QTest::newRow("int") << QVariant(-3) << "-3";
    QTest::newRow("text") << QVariant(QStringLiteral("a b")) << "a b";
}

void TstDbStore::valuesAreStoredAsText()
{
    QFETCH(QVariant, value);
    QFETCH(QString, stored);
    store->loadDatabases();
    store->setValue(QStringLiteral("settings"), QStringLiteral("test.key"), value);
    const QVariant raw = rawValue(QStringLiteral("test.key"));
    QCOMPARE(raw.userType(), int(QMetaType::QString));
    QCOMPARE(raw.toString(), stored);
}

void TstDbStore::removeValue()
{
    store->loadDatabases();
    store->setValue(QStringLiteral("settings"), QStringLiteral("login.user"), QStringLiteral("anna"));
    QCOMPARE(store->value(QStringLiteral("settings"), QStringLiteral("login.user"), QString()).toString(),
        QStringLiteral("anna"));
    store->removeValue(QStringLiteral("settings"), QStringLiteral("login.user"));
    QCOMPARE(store->value(QStringLiteral("settings"), QStringLiteral("login.user"), QStringLiteral("gone"))
                 .toString(),
        QStringLiteral("gone"));
}

void TstDbStore::openAndCloseAreCounted()
{
    QCOMPARE(store->openCount(), 0);
    store->loadDatabases();
    store->loadDatabases();
    QCOMPARE(store->openCount(), 2);
    QVERIFY(store->isOpen());

    store->closeDatabases();
    QCOMPARE(store->openCount(), 1);
    QVERIFY(store->isOpen());
    QVERIFY(!store->isClosed());
    QCOMPARE(rowCount(QStringLiteral("settings")), 23);

    store->closeDatabases();
    QCOMPARE(store->openCount(), 0);
    QVERIFY(!store->isOpen());
    QVERIFY(store->isClosed());
    QCOMPARE(rowCount(QStringLiteral("settings")), -1);
}

void TstDbStore::garbageFileFallsBackToDefaults()
{
    QByteArray garbage(8192, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) % 251);
    {
        QFile file(store->databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }

    store->loadDatabases();
    QVERIFY(store->isOpen());
    QCOMPARE(store->value(QStringLiteral("settings"), QStringLiteral("login.welcome"), false).toString(),
        QStringLiteral("true"));
    store->setValue(QStringLiteral("settings"), QStringLiteral("login.auto"), true);
    QCOMPARE(rawValue(QStringLiteral("login.auto")).toString(), QStringLiteral("true"));

    // The damaged file is kept beside the new one, unchanged.
    const QStringList aside
        = QDir(dir->path()).entryList({ QStringLiteral("data.vk.corrupt-*") }, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QFile kept(QDir(dir->path()).filePath(aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), garbage);
}

void TstDbStore::folderThatCannotBeMadeFallsBackToDefaults()
{
    // Tests run as root, where permissions stop nothing: a regular file stands where the folder
    // should be.
    const QString blocker = QDir(dir->path()).filePath(QStringLiteral("blocker"));
    {
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    store->setDataFolder(QDir(blocker).filePath(QStringLiteral("data")));

    store->loadDatabases();
    QVERIFY(!store->isOpen());
    QCOMPARE(store->openCount(), 0);
    QCOMPARE(store->value(QStringLiteral("settings"), QStringLiteral("login.welcome"), QVariant(false)),
        QVariant(false));
    store->setValue(QStringLiteral("settings"), QStringLiteral("login.auto"), true);
    QCOMPARE(store->value(QStringLiteral("settings"), QStringLiteral("login.auto"), QVariant(false)),
        QVariant(false));
    store->removeValue(QStringLiteral("settings"), QStringLiteral("login.auto"));
}

QTEST_GUILESS_MAIN(TstDbStore)
#include "tst_dbstore.moc"
