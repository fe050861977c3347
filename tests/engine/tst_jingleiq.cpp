#include <QtTest>

#include <QDomDocument>
#include <QXmlStreamWriter>

#include "jingle/jingleiq.h"

class tst_JingleIq : public QObject
{
    Q_OBJECT
private:
    static QXmppJingleIq::Content roundTrip(const QXmppJingleIq &iq)
    {
        QByteArray xml;
        QXmlStreamWriter writer(&xml);
        engine::JingleIq(iq).toXml(&writer);
        QDomDocument doc;
        if (!doc.setContent(xml, true))
            return {};
        QXmppJingleIq parsed;
        parsed.parse(doc.documentElement());
        return parsed.contents().value(0);
    }

private slots:
    // Trickled candidates come later: the offer still needs its credentials and fingerprint.
    void transportWithoutCandidatesSurvives_data()
    {
        QTest::addColumn<bool>("withCandidate");
        QTest::newRow("no candidate") << false;
        QTest::newRow("one candidate") << true;
    }

    void transportWithoutCandidatesSurvives()
    {
        QFETCH(bool, withCandidate);
        QXmppJingleIq iq;
        iq.setAction(QXmppJingleIq::SessionInitiate);
        iq.setSid("s1");
        QXmppJingleIq::Content c;
        c.setCreator("initiator");
        c.setName("audio");
        c.setDescriptionMedia("audio");
        QXmppJinglePayloadType opus;
        opus.setId(111);
        opus.setName("opus");
        opus.setClockrate(48000);
        c.addPayloadType(opus);
        c.setTransportUser("uf");
        c.setTransportPassword("pw0123456789012345678901");
        c.setTransportFingerprintHash("sha-256");
        c.setTransportFingerprint(QByteArray::fromHex("a1b2c3"));
        c.setTransportFingerprintSetup("actpass");
        if (withCandidate) {
            QXmppJingleCandidate cand;
            cand.setComponent(1);
            cand.setFoundation("1");
            cand.setHost(QHostAddress::LocalHost);
            cand.setPort(5000);
            cand.setProtocol("udp");
            cand.setType(QXmppJingleCandidate::HostType);
            cand.setId("c1");
            c.addTransportCandidate(cand);
        }
        iq.addContent(c);
        const QXmppJingleIq::Content back = roundTrip(iq);
        QCOMPARE(back.transportUser(), QString("uf"));
        QCOMPARE(back.transportPassword(), QString("pw0123456789012345678901"));
        QCOMPARE(back.transportFingerprint(), QByteArray::fromHex("a1b2c3"));
        QCOMPARE(back.transportFingerprintHash(), QString("sha-256"));
        QCOMPARE(back.transportFingerprintSetup(), QString("actpass"));
        QCOMPARE(back.transportCandidates().size(), withCandidate ? 1 : 0);
        QCOMPARE(back.payloadTypes().size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_JingleIq)
#include "tst_jingleiq.moc"
