#include <QtTest>

#include "jinglesdp.h"

using engine::CodecChoice;
using engine::JingleSdp;

Q_DECLARE_METATYPE(QList<QXmppJinglePayloadType>)

namespace {

QXmppJinglePayloadType payload(
    int id, const QString &name, unsigned clock, int channels = 1, const QMap<QString, QString> &params = {})
{
    QXmppJinglePayloadType p;
    p.setId(quint8(id));
    p.setName(name);
    p.setClockrate(clock);
    p.setChannels(quint8(channels));
    p.setParameters(params);
    return p;
}

QXmppJingleCandidate hostCandidate(const QString &ip, quint16 port)
{
    QXmppJingleCandidate c;
    c.setFoundation(QStringLiteral("1"));
    c.setComponent(1);
    c.setProtocol(QStringLiteral("udp"));
    c.setPriority(2015364095);
    c.setHost(QHostAddress(ip));
    c.setPort(port);
    c.setType(QXmppJingleCandidate::HostType);
    c.setId(QStringLiteral("c1"));
    return c;
}

const QByteArray kDigest
    = QByteArray::fromHex("9174"
                          "76C29AA64E3730FCF8A50A75C71A1785584B9FE92123C6E08979C665338B");

// What webrtcbin writes for an offer (trimmed), with a TCP candidate added.
const char *kWebrtcOffer
    = "v=0\r\n"
      "o=- 7396160030870367988 0 IN IP4 0.0.0.0\r\n"
      "s=-\r\n"
      "t=0 0\r\n"
      "a=ice-options:trickle\r\n"
      "a=group:BUNDLE audio0\r\n"
      "m=audio 9 UDP/TLS/RTP/SAVPF 111 0 101\r\n"
      "c=IN IP4 0.0.0.0\r\n"
      "a=setup:actpass\r\n"
      "a=ice-ufrag:PGOYguG1oUBJluCzlMxUv321q1DhPZQb\r\n"
      "a=ice-pwd:nXRW61ftD/z6XrLCSf/A8vptghvDSbBY\r\n"
      "a=rtcp-mux\r\n"
      "a=sendrecv\r\n"
      "a=rtpmap:111 OPUS/48000/2\r\n"
      "a=fmtp:111 useinbandfec=1; minptime=10\r\n"
      "a=rtcp-fb:111 transport-cc\r\n"
      "a=rtpmap:0 PCMU/8000\r\n"
      "a=rtpmap:101 TELEPHONE-EVENT/48000\r\n"
      "a=fmtp:101 0-15\r\n"
      "a=mid:audio0\r\n"
      "a=candidate:1 1 UDP 2015364095 127.0.0.1 51667 typ host\r\n"
      "a=candidate:2 1 TCP 1015023871 127.0.0.1 9 typ host tcptype active\r\n"
      "a=candidate:3 1 UDP 2015364351 ::1 47830 typ host\r\n"
      "a=fingerprint:sha-256 91:74:76:C2:9A:A6:4E:37:30:FC:F8:A5:0A:75:C7:1A:17:85:58:4B:9F:E9:21:"
      "23:C6:E0:89:79:C6:65:33:8B\r\n";

} // namespace

class TestJingleSdp : public QObject
{
    Q_OBJECT
private slots:
    void candidateFromSdp_data();
    void candidateFromSdp();
    void candidateRoundTrip_data();
    void candidateRoundTrip();
    void chooseCodec_data();
    void chooseCodec();
    void fromWebrtcOffer();
    void sessionLevelTransportAttributes();
    void fromSdpRejects_data();
    void fromSdpRejects();
    void toSdpLines_data();
    void toSdpLines();
    void toSdpKeepsOnlyChosenPayloads();
    void toSdpWithoutFingerprintHasNoSetup();
    void contentRoundTrip();
    void withTelephoneEvent();
    void withTelephoneEventIsIdempotent();
    void withTelephoneEventStaysInAudioSection();
    void fingerprintText();
};

