#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

#include <cmath>
#include <memory>

#include "audiocheck.h"
#include "contactmanager.h"
#include "history/callhistory.h"
#include "history/callhistorymodel.h"
#include "history/history.h"
#include "localservices.h"
#include "objfactory.h"
#include "phone/phone.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "settings/settings.h"
#include "talk/mediaengine.h"
#include "talk/vesktalk.h"

// The whole sign-in and call road without a screen: the program's own services against the local web
// service, the local voice service with its telephone gateway, and a private sound server.
class TstPhoneE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void webServiceDownGivesConnectionFailed();
    void wrongPasswordGivesWrongCredentialsWithoutVoiceLogin();
    void signInBringsBalanceBookAndVirtualNumbers();
    void echoCallCarriesAudioBothWaysAndIsRecorded();
    void refusedCallsEndWithTheirReasons_data();
    void refusedCallsEndWithTheirReasons();
    void restartedVoiceServiceReconnectsByItself();

private:
    const talk::Call *dial(const QString &number);

    // Hang-up reasons of every call dialled through dial(), in order.
    QList<int> hangupReasons;
    static constexpr int waitMs = 60000;
    std::unique_ptr<LocalServices> services;
    std::unique_ptr<ObjFactory> factory;
    Phone *phone = nullptr;
};

void TstPhoneE2e::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane E2E"));
    services = std::make_unique<LocalServices>();
    QVERIFY2(services->start(), qPrintable(services->error()));

    factory = std::make_unique<ObjFactory>();
    phone = factory->phone();
    phone->setHistory(factory->history());
    QVERIFY2(factory->talk()->hasEngine(), "libvesktalk did not load");
    QCOMPARE(factory->talk()->voicePort(), services->port());
    // What the application does when the media engine appears.
    connect(phone, &Phone::mediaEngineCreated, this, [this] {
        phone->mediaEngine()->setSettings(factory->settings());
        phone->mediaEngine()->pickDefaultDevices(false);
    });
    // What the dial pad does when a call ends.
    connect(phone, &Phone::callEnded, this, [this](const talk::Call *call) {
        factory->history()->callHistory()->addEvent(Phone::remoteNumber(call),
            QTime(0, 0).addSecs(call->durationSeconds()),
            call->isIncoming() ? CallHistoryEvent::IncomingCall : CallHistoryEvent::OutgoingCall);
    });
}

void TstPhoneE2e::cleanupTestCase()
{
    if (phone)
        phone->logout();
    factory.reset();
    if (services)
        services->stop();
}

void TstPhoneE2e::cleanup()
{
    services->stopTone();
    if (phone && phone->currentCall())
        phone->hangup();
    if (phone && phone->mediaEngine())
        QTRY_VERIFY_WITH_TIMEOUT(!phone->isInCall(), waitMs);
}

void TstPhoneE2e::webServiceDownGivesConnectionFailed()
{
    const ServiceUrls working = factory->serviceUrls();
    ServiceUrls down = working;
    // A port nobody listens on: taken and released again.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const QString closed
        = QStringLiteral("https://127.0.0.1:%1/webservice-5.0/account").arg(probe.serverPort());
    probe.close();
    down.accountServiceBaseURL = closed;
    factory->restManager()->setServiceUrls(down);

    QSignalSpy failed(phone, &Phone::loginFailed);
    QSignalSpy voiceDone(factory->talk(), &talk::VeskTalk::loginCompleted);
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, waitMs);
    QCOMPARE(failed.at(0).at(0).value<Phone::LoginError>(), Phone::ConnectionFailed);
    QVERIFY(voiceDone.isEmpty());
    factory->restManager()->setServiceUrls(working);
}

void TstPhoneE2e::wrongPasswordGivesWrongCredentialsWithoutVoiceLogin()
{
    QSignalSpy failed(phone, &Phone::loginFailed);
    QSignalSpy voiceDone(factory->talk(), &talk::VeskTalk::loginCompleted);
    QSignalSpy voiceFailed(factory->talk(), &talk::VeskTalk::loginFailed);
    phone->login(QStringLiteral("demo"), QStringLiteral("not-the-password"));
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, waitMs);
    QCOMPARE(failed.at(0).at(0).value<Phone::LoginError>(), Phone::WrongCredentials);
    QVERIFY(voiceDone.isEmpty());
    QVERIFY(voiceFailed.isEmpty());
    QVERIFY(!phone->isLoggedIn());
    QCOMPARE(phone->state(), Phone::State::SignedOut);
}

