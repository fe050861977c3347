#include <QtTest>

#include "talk/jid.h"

using talk::Jid;

class TstJid : public QObject
{
    Q_OBJECT
private slots:
    void fromString_data();
    void fromString();
    void toStringOfParts_data();
    void toStringOfParts();
};

void TstJid::fromString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("domain");
    QTest::addColumn<QString>("resource");
    QTest::newRow("full") << "+15550100@localhost/gw"
                          << "+15550100"
                          << "localhost"
                          << "gw";
    QTest::newRow("bare") << "demo@localhost"
                          << "demo"
                          << "localhost"
                          << "";
    QTest::newRow("domain only") << "localhost"
                                 << ""
                                 << "localhost"
                                 << "";
    QTest::newRow("slash in resource") << "a@b/c/d"
                                       << "a"
                                       << "b"
                                       << "c/d";
    QTest::newRow("at in resource") << "a@b/c@d"
                                    << "a"
                                    << "b"
                                    << "c@d";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
}

void TstJid::fromString()
{
    QFETCH(QString, text);
    QFETCH(QString, user);
    QFETCH(QString, domain);
    QFETCH(QString, resource);
    const Jid jid = Jid::fromString(text);
    QCOMPARE(jid.user(), user);
    QCOMPARE(jid.domain(), domain);
    QCOMPARE(jid.resource(), resource);
    QCOMPARE(jid.toString(), text);
}

void TstJid::toStringOfParts_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("domain");
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QString>("text");
    QTest::newRow("number") << "+15550100"
                            << "localhost"
                            << ""
                            << "+15550100@localhost";
    QTest::newRow("resource") << "u"
                              << "d"
                              << "r"
                              << "u@d/r";
    QTest::newRow("no user") << ""
                             << "d"
                             << ""
                             << "d";
}

void TstJid::toStringOfParts()
{
    QFETCH(QString, user);
    QFETCH(QString, domain);
    QFETCH(QString, resource);
    QFETCH(QString, text);
    const Jid jid(user, domain, resource);
    QCOMPARE(jid.toString(), text);
    QCOMPARE(jid, Jid::fromString(text));
}

QTEST_GUILESS_MAIN(TstJid)
#include "tst_jid.moc"