void TestJingleSdp::candidateFromSdp_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("generation");

    QTest::newRow("ipv4 host") << "candidate:1 1 UDP 2015364095 127.0.0.1 51667 typ host" << true
                               << "127.0.0.1" << 51667 << int(QXmppJingleCandidate::HostType) << 0;
    QTest::newRow("with a= prefix") << "a=candidate:1 1 UDP 2015364095 127.0.0.1 51667 typ host" << true
                                    << "127.0.0.1" << 51667 << int(QXmppJingleCandidate::HostType) << 0;
    QTest::newRow("ipv6 host") << "candidate:2 1 UDP 2015364351 ::1 47830 typ host generation 1" << true
                               << "::1" << 47830 << int(QXmppJingleCandidate::HostType) << 1;
    QTest::newRow("srflx with raddr")
        << "candidate:3 1 udp 1677729535 203.0.113.7 61000 typ srflx raddr "
           "192.168.1.2 rport 61000 generation 0"
        << true << "203.0.113.7" << 61000 << int(QXmppJingleCandidate::ServerReflexiveType) << 0;
    QTest::newRow("relay") << "candidate:4 1 UDP 16777215 198.51.100.1 3478 typ relay" << true
                           << "198.51.100.1" << 3478 << int(QXmppJingleCandidate::RelayedType) << 0;
    QTest::newRow("no typ") << "candidate:1 1 UDP 2015364095 127.0.0.1 51667 host" << false << "" << 0 << 0
                            << 0;
    QTest::newRow("unknown type") << "candidate:1 1 UDP 1 127.0.0.1 5 typ magic" << false << "" << 0 << 0
                                  << 0;
    QTest::newRow("port zero") << "candidate:1 1 UDP 1 127.0.0.1 0 typ host" << false << "" << 0 << 0 << 0;
    QTest::newRow("port too big") << "candidate:1 1 UDP 1 127.0.0.1 70000 typ host" << false << "" << 0 << 0
                                  << 0;
    QTest::newRow("bad address") << "candidate:1 1 UDP 1 300.1.1.1 5000 typ host" << false << "" << 0 << 0
                                 << 0;
    QTest::newRow("bad component") << "candidate:1 x UDP 1 127.0.0.1 5000 typ host" << false << "" << 0 << 0
                                   << 0;
    QTest::newRow("truncated") << "candidate:1 1 UDP" << false << "" << 0 << 0 << 0;
    QTest::newRow("not a candidate") << "a=mid:audio0" << false << "" << 0 << 0 << 0;
    QTest::newRow("empty") << "" << false << "" << 0 << 0 << 0;
}

void TestJingleSdp::candidateFromSdp()
{
    QFETCH(QString, line);
    QFETCH(bool, ok);
    bool parsed = !ok;
    const QXmppJingleCandidate c = JingleSdp::candidateFromSdp(line, &parsed);
    QCOMPARE(parsed, ok);
    if (!ok)
        return;
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(int, type);
    QFETCH(int, generation);
    QCOMPARE(c.host(), QHostAddress(host));
    QCOMPARE(int(c.port()), port);
    QCOMPARE(int(c.type()), type);
    QCOMPARE(c.generation(), generation);
    QCOMPARE(c.component(), 1);
    QCOMPARE(c.protocol(), QStringLiteral("udp"));
    QVERIFY(!c.id().isEmpty());
}

void TestJingleSdp::candidateRoundTrip_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("port");
    QTest::newRow("loopback v4") << "127.0.0.1" << 40000;
    QTest::newRow("loopback v6") << "::1" << 40001;
    QTest::newRow("lowest port") << "10.0.0.1" << 1;
    QTest::newRow("highest port") << "10.0.0.1" << 65535;
}

