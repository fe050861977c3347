#include <QNetworkReply>
#include <QtTest>

#include "importcontacts/netutil.h"

namespace {

class CannedReply : public QNetworkReply
{
public:
    explicit CannedReply(NetworkError code, const QString &text)
    {
        setUrl(QUrl(QStringLiteral("https://127.0.0.1/accounts/ClientLogin?token=secret")));
        open(ReadOnly);
        if (code != NoError)
            setError(code, text);
        setFinished(true);
    }
    void abort() override { }

protected:
    qint64 readData(char *, qint64) override { return -1; }
};

} // namespace

class TstNetUtil : public QObject
{
    Q_OBJECT

private slots:
    void nullReply();
    void replyState_data();
    void replyState();
};

void TstNetUtil::nullReply()
{
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("Reply is NULL")));
    QVERIFY(!NetUtil::checkReplyIsOk(nullptr));
}

void TstNetUtil::replyState_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("ok");
    QTest::newRow("no error") << int(QNetworkReply::NoError) << true;
    QTest::newRow("refused") << int(QNetworkReply::ConnectionRefusedError) << false;
    QTest::newRow("TLS") << int(QNetworkReply::SslHandshakeFailedError) << false;
    QTest::newRow("timeout") << int(QNetworkReply::OperationCanceledError) << false;
    QTest::newRow("HTTP 401") << int(QNetworkReply::AuthenticationRequiredError) << false;
    QTest::newRow("HTTP 500") << int(QNetworkReply::InternalServerError) << false;
}

void TstNetUtil::replyState()
{
    QFETCH(int, code);
    QFETCH(bool, ok);
    CannedReply reply(QNetworkReply::NetworkError(code),
        QStringLiteral("Error transferring https://127.0.0.1/accounts/ClientLogin?token=secret"));
    if (!ok) {
        // The error is traced with its code, but not with the URL's query.
        QTest::ignoreMessage(
            QtDebugMsg, QRegularExpression(QStringLiteral("Reply error:.*/accounts/ClientLogin\"")));
    }
    QCOMPARE(NetUtil::checkReplyIsOk(&reply), ok);
}

QTEST_GUILESS_MAIN(TstNetUtil)
#include "tst_netutil.moc"