void TstPhoneE2e::signInBringsBalanceBookAndVirtualNumbers()
{
    QSignalSpy succeeded(phone, &Phone::loginSuccessful);
    QSignalSpy balance(phone, &Phone::balanceUpdate);
    QSignalSpy numbers(phone, &Phone::onlineNumbersUpdate);
    QVERIFY(services->webService()->clearFaults());
    phone->login(QStringLiteral("demo"), QStringLiteral("demo"));
    QTRY_COMPARE_WITH_TIMEOUT(succeeded.size(), 1, waitMs);
    QVERIFY(phone->isLoggedIn());
    QCOMPARE(phone->talkUser(), QStringLiteral("demo@localhost"));
    QCOMPARE(phone->domain(), QStringLiteral("localhost"));
    QVERIFY(phone->mediaEngine());

    QTRY_COMPARE_WITH_TIMEOUT(balance.size(), 1, waitMs);
    const Balance b = balance.at(0).at(0).value<Balance>();
    QCOMPARE(b.credit(), 12.5);
    QCOMPARE(b.currency(), QStringLiteral("EUR"));

    ContactManager *book = factory->contactManager();
    QTRY_COMPARE_WITH_TIMEOUT(book->contactCount(), 2, waitMs);
    for (const QString &group :
        { QStringLiteral("Family"), QStringLiteral("Friends"), QStringLiteral("Work") })
        QVERIFY2(book->contactGroup(group), qPrintable(group));
    QCOMPARE(book->contactGroup(QStringLiteral("Work"))->contacts().size(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(numbers.size(), 1, waitMs);
    const auto list = numbers.at(0).at(0).value<QList<OnlineNumber>>();
    QCOMPARE(list.size(), 2);

    // Groups were asked for before contacts.
    int groupsAt = -1;
    int contactsAt = -1;
    const QJsonArray requests = services->webService()->requests();
    for (int i = 0; i < requests.size(); ++i) {
        const QString resource = requests.at(i).toObject().value(QStringLiteral("resource")).toString();
        if (groupsAt < 0 && resource == QStringLiteral("group"))
            groupsAt = i;
        if (contactsAt < 0 && resource == QStringLiteral("contact"))
            contactsAt = i;
    }
    QVERIFY2(groupsAt >= 0 && contactsAt > groupsAt,
        qPrintable(QString::fromUtf8(QJsonDocument(requests).toJson(QJsonDocument::Compact))));
}

const talk::Call *TstPhoneE2e::dial(const QString &number)
{
    // Follow the call from its creation on: a refusal may come back before the caller looks, and a call
    // refused by the server ends before its session is initiated.
    const talk::Call *dialled = nullptr;
    auto created = std::make_shared<QMetaObject::Connection>();
    *created = connect(phone->mediaEngine(), &talk::MediaEngine::callCreated, this,
        [this, created, &dialled](const talk::Call *call) {
            disconnect(*created);
            dialled = call;
            connect(call, &talk::Call::hungup, this, [this](const talk::Call *, vesk::HANGUP_REASON reason) {
                hangupReasons.append(int(reason));
            });
        });
    phone->call(number, false);
    disconnect(*created);
    return dialled;
}

void TstPhoneE2e::echoCallCarriesAudioBothWaysAndIsRecorded()
{
    QVERIFY(phone->isLoggedIn());
    QVERIFY(services->startTone(440));
    QSignalSpy ended(phone, &Phone::callEnded);
    QSignalSpy destroyed(phone, &Phone::callInstanceDestroyed);
    QSignalSpy connecting(phone, &Phone::connecting);
    const talk::Call *call = dial(QStringLiteral("+15550100"));
    QVERIFY(call);
    // Watched before the first wait: on a warm engine the echo number answers within tens of ms.
    QSignalSpy accepted(call, &talk::Call::accepted);
    QSignalSpy hungup(call, &talk::Call::hungup);
    QTRY_COMPARE_WITH_TIMEOUT(connecting.size(), 1, waitMs);
    QCOMPARE(connecting.at(0).at(0).value<const talk::Call *>(), call);
    QTRY_VERIFY_WITH_TIMEOUT(!accepted.isEmpty() || !hungup.isEmpty(), waitMs);
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(phone->currentCall(), call);
    QVERIFY(phone->isInCall());

    // What comes back is what the microphone heard: our tone went out and the echo came in.
    const QString recording = services->folder() + QStringLiteral("/echo.wav");
    QVERIFY(phone->currentCall()->startRecordingPlayout(recording));
    QTest::qWait(4000); // let some seconds of audio through; the check is on content, not on time
    QVERIFY(phone->currentCall()->stopRecordingPlayout());
    int rate = 0;
    const QVector<double> samples = audiocheck::readWav(recording, &rate);
    QVERIFY2(rate > 0 && samples.size() > rate, "nothing was played out");
    const double hz = audiocheck::dominantHz(samples, rate, 220, 880);
    QVERIFY2(std::fabs(hz - 440) <= 10, qPrintable(QStringLiteral("dominant %1 Hz").arg(hz)));
    QVERIFY(audiocheck::rms(samples.mid(samples.size() - rate)) > 0.01);

    const QList<talk::ConnectionInfo> infos = call->connectionInfos();
    QVERIFY(!infos.isEmpty());
    QVERIFY(infos.first().packetsSent > 0);
    QVERIFY(infos.first().packetsReceived > 0);

    const int rowsBefore = phone->callHistoryModel()->rowCount();
    phone->hangup();
    QTRY_COMPARE_WITH_TIMEOUT(hungup.size(), 1, waitMs);
    QCOMPARE(hungup.at(0).at(1).value<vesk::HANGUP_REASON>(), vesk::HANGUP_SUCCESS);
    QCOMPARE(ended.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(destroyed.size(), 1, waitMs);
    QVERIFY(!phone->currentCall());

    QCOMPARE(phone->callHistoryModel()->rowCount(), rowsBefore + 1);
    const QList<CallHistoryEvent> events = factory->history()->callHistory()->events();
    QVERIFY(!events.isEmpty());
    bool found = false;
    for (const CallHistoryEvent &event : events)
        found = found
            || (event.number == QStringLiteral("+15550100") && event.type == CallHistoryEvent::OutgoingCall);
    QVERIFY(found);
}

void TstPhoneE2e::refusedCallsEndWithTheirReasons_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("busy") << "+15550102" << int(vesk::HANGUP_BUSY)
                          << QByteArray(SIGNAL(callHangupIsBusy(const talk::Call *)));
    QTest::newRow("unknown") << "+15550199" << int(vesk::HANGUP_NOT_FOUND)
                             << QByteArray(SIGNAL(callHangupNotFound(const talk::Call *)));
}

void TstPhoneE2e::refusedCallsEndWithTheirReasons()
{
    QFETCH(QString, number);
    QFETCH(int, reason);
    QFETCH(QByteArray, signal);
    QVERIFY(phone->isLoggedIn());
    QSignalSpy specific(phone, signal.constData());
    QVERIFY(specific.isValid());
    QSignalSpy destroyed(phone, &Phone::callInstanceDestroyed);
    hangupReasons.clear();
    const talk::Call *call = dial(number);
    QVERIFY(call);
    QTRY_COMPARE_WITH_TIMEOUT(specific.size(), 1, waitMs);
    QCOMPARE(specific.at(0).at(0).value<const talk::Call *>(), call);
    QCOMPARE(hangupReasons, QList<int>({ reason }));
    QTRY_COMPARE_WITH_TIMEOUT(destroyed.size(), 1, waitMs);
}

void TstPhoneE2e::restartedVoiceServiceReconnectsByItself()
{
    QVERIFY(phone->isLoggedIn());
    QSignalSpy missed(phone, &Phone::connectionMissed);
    QSignalSpy error(phone, &Phone::connectionErrorOccured);
    QSignalSpy succeeded(phone, &Phone::loginSuccessful);
    QSignalSpy lost(factory->talk(), &talk::VeskTalk::connectionLost);
    QVERIFY2(services->restartVoiceService(), qPrintable(services->error()));
    QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), waitMs);
    QCOMPARE(missed.size() + error.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(succeeded.size(), 1, waitMs);
    QVERIFY(phone->isLoggedIn());
    QVERIFY(factory->talk()->reconnectCount() >= 1);
    // The book came again and is whole.
    QTRY_COMPARE_WITH_TIMEOUT(factory->contactManager()->contactCount(), 2, waitMs);
}

QTEST_GUILESS_MAIN(TstPhoneE2e)
#include "tst_phonee2e.moc"