void TestJingleSdp::candidateRoundTrip()
{
    QFETCH(QString, ip);
    QFETCH(int, port);
    const auto in = hostCandidate(ip, quint16(port));
    bool ok = false;
    const auto out = JingleSdp::candidateFromSdp(JingleSdp::candidateToSdp(in), &ok);
    QVERIFY(ok);
    QCOMPARE(out.host(), in.host());
    QCOMPARE(out.port(), in.port());
    QCOMPARE(out.priority(), in.priority());
    QCOMPARE(out.foundation(), in.foundation());
    QCOMPARE(out.type(), in.type());
}

void TestJingleSdp::chooseCodec_data()
{
    QTest::addColumn<QList<QXmppJinglePayloadType>>("payloads");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pt");
    QTest::addColumn<int>("clock");
    QTest::addColumn<int>("dtmfPt");

    const auto opus96 = payload(96, "opus", 48000, 2);
    const auto pcmu = payload(0, "PCMU", 8000);
    const auto te48 = payload(101, "telephone-event", 48000);
    const auto te8 = payload(126, "telephone-event", 8000);

    QTest::newRow("opus first, remote id adopted")
        << QList<QXmppJinglePayloadType> { opus96, pcmu, te48 } << "opus" << 96 << 48000 << 101;
    QTest::newRow("opus preferred even when listed last")
        << QList<QXmppJinglePayloadType> { pcmu, te8, opus96 } << "opus" << 96 << 48000 << -1;
    QTest::newRow("names without case") << QList<QXmppJinglePayloadType> { payload(109, "OPUS", 48000, 2),
        payload(110, "Telephone-Event", 48000) }
                                        << "OPUS" << 109 << 48000 << 110;
    QTest::newRow("pcmu fallback") << QList<QXmppJinglePayloadType> { payload(8, "PCMA", 8000), pcmu, te8 }
                                   << "PCMU" << 0 << 8000 << 126;
    QTest::newRow("pcmu lower case") << QList<QXmppJinglePayloadType> { payload(0, "pcmu", 8000) } << "pcmu"
                                     << 0 << 8000 << -1;
    QTest::newRow("events only at the other rate")
        << QList<QXmppJinglePayloadType> { pcmu, te48 } << "PCMU" << 0 << 8000 << -1;
    QTest::newRow("opus at a wrong clock rate")
        << QList<QXmppJinglePayloadType> { payload(97, "opus", 16000), pcmu } << "PCMU" << 0 << 8000 << -1;
    QTest::newRow("nothing common") << QList<QXmppJinglePayloadType> { payload(9, "G722", 8000), te8 } << ""
                                    << -1 << 0 << -1;
    QTest::newRow("empty") << QList<QXmppJinglePayloadType> {} << "" << -1 << 0 << -1;
}

void TestJingleSdp::chooseCodec()
{
    QFETCH(QList<QXmppJinglePayloadType>, payloads);
    QFETCH(QString, name);
    QFETCH(int, pt);
    QFETCH(int, clock);
    QFETCH(int, dtmfPt);
    const CodecChoice c = JingleSdp::chooseCodec(payloads);
    QCOMPARE(c.isValid(), pt >= 0);
    QCOMPARE(c.name, name);
    QCOMPARE(c.payloadType, pt);
    QCOMPARE(c.clockRate, clock);
    QCOMPARE(c.dtmfPayloadType, dtmfPt);
}

