#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "history/loginhistory.h"
#include "util/dbstore.h"

namespace {

qint64 rowId(const QString &name)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("select rowid from last_login where name = :name"));
    query.bindValue(QStringLiteral(":name"), name);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

} // namespace

class TstLoginHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addTwiceInsertsOnce();
    void namesAreCaseSensitive();
    void namesInTableOrder();
    void clear();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DbStore> store;
};

void TstLoginHistory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstLoginHistory::init()
{
    dir = std::make_unique<QTemporaryDir>();
    store = std::make_unique<DbStore>();
    store->setDataFolder(dir->path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
}

void TstLoginHistory::cleanup()
{
    while (store->isOpen())
        store->closeDatabases();
    store.reset();
    dir.reset();
}

void TstLoginHistory::addTwiceInsertsOnce()
{
    LoginHistory logins;
    logins.add(QStringLiteral("anna"));
    logins.add(QStringLiteral("bert"));
    const qint64 before = rowId(QStringLiteral("anna"));
    QVERIFY(before > 0);
    logins.add(QStringLiteral("anna"));
    // An "insert or replace" would have given the row a new rowid.
    QCOMPARE(rowId(QStringLiteral("anna")), before);
    QCOMPARE(logins.names(), QStringList({ QStringLiteral("anna"), QStringLiteral("bert") }));
}

void TstLoginHistory::namesAreCaseSensitive()
{
    LoginHistory logins;
    logins.add(QStringLiteral("Anna"));
    logins.add(QStringLiteral("anna"));
    QCOMPARE(logins.names().size(), 2);
}

void TstLoginHistory::namesInTableOrder()
{
    LoginHistory logins;
    QVERIFY(logins.names().isEmpty());
    logins.add(QStringLiteral("c"));
    logins.add(QStringLiteral("a"));
    logins.add(QStringLiteral("b"));
    QStringList names = logins.names();
    names.sort();
    QCOMPARE(names, QStringList({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") }));
}

void TstLoginHistory::clear()
{
    LoginHistory logins;
    logins.add(QStringLiteral("anna"));
    logins.clear();
    QVERIFY(logins.names().isEmpty());
    logins.add(QStringLiteral("anna"));
    QCOMPARE(logins.names(), QStringList({ QStringLiteral("anna") }));
}

QTEST_GUILESS_MAIN(TstLoginHistory)
#include "tst_loginhistory.moc"
