#include <QtTest>

#include <QTcpServer>

#include <signal.h>

#include "voiceservice.h"
#include "xmpp/xmppsession.h"

Q_DECLARE_METATYPE(vesk::VESK_TALK_ERROR_CODE)
Q_DECLARE_METATYPE(vesk::VESK_DISCONNECT_REASON)

// Sign-in, refusal and loss of the XMPP connection against a real Prosody.
class tst_XmppSession : public QObject
{
    Q_OBJECT
private:
    VoiceService *m_service = nullptr;
    static constexpr int waitMs = 60000;

    void configure(engine::XmppSession &s) { s.setServer("127.0.0.1", m_service->port()); }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<vesk::VESK_TALK_ERROR_CODE>();
        qRegisterMetaType<vesk::VESK_DISCONNECT_REASON>();
        m_service = new VoiceService({ "--user", "alice:alice-pw", "--user", "bob:bob-pw" });
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->error()));
    }

    void cleanupTestCase() { delete m_service; }

    // The first sign-in of the process may wait for the system CA store; a sign-out meanwhile
    // cancels it and the next sign-in counts once.
    void signOutWhileTheFirstSignInWaits()
    {
        engine::XmppSession s;
        configure(s);
        QSignalSpy ok(&s, &engine::XmppSession::loggedIn);
        QSignalSpy failed(&s, &engine::XmppSession::loginFailed);
        s.login("alice@localhost", "alice-pw", true);
        s.logout();
        s.login("bob@localhost", "bob-pw", true);
        QVERIFY(ok.wait(waitMs));
        QTest::qWait(500);
        QCOMPARE(ok.count(), 1);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(s.jid(), QString("bob@localhost"));
        QCOMPARE(s.client()->configuration().jidBare(), QString("bob@localhost"));
        s.logout();
    }

    void loginSucceeds()
    {
        engine::XmppSession s;
        configure(s);
        QSignalSpy ok(&s, &engine::XmppSession::loggedIn);
        QSignalSpy failed(&s, &engine::XmppSession::loginFailed);
        s.login("alice@localhost", "alice-pw", true);
        QVERIFY(ok.wait(waitMs));
        QVERIFY(s.isLoggedIn());
        QCOMPARE(failed.count(), 0);
        QSignalSpy lost(&s, &engine::XmppSession::connectionLost);
        s.logout();
        QTest::qWait(200);
        QVERIFY(!s.isLoggedIn());
        QCOMPARE(lost.count(), 0); // leaving on purpose is not a loss
    }

    // The program signs in again (reconnects, other user) without signing out first.
    void loginAgainReplacesTheOldAttempt_data()
    {
        QTest::addColumn<bool>("waitForFirst");
        QTest::newRow("while signed in") << true;
        QTest::newRow("while signing in") << false;
    }

    void loginAgainReplacesTheOldAttempt()
    {
        QFETCH(bool, waitForFirst);
        engine::XmppSession s;
        configure(s);
        QSignalSpy ok(&s, &engine::XmppSession::loggedIn);
        QSignalSpy failed(&s, &engine::XmppSession::loginFailed);
        QSignalSpy lost(&s, &engine::XmppSession::connectionLost);
        s.login("alice@localhost", "alice-pw", true);
        if (waitForFirst)
            QVERIFY(ok.wait(waitMs));
        const int before = ok.count();
        s.login("bob@localhost", "bob-pw", true);
        QTRY_VERIFY_WITH_TIMEOUT(ok.count() > before, waitMs);
        QTest::qWait(500);
        QCOMPARE(ok.count(), before + 1);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(lost.count(), 0);
        QVERIFY(s.isLoggedIn());
        QCOMPARE(s.jid(), QString("bob@localhost"));
        s.logout();
    }

    void loginFailures_data()
    {
        QTest::addColumn<QString>("jid");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("closedPort");
        QTest::addColumn<int>("code");
        QTest::newRow("wrong password") << "alice@localhost"
                                        << "nope" << false << 6;
        QTest::newRow("unknown user") << "nobody@localhost"
                                      << "x" << false << 6;
        QTest::newRow("nothing listens") << "alice@localhost"
                                         << "alice-pw" << true << 4;
    }

    void loginFailures()
    {
        QFETCH(QString, jid);
        QFETCH(QString, password);
        QFETCH(bool, closedPort);
        QFETCH(int, code);
        engine::XmppSession s;
        configure(s);
        if (closedPort) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            const quint16 port = probe.serverPort();
            probe.close();
            s.setServer("127.0.0.1", port);
        }
        QSignalSpy ok(&s, &engine::XmppSession::loggedIn);
        QSignalSpy failed(&s, &engine::XmppSession::loginFailed);
        s.login(jid, password, true);
        QVERIFY(failed.wait(waitMs));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(int(failed.at(0).at(0).value<vesk::VESK_TALK_ERROR_CODE>()), code);
        QCOMPARE(ok.count(), 0);
        QVERIFY(!s.isLoggedIn());
    }

    void untrustedCertificateIsRefused()
    {
        const QByteArray ca = qgetenv("TALKVANE_CA_FILE");
        qunsetenv("TALKVANE_CA_FILE");
        engine::XmppSession s;
        configure(s);
        QSignalSpy ok(&s, &engine::XmppSession::loggedIn);
        QSignalSpy failed(&s, &engine::XmppSession::loginFailed);
        s.login("alice@localhost", "alice-pw", true);
        const bool done = failed.wait(waitMs);
        qputenv("TALKVANE_CA_FILE", ca);
        QVERIFY(done);
        QCOMPARE(ok.count(), 0);
        QVERIFY(failed.at(0).at(0).value<vesk::VESK_TALK_ERROR_CODE>() != vesk::VESK_TALK_ERROR_CREDENTIALS);
    }

    void secondLoginReplacesTheFirst()
    {
        engine::XmppSession first, second;
        configure(first);
        configure(second);
        QSignalSpy firstOk(&first, &engine::XmppSession::loggedIn);
        first.login("bob@localhost", "bob-pw", true);
        QVERIFY(firstOk.wait(waitMs));
        QSignalSpy lost(&first, &engine::XmppSession::connectionLost);
        QSignalSpy secondOk(&second, &engine::XmppSession::loggedIn);
        second.login("bob@localhost", "bob-pw", true);
        QVERIFY(secondOk.wait(waitMs));
        QVERIFY(lost.count() > 0 || lost.wait(waitMs));
        QCOMPARE(lost.count(), 1);
        QCOMPARE(lost.at(0).at(0).value<vesk::VESK_DISCONNECT_REASON>(), vesk::VESK_DISCONNECT_REPLACED);
        QVERIFY(!first.isLoggedIn());
        QVERIFY(second.isLoggedIn());
    }

    // The server stops answering without closing the socket: only the keep-alive can tell.
    void silentServerIsNoticed()
    {
        engine::XmppSession s;
        configure(s);
        s.setKeepAlive(3, 2);
        QSignalSpy ok(&s, &engine::XmppSession::loggedIn);
        s.login("alice@localhost", "alice-pw", true);
        QVERIFY(ok.wait(waitMs));
        QSignalSpy lost(&s, &engine::XmppSession::connectionLost);
        QCOMPARE(::kill(pid_t(m_service->pid()), SIGSTOP), 0);
        const bool noticed = lost.wait(waitMs);
        ::kill(pid_t(m_service->pid()), SIGCONT);
        QVERIFY(noticed);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(lost.at(0).at(0).value<vesk::VESK_DISCONNECT_REASON>(), vesk::VESK_DISCONNECT_MISSED);
    }

    // The server goes away: killed, the socket just closes (a missed connection); shut down, it
    // says so with a stream error first (a connection error).
    void serverGoes_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::addColumn<int>("reason");
        QTest::newRow("killed") << true << int(vesk::VESK_DISCONNECT_MISSED);
        QTest::newRow("shut down") << false << int(vesk::VESK_DISCONNECT_ERROR);
    }

    void serverGoes()
    {
        QFETCH(bool, killed);
        QFETCH(int, reason);
        VoiceService own({ "--user", "erin:erin-pw" });
        QVERIFY2(own.isRunning(), qPrintable(own.error()));
        engine::XmppSession s;
        s.setServer("127.0.0.1", own.port());
        QSignalSpy ok(&s, &engine::XmppSession::loggedIn);
        s.login("erin@localhost", "erin-pw", true);
        QVERIFY(ok.wait(waitMs));
        QSignalSpy lost(&s, &engine::XmppSession::connectionLost);
        if (killed)
            QCOMPARE(::kill(pid_t(own.pid()), SIGKILL), 0);
        own.stop();
        QVERIFY(lost.count() > 0 || lost.wait(waitMs));
        QCOMPARE(lost.count(), 1);
        QCOMPARE(int(lost.at(0).at(0).value<vesk::VESK_DISCONNECT_REASON>()), reason);
        // Back to the shared service's CA for the tests that follow.
        qputenv("TALKVANE_CA_FILE", m_service->value("TALKVANE_CA_FILE").toUtf8());
    }

    void defaultKeepAliveNoticesWithin30Seconds()
    {
        engine::XmppSession s;
        QVERIFY(s.keepAliveInterval() + s.keepAliveTimeout() <= 30);
        QVERIFY(s.keepAliveTimeout() < s.keepAliveInterval());
    }

    void classification_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("socketError");
        QTest::addColumn<int>("condition");
        QTest::addColumn<int>("loginCode");
        QTest::addColumn<int>("disconnect");
        QTest::newRow("refused") << int(QXmppClient::SocketError)
                                 << int(QAbstractSocket::ConnectionRefusedError)
                                 << int(QXmppStanza::Error::UndefinedCondition) << 4 << 0;
        QTest::newRow("tls") << int(QXmppClient::SocketError) << int(QAbstractSocket::SslHandshakeFailedError)
                             << int(QXmppStanza::Error::UndefinedCondition) << 2 << 0;
        QTest::newRow("not authorized")
            << int(QXmppClient::XmppStreamError) << int(QAbstractSocket::UnknownSocketError)
            << int(QXmppStanza::Error::NotAuthorized) << 6 << 2;
        QTest::newRow("conflict") << int(QXmppClient::XmppStreamError)
                                  << int(QAbstractSocket::UnknownSocketError)
                                  << int(QXmppStanza::Error::Conflict) << 1 << 1;
        QTest::newRow("keep-alive") << int(QXmppClient::KeepAliveError)
                                    << int(QAbstractSocket::UnknownSocketError)
                                    << int(QXmppStanza::Error::UndefinedCondition) << 4 << 0;
    }

    void classification()
    {
        QFETCH(int, error);
        QFETCH(int, socketError);
        QFETCH(int, condition);
        QFETCH(int, loginCode);
        QFETCH(int, disconnect);
        const auto e = QXmppClient::Error(error);
        const auto c = QXmppStanza::Error::Condition(condition);
        QCOMPARE(int(engine::XmppSession::loginErrorCode(e, QAbstractSocket::SocketError(socketError), c)),
            loginCode);
        QCOMPARE(int(engine::XmppSession::disconnectReason(e, c)), disconnect);
    }
};

QTEST_GUILESS_MAIN(tst_XmppSession)
#include "tst_xmppsession.moc"