void TestJingleSdp::fromWebrtcOffer()
{
    bool ok = false;
    const auto content = JingleSdp::fromSdp(QString::fromLatin1(kWebrtcOffer), &ok);
    QVERIFY(ok);
    QCOMPARE(content.name(), QStringLiteral("audio0"));
    QCOMPARE(content.descriptionMedia(), QStringLiteral("audio"));
    QCOMPARE(content.senders(), QStringLiteral("both"));
    const auto payloads = content.payloadTypes();
    QCOMPARE(payloads.size(), 3);
    QCOMPARE(int(payloads[0].id()), 111);
    QCOMPARE(payloads[0].name(), QStringLiteral("OPUS"));
    QCOMPARE(payloads[0].clockrate(), 48000u);
    QCOMPARE(int(payloads[0].channels()), 2);
    QCOMPARE(payloads[0].parameters().value("useinbandfec"), QStringLiteral("1"));
    QCOMPARE(payloads[0].parameters().value("minptime"), QStringLiteral("10"));
    QCOMPARE(int(payloads[1].id()), 0);
    QCOMPARE(payloads[1].name(), QStringLiteral("PCMU"));
    QCOMPARE(int(payloads[2].id()), 101);
    QCOMPARE(payloads[2].parameters().value("events"), QStringLiteral("0-15"));
    QCOMPARE(content.transportUser(), QStringLiteral("PGOYguG1oUBJluCzlMxUv321q1DhPZQb"));
    QCOMPARE(content.transportPassword(), QStringLiteral("nXRW61ftD/z6XrLCSf/A8vptghvDSbBY"));
    QCOMPARE(content.transportFingerprint(), kDigest);
    QCOMPARE(content.transportFingerprintHash(), QStringLiteral("sha-256"));
    QCOMPARE(content.transportFingerprintSetup(), QStringLiteral("actpass"));
    // The TCP candidate cannot travel in ICE-UDP and is left out.
    const auto candidates = content.transportCandidates();
    QCOMPARE(candidates.size(), 2);
    QCOMPARE(candidates[0].host(), QHostAddress("127.0.0.1"));
    QCOMPARE(candidates[1].host(), QHostAddress("::1"));
}

void TestJingleSdp::sessionLevelTransportAttributes()
{
    const QString sdp = "v=0\r\no=- 1 0 IN IP4 0.0.0.0\r\ns=-\r\nt=0 0\r\n"
                        "a=ice-ufrag:sess\r\na=ice-pwd:sesspwd\r\n"
                        "a=fingerprint:SHA-1 AA:BB\r\na=setup:passive\r\n"
                        "m=audio 9 UDP/TLS/RTP/SAVPF 0\r\na=ice-ufrag:media\r\n";
    bool ok = false;
    const auto content = JingleSdp::fromSdp(sdp, &ok);
    QVERIFY(ok);
    QCOMPARE(content.transportUser(), QStringLiteral("media")); // media level wins
    QCOMPARE(content.transportPassword(), QStringLiteral("sesspwd"));
    QCOMPARE(content.transportFingerprint(), QByteArray::fromHex("AABB"));
    QCOMPARE(content.transportFingerprintHash(), QStringLiteral("sha-1"));
    QCOMPARE(content.transportFingerprintSetup(), QStringLiteral("passive"));
    QCOMPARE(content.payloadTypes().value(0).name(), QStringLiteral("PCMU")); // static type, no rtpmap
}

void TestJingleSdp::fromSdpRejects_data()
{
    QTest::addColumn<QString>("sdp");
    QTest::newRow("no audio section") << "v=0\r\nm=video 9 UDP/TLS/RTP/SAVPF 96\r\na=rtpmap:96 VP8/90000\r\n";
    QTest::newRow("dynamic type without rtpmap") << "v=0\r\nm=audio 9 UDP/TLS/RTP/SAVPF 96\r\n";
    QTest::newRow("rtpmap for an unlisted type")
        << "v=0\r\nm=audio 9 UDP/TLS/RTP/SAVPF 0\r\na=rtpmap:96 x/8000\r\n";
    QTest::newRow("format not a number") << "v=0\r\nm=audio 9 UDP/TLS/RTP/SAVPF abc\r\n";
    QTest::newRow("empty") << "";
}

void TestJingleSdp::fromSdpRejects()
{
    QFETCH(QString, sdp);
    bool ok = true;
    JingleSdp::fromSdp(sdp, &ok);
    QVERIFY(!ok);
}

