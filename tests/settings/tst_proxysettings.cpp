#include <QtTest>

#include "talk/proxysettings.h"

using talk::ProxySettings;

class TstProxySettings : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void isValid_data();
    void isValid();
    void equality_data();
    void equality();
    void debugFormHidesPassword();
};

void TstProxySettings::defaults()
{
    const ProxySettings proxy;
    QCOMPARE(proxy.type(), 0);
    QVERIFY(proxy.host().isEmpty());
    QCOMPARE(proxy.port(), 0);
    QCOMPARE(proxy.auth(), false);
    QVERIFY(proxy.user().isEmpty());
    QVERIFY(proxy.password().isEmpty());
    QVERIFY(!proxy.isValid());
}

void TstProxySettings::isValid_data()
{
    QTest::addColumn<ProxySettings>("proxy");
    QTest::addColumn<bool>("valid");
    QTest::newRow("https host and port") << ProxySettings(1, "proxy.lan", 3128) << true;
    QTest::newRow("socks host and port") << ProxySettings(2, "proxy.lan", 1080) << true;
    QTest::newRow("host only") << ProxySettings(1, "proxy.lan", 0) << true;
    QTest::newRow("port only") << ProxySettings(1, QString(), 3128) << true;
    QTest::newRow("neither host nor port") << ProxySettings(1, QString(), 0) << false;
    QTest::newRow("no proxy type") << ProxySettings(3, "proxy.lan", 3128) << false;
    QTest::newRow("unset type with host") << ProxySettings(0, "proxy.lan", 3128) << true;
    QTest::newRow("auth with user and password")
        << ProxySettings(1, "proxy.lan", 3128, true, "u", "p") << true;
    QTest::newRow("auth without password")
        << ProxySettings(1, "proxy.lan", 3128, true, "u", QString()) << false;
    QTest::newRow("auth without user") << ProxySettings(1, "proxy.lan", 3128, true, QString(), "p") << false;
    QTest::newRow("no auth, no user")
        << ProxySettings(1, "proxy.lan", 3128, false, QString(), QString()) << true;
}

void TstProxySettings::isValid()
{
    QFETCH(ProxySettings, proxy);
    QFETCH(bool, valid);
    QCOMPARE(proxy.isValid(), valid);
}

void TstProxySettings::equality_data()
{
    QTest::addColumn<ProxySettings>("other");
    QTest::addColumn<bool>("equal");
    const ProxySettings base(1, "proxy.lan", 3128, true, "user", "pass");
    QTest::newRow("same") << base << true;
    ProxySettings p = base;
    p.setType(2);
    QTest::newRow("type") << p << false;
    p = base;
    p.setHost("other.lan");
    QTest::newRow("host") << p << false;
    p = base;
    p.setPort(8080);
    QTest::newRow("port") << p << false;
    p = base;
    p.setAuth(false);
    QTest::newRow("auth") << p << false;
    p = base;
    p.setUser("someone");
    QTest::newRow("user") << p << false;
    p = base;
    p.setPassword("other");
    QTest::newRow("password") << p << false;
}

void TstProxySettings::equality()
{
    QFETCH(ProxySettings, other);
    QFETCH(bool, equal);
    const ProxySettings base(1, "proxy.lan", 3128, true, "user", "pass");
    QCOMPARE(base == other, equal);
    QCOMPARE(base != other, !equal);
    QCOMPARE(other == base, equal);
}

void TstProxySettings::debugFormHidesPassword()
{
    QString text;
    QDebug(&text) << ProxySettings(2, "proxy.lan", 1080, true, "anna", "pa55-secret");
    QVERIFY(!text.contains(QStringLiteral("pa55-secret")));
    QVERIFY(text.contains(QStringLiteral("********")));
    QVERIFY(text.contains(QStringLiteral("\"anna\"")));
    QVERIFY(text.contains(QStringLiteral("\"proxy.lan\"")));
    QVERIFY(text.contains(QStringLiteral("1080")));
}

QTEST_GUILESS_MAIN(TstProxySettings)
#include "tst_proxysettings.moc"
