#include <QtTest>

#include "xmpp/xmppdump.h"

class tst_XmppDump : public QObject
{
    Q_OBJECT
private slots:
    void mask_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("auth")
            << "<auth xmlns=\"urn:ietf:params:xml:ns:xmpp-sasl\" "
               "mechanism=\"PLAIN\">AGFsaWNlAHNlY3JldA==</auth>"
            << "<auth xmlns=\"urn:ietf:params:xml:ns:xmpp-sasl\" mechanism=\"PLAIN\">********</auth>";
        QTest::newRow("response")
            << "<response xmlns=\"urn:ietf:params:xml:ns:xmpp-sasl\">Yz1iaXdzLHI9</response>"
            << "<response xmlns=\"urn:ietf:params:xml:ns:xmpp-sasl\">********</response>";
        QTest::newRow("challenge") << "<challenge xmlns='x'>cj1meWtv</challenge>"
                                   << "<challenge xmlns='x'>********</challenge>";
        QTest::newRow("success") << "<success xmlns='x'>dj1ybUY5</success>"
                                 << "<success xmlns='x'>********</success>";
        QTest::newRow("prefixed") << "<sasl:auth mechanism='PLAIN'>AAA=</sasl:auth>"
                                  << "<sasl:auth mechanism='PLAIN'>********</sasl:auth>";
        QTest::newRow("password element")
            << "<query><username>a</username><password>pw</password></query>"
            << "<query><username>a</username><password>********</password></query>";
        QTest::newRow("empty success") << "<success xmlns='x'/>"
                                       << "<success xmlns='x'/>";
        QTest::newRow("two in one") << "<auth>A</auth><response>B</response>"
                                    << "<auth>********</auth><response>********</response>";
        QTest::newRow("other stanzas untouched") << "<iq type='get'><ping xmlns='urn:xmpp:ping'/></iq>"
                                                 << "<iq type='get'><ping xmlns='urn:xmpp:ping'/></iq>";
        QTest::newRow("authorization is not auth") << "<authorization>keep</authorization>"
                                                   << "<authorization>keep</authorization>";
    }

    void mask()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(engine::XmppDump::mask(in), out);
    }
};

QTEST_GUILESS_MAIN(tst_XmppDump)
#include "tst_xmppdump.moc"