void TestJingleSdp::toSdpLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("bundle") << "a=group:BUNDLE voice";
    QTest::newRow("m line") << "m=audio 9 UDP/TLS/RTP/SAVPF 96 0 101";
    QTest::newRow("mid") << "a=mid:voice";
    QTest::newRow("rtcp-mux") << "a=rtcp-mux";
    QTest::newRow("direction") << "a=sendrecv";
    QTest::newRow("opus rtpmap") << "a=rtpmap:96 opus/48000/2";
    QTest::newRow("opus fmtp") << "a=fmtp:96 minptime=10;useinbandfec=1";
    QTest::newRow("pcmu rtpmap, no channels") << "a=rtpmap:0 PCMU/8000";
    QTest::newRow("events rtpmap") << "a=rtpmap:101 telephone-event/48000";
    QTest::newRow("events fmtp, bare value") << "a=fmtp:101 0-15";
    QTest::newRow("ufrag") << "a=ice-ufrag:uf";
    QTest::newRow("pwd") << "a=ice-pwd:pw";
    QTest::newRow("fingerprint") << "a=fingerprint:sha-256 " + JingleSdp::formatFingerprint(kDigest);
    QTest::newRow("setup") << "a=setup:actpass";
    QTest::newRow("ptime") << "a=ptime:20";
    QTest::newRow("candidate v4") << "a=candidate:1 1 UDP 2015364095 127.0.0.1 5000 typ host generation 0";
    QTest::newRow("candidate v6") << "a=candidate:1 1 UDP 2015364095 ::1 5002 typ host generation 0";
}

static QXmppJingleIq::Content sampleContent()
{
    QXmppJingleIq::Content content;
    content.setName(QStringLiteral("voice"));
    content.setCreator(QStringLiteral("initiator"));
    content.setSenders(QStringLiteral("both"));
    content.setDescriptionMedia(QStringLiteral("audio"));
    auto opus = payload(96, "opus", 48000, 2, { { "useinbandfec", "1" }, { "minptime", "10" } });
    opus.setPtime(20);
    content.addPayloadType(opus);
    content.addPayloadType(payload(0, "PCMU", 8000));
    content.addPayloadType(payload(101, "telephone-event", 48000, 1, { { "events", "0-15" } }));
    content.setTransportUser(QStringLiteral("uf"));
    content.setTransportPassword(QStringLiteral("pw"));
    content.setTransportFingerprint(kDigest);
    content.setTransportFingerprintHash(QStringLiteral("sha-256"));
    content.setTransportFingerprintSetup(QStringLiteral("actpass"));
    content.addTransportCandidate(hostCandidate("127.0.0.1", 5000));
    content.addTransportCandidate(hostCandidate("::1", 5002));
    return content;
}

void TestJingleSdp::toSdpLines()
{
    QFETCH(QString, line);
    const QStringList lines = JingleSdp::toSdp(sampleContent()).split("\r\n");
    QVERIFY2(lines.contains(line), qPrintable(lines.join('\n')));
}

void TestJingleSdp::toSdpKeepsOnlyChosenPayloads()
{
    const QString sdp = JingleSdp::toSdp(sampleContent(), { 0, 101 });
    QVERIFY(sdp.contains("m=audio 9 UDP/TLS/RTP/SAVPF 0 101\r\n"));
    QVERIFY(!sdp.contains("opus"));
    QVERIFY(sdp.contains("a=rtpmap:101 telephone-event/48000"));
}

void TestJingleSdp::toSdpWithoutFingerprintHasNoSetup()
{
    auto content = sampleContent();
    content.setTransportFingerprint(QByteArray());
    const QString sdp = JingleSdp::toSdp(content);
    QVERIFY(!sdp.contains("a=fingerprint"));
    QVERIFY(!sdp.contains("a=setup"));
}

