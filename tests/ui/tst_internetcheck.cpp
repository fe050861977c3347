#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include "ui/internetcheck.h"

class TstInternetCheck : public QObject
{
    Q_OBJECT

private slots:
    void listeningHostAnswers();
    void closedPortDoesNot();
    void noHostDoesNot();
    void oneCheckAtATime();
};

void TstInternetCheck::listeningHostAnswers()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    InternetCheck check;
    check.setTarget(
        QUrl(QStringLiteral("https://127.0.0.1:%1/webservice-5.0/account").arg(server.serverPort())));
    QSignalSpy finished(&check, &InternetCheck::finished);
    check.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(!check.isRunning());
}

void TstInternetCheck::closedPortDoesNot()
{
    quint16 port = 0;
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        port = server.serverPort();
    }
    InternetCheck check;
    check.setTarget(QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(port)));
    QSignalSpy finished(&check, &InternetCheck::finished);
    check.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().first().toBool(), false);
}

void TstInternetCheck::noHostDoesNot()
{
    InternetCheck check;
    check.setTarget(QUrl());
    QSignalSpy finished(&check, &InternetCheck::finished);
    check.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().first().toBool(), false);
}

void TstInternetCheck::oneCheckAtATime()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    InternetCheck check;
    check.setTarget(QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(server.serverPort())));
    QSignalSpy finished(&check, &InternetCheck::finished);
    check.start();
    check.start();
    QVERIFY(finished.wait(5000));
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);
}

QTEST_GUILESS_MAIN(TstInternetCheck)
#include "tst_internetcheck.moc"
