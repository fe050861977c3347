#include <QStandardPaths>
#include <QtTest>

#include "contactmanager.h"
#include "objfactory.h"
#include "phone/phone.h"
#include "rest/restmanager.h"
#include "serviceurls.h"
#include "settings/settings.h"
#include "talk/vesktalk.h"

// The object factory's phone controller and talk connection: created once, wired to each other.
class TstPhoneFactory : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void phoneIsCreatedOnceAndWired();
    void talkOutlivesTheFactory();
};

void TstPhoneFactory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Talkvane Phone Factory Test"));
}

void TstPhoneFactory::phoneIsCreatedOnceAndWired()
{
    ObjFactory factory;
    Phone *phone = factory.phone();
    QVERIFY(phone);
    QCOMPARE(factory.phone(), phone);
    QCOMPARE(phone->parent(), &factory);
    QVERIFY(factory.isDbLoaded());
    QCOMPARE(phone->talk(), factory.talk());
    QCOMPARE(factory.talk(), factory.talk());
    QVERIFY(!factory.talk()->parent());
    QCOMPARE(factory.talk()->voiceHost(), factory.serviceUrls().voiceHost);
    // The credentials reach the web-service manager through the phone.
    QSignalSpy user(phone, &Phone::usernameChanged);
    phone->login(QStringLiteral("someone"), QStringLiteral("pw"));
    QCOMPARE(user.size(), 1);
    QCOMPARE(phone->state(), Phone::State::AccountRequested);
    phone->logout();
    delete factory.talk();
}

void TstPhoneFactory::talkOutlivesTheFactory()
{
    QPointer<talk::VeskTalk> talk;
    {
        ObjFactory factory;
        talk = factory.talk();
        QVERIFY(talk);
    }
    QVERIFY(talk);
    delete talk.data();
}

QTEST_MAIN(TstPhoneFactory)
#include "tst_phonefactory.moc"