void TestJingleSdp::contentRoundTrip()
{
    const auto in = sampleContent();
    bool ok = false;
    const auto out = JingleSdp::fromSdp(JingleSdp::toSdp(in), &ok);
    QVERIFY(ok);
    QCOMPARE(out.name(), in.name());
    QCOMPARE(out.payloadTypes().size(), in.payloadTypes().size());
    for (int i = 0; i < in.payloadTypes().size(); ++i) {
        const auto a = in.payloadTypes()[i];
        const auto b = out.payloadTypes()[i];
        QCOMPARE(b.id(), a.id());
        QCOMPARE(b.name(), a.name());
        QCOMPARE(b.clockrate(), a.clockrate());
        QCOMPARE(b.parameters(), a.parameters());
    }
    QCOMPARE(out.transportUser(), in.transportUser());
    QCOMPARE(out.transportPassword(), in.transportPassword());
    QCOMPARE(out.transportFingerprint(), in.transportFingerprint());
    QCOMPARE(out.transportFingerprintSetup(), in.transportFingerprintSetup());
    QCOMPARE(out.transportCandidates().size(), 2);
    QCOMPARE(out.transportCandidates()[1].host(), QHostAddress("::1"));
}

void TestJingleSdp::withTelephoneEvent()
{
    const QString sdp = "v=0\r\nm=audio 9 UDP/TLS/RTP/SAVPF 111\r\na=rtpmap:111 OPUS/48000/2\r\n";
    const QString out = JingleSdp::withTelephoneEvent(sdp, 101, 48000);
    QVERIFY(out.contains("m=audio 9 UDP/TLS/RTP/SAVPF 111 101\r\n"));
    QVERIFY(out.contains("a=rtpmap:101 telephone-event/48000\r\n"));
    QVERIFY(out.contains("a=fmtp:101 0-15\r\n"));
    bool ok = false;
    const auto content = JingleSdp::fromSdp(out, &ok);
    QVERIFY(ok);
    QCOMPARE(JingleSdp::chooseCodec(content.payloadTypes()).dtmfPayloadType, 101);
}

void TestJingleSdp::withTelephoneEventIsIdempotent()
{
    const QString sdp = "v=0\r\nm=audio 9 UDP/TLS/RTP/SAVPF 0 100\r\na=rtpmap:100 telephone-event/8000\r\n";
    QCOMPARE(JingleSdp::withTelephoneEvent(sdp, 100, 8000), sdp);
    const QString once = JingleSdp::withTelephoneEvent(sdp, 101, 48000);
    QCOMPARE(JingleSdp::withTelephoneEvent(once, 101, 48000), once);
    QCOMPARE(once.count("a=rtpmap:101"), 1);
}

void TestJingleSdp::withTelephoneEventStaysInAudioSection()
{
    const QString sdp
        = "v=0\r\nm=audio 9 UDP/TLS/RTP/SAVPF 0\r\na=mid:a\r\nm=video 9 UDP/TLS/RTP/SAVPF 96\r\n"
          "a=rtpmap:96 VP8/90000\r\n";
    const QString out = JingleSdp::withTelephoneEvent(sdp, 101, 8000);
    QVERIFY(out.indexOf("a=rtpmap:101") < out.indexOf("m=video"));
    QVERIFY(out.contains("m=video 9 UDP/TLS/RTP/SAVPF 96\r\n"));
    QCOMPARE(JingleSdp::withTelephoneEvent("v=0\r\n", 101, 8000), QStringLiteral("v=0\r\n"));
}

void TestJingleSdp::fingerprintText()
{
    QCOMPARE(JingleSdp::formatFingerprint(QByteArray::fromHex("0aff10")), QStringLiteral("0A:FF:10"));
    QCOMPARE(JingleSdp::parseFingerprint(" 0a:ff:10 "), QByteArray::fromHex("0aff10"));
    QCOMPARE(JingleSdp::formatFingerprint(QByteArray()), QString());
}

QTEST_GUILESS_MAIN(TestJingleSdp)
#include "tst_jinglesdp.moc"
