// GStreamer's headers come first: gio names a struct member "signals", which Qt defines as a macro.
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <QtTest>

#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

#include "enginerig.h"
#include "pcapreader.h"

using enginerig::CallRecord;
using enginerig::Rig;

// What a call's media looks like on the wire: a call to the echo number is captured on the
// loopback interface while the microphone sends digital silence. Only a DTLS handshake and
// encrypted, authenticated RTP may be seen on the call's path, in both directions.
namespace {

constexpr int kOpusPt = 111;

// The RTP header's length (fixed part, CSRCs, extension); -1 when the packet is shorter.
int rtpHeaderLength(const QByteArray &p)
{
    if (p.size() < 12)
        return -1;
    int len = 12 + 4 * (quint8(p[0]) & 0x0f);
    if (quint8(p[0]) & 0x10) {
        if (p.size() < len + 4)
            return -1;
        len += 4 + 4 * qFromBigEndian<quint16>(p.constData() + len + 2);
    }
    return len <= p.size() ? len : -1;
}

bool isDtls(const QByteArray &p)
{
    return p.size() >= 13 && quint8(p[0]) >= 20 && quint8(p[0]) <= 63;
}

bool isRtp(const QByteArray &p)
{
    // RTCP shares the port (rtcp-mux) and takes the second byte's values 192..223.
    return p.size() >= 12 && (quint8(p[0]) >> 6) == 2 && !(quint8(p[1]) >= 192 && quint8(p[1]) <= 223);
}

int mostCommon(const QList<int> &values, int *count = nullptr)
{
    QHash<int, int> histogram;
    for (int v : values)
        ++histogram[v];
    int best = -1, bestCount = 0;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    if (count)
        *count = bestCount;
    return best;
}

// What the engine's send branch makes of digital silence, before any encryption: the Opus
// payloads of plain RTP packets.
QList<QByteArray> plainSilencePayloads()
{
    gst_init(nullptr, nullptr);
    GError *error = nullptr;
    GstElement *pipeline = gst_parse_launch(
        "audiotestsrc wave=silence num-buffers=150 samplesperbuffer=960 ! audioconvert ! audioresample ! "
        "audio/x-raw,format=S16LE,rate=48000,channels=1 ! opusenc frame-size=20 bitrate=32000 ! "
        "rtpopuspay pt=111 ! appsink name=out sync=false",
        &error);
    if (!pipeline) {
        qWarning() << "reference encoder:" << (error ? error->message : "");
        g_clear_error(&error);
        return {};
    }
    GstElement *sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    QList<QByteArray> payloads;
    while (GstSample *sample = gst_app_sink_pull_sample(GST_APP_SINK(sink))) {
        GstBuffer *buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            const QByteArray packet(reinterpret_cast<const char *>(map.data), int(map.size));
            const int header = rtpHeaderLength(packet);
            if (header > 0)
                payloads << packet.mid(header);
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return payloads;
}

// Whether RTP payloads of digital silence travel encrypted and authenticated: "sealed ..." when
// they do, else what gives them away. plainLength is the length of a plain silence frame.
QString sealedVerdict(const QList<QByteArray> &payloads, const QList<QByteArray> &plain, int plainLength)
{
    const QSet<QByteArray> plainSet(plain.cbegin(), plain.cend());
    QList<int> lengths;
    for (const QByteArray &p : payloads) {
        if (plainSet.contains(p))
            return QStringLiteral("an RTP payload travels as plain Opus");
        for (const QByteArray &frame : plainSet) {
            if (frame.size() >= 3 && p.startsWith(frame))
                return QStringLiteral("an RTP payload starts with a plain Opus frame");
        }
        lengths << p.size();
    }
    // Plain silence repeats one frame; encrypted, every packet looks different.
    const QSet<QByteArray> distinct(payloads.cbegin(), payloads.cend());
    if (distinct.size() != payloads.size())
        return QStringLiteral("%1 of %2 payloads repeat")
            .arg(payloads.size() - distinct.size())
            .arg(payloads.size());
    int count = 0;
    const int sealedLength = mostCommon(lengths, &count);
    if (count <= payloads.size() * 9 / 10)
        return QStringLiteral("the silence packets vary in length");
    // SRTP appends an authentication tag: 10 bytes (HMAC-SHA1-80), 4 (-32) or 16 (AES-GCM).
    const int tag = sealedLength - plainLength;
    if (tag != 10 && tag != 4 && tag != 16)
        return QStringLiteral("payload %1 bytes for a %2-byte frame: no SRTP tag")
            .arg(sealedLength)
            .arg(plainLength);
    return QStringLiteral("sealed: %1 payloads, all distinct, %2 bytes = %3-byte frame + %4-byte tag")
        .arg(payloads.size())
        .arg(sealedLength)
        .arg(plainLength)
        .arg(tag);
}

quint16 portOf(const QString &address)
{
    return quint16(address.mid(address.lastIndexOf(QLatin1Char(':')) + 1).toUInt());
}

// A synthetic capture: one record per frame, for the reader's own tests.
QByteArray makePcap(quint32 link, const QList<QByteArray> &frames, bool bigEndian = false)
{
    QByteArray out;
    auto put32 = [&](quint32 v) {
        char b[4];
        if (bigEndian)
            qToBigEndian(v, b);
        else
            qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto put16 = [&](quint16 v) {
        char b[2];
        if (bigEndian)
            qToBigEndian(v, b);
        else
            qToLittleEndian(v, b);
        out.append(b, 2);
    };
    put32(0xa1b2c3d4);
    put16(2);
    put16(4);
    put32(0);
    put32(0);
    put32(65535);
    put32(link);
    for (const QByteArray &f : frames) {
        put32(1);
        put32(0);
        put32(quint32(f.size()));
        put32(quint32(f.size()));
        out += f;
    }
    return out;
}

// claimedLength < 0: the true length goes into the header.
QByteArray udp(quint16 from, quint16 to, const QByteArray &payload, int claimedLength = -1)
{
    QByteArray h(8, 0);
    qToBigEndian(from, h.data());
    qToBigEndian(to, h.data() + 2);
    qToBigEndian(quint16(claimedLength < 0 ? 8 + payload.size() : claimedLength), h.data() + 4);
    return h + payload;
}

QByteArray ipv4(const QByteArray &udpPacket, quint8 protocol = 17)
{
    QByteArray h(20, 0);
    h[0] = char(0x45);
    qToBigEndian(quint16(20 + udpPacket.size()), h.data() + 2);
    h[8] = 64;
    h[9] = char(protocol);
    qToBigEndian(quint32(0x7f000001), h.data() + 12);
    qToBigEndian(quint32(0x7f000001), h.data() + 16);
    return h + udpPacket;
}

QByteArray ipv6(const QByteArray &udpPacket)
{
    QByteArray h(40, 0);
    h[0] = char(0x60);
    qToBigEndian(quint16(udpPacket.size()), h.data() + 4);
    h[6] = 17;
    h[7] = 64;
    h[23] = 1; // ::1
    h[39] = 1;
    return h + udpPacket;
}

QByteArray ethernet(const QByteArray &ip, quint16 type)
{
    QByteArray h(14, 0);
    qToBigEndian(type, h.data() + 12);
    return h + ip;
}

QByteArray cooked(const QByteArray &ip, quint16 type)
{
    QByteArray h(16, 0);
    qToBigEndian(type, h.data() + 14);
    return h + ip;
}

} // namespace

class tst_MediaWire : public QObject
{
    Q_OBJECT
private slots:
    void pcapReader_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("datagrams");
        QTest::addColumn<QByteArray>("firstPayload");
        const QByteArray hello("hello");
        QTest::newRow("ethernet, IPv4")
            << makePcap(pcap::LinkEthernet, { ethernet(ipv4(udp(1000, 2000, hello)), 0x0800) }) << 1 << hello;
        QTest::newRow("ethernet, IPv6")
            << makePcap(pcap::LinkEthernet, { ethernet(ipv6(udp(1000, 2000, hello)), 0x86dd) }) << 1 << hello;
        QTest::newRow("cooked, IPv4")
            << makePcap(pcap::LinkLinuxSll, { cooked(ipv4(udp(1, 2, hello)), 0x0800) }) << 1 << hello;
        QTest::newRow("big-endian file")
            << makePcap(pcap::LinkEthernet, { ethernet(ipv4(udp(1, 2, hello)), 0x0800) }, true) << 1 << hello;
        QTest::newRow("TCP is skipped") << makePcap(pcap::LinkEthernet,
            { ethernet(ipv4(udp(1, 2, "tcp"), 6), 0x0800), ethernet(ipv4(udp(3, 4, hello)), 0x0800) })
                                        << 1 << hello;
        QTest::newRow("ARP is skipped")
            << makePcap(pcap::LinkEthernet, { ethernet(QByteArray(28, 0), 0x0806) }) << 0 << QByteArray();
        QByteArray cut = makePcap(pcap::LinkEthernet,
            { ethernet(ipv4(udp(1, 2, hello)), 0x0800), ethernet(ipv4(udp(1, 2, "second")), 0x0800) });
        cut.chop(3);
        QTest::newRow("last record cut short") << cut << 1 << hello;
        QTest::newRow("UDP length beyond the frame")
            << makePcap(pcap::LinkEthernet, { ethernet(ipv4(udp(1, 2, hello, 500)), 0x0800) }) << 0
            << QByteArray();
        QTest::newRow("not a capture") << QByteArray(64, 'x') << 0 << QByteArray();
        QTest::newRow("empty") << QByteArray() << 0 << QByteArray();
    }

    void pcapReader()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, datagrams);
        QFETCH(QByteArray, firstPayload);
        const QList<pcap::Datagram> all = pcap::udpDatagrams(file);
        QCOMPARE(all.size(), datagrams);
        if (datagrams > 0) {
            QCOMPARE(all.first().payload, firstPayload);
            QVERIFY(all.first().source.isLoopback());
            QVERIFY(all.first().destination.isLoopback());
        }
    }

    void callMediaIsDtlsSrtp()
    {
        if (geteuid() != 0)
            QSKIP("capturing on the loopback interface needs root (CI runs as root)");
        const QString tcpdump
            = QStandardPaths::findExecutable("tcpdump", { "/usr/sbin", "/usr/bin", "/sbin", "/bin" });
        QVERIFY2(!tcpdump.isEmpty(), "tcpdump is missing: run scripts/install-deps.sh");

        const QList<QByteArray> plain = plainSilencePayloads();
        QVERIFY2(plain.size() > 100, "the reference encoder made no packets");
        int plainCount = 0;
        const int plainLength = mostCommon(
            [&] {
                QList<int> l;
                for (const QByteArray &p : plain)
                    l << p.size();
                return l;
            }(),
            &plainCount);
        QVERIFY2(plainCount > plain.size() * 9 / 10, "silence does not encode to one frame size");

        qputenv("VESKTALK_AUDIO_SOURCE", "audiotestsrc is-live=true wave=silence");
        qputenv("VESKTALK_AUDIO_SINK", "fakesink sync=true");
        Rig rig;
        QVERIFY2(rig.start(), qPrintable(rig.error()));
        QVERIFY(rig.login() >= 0);

        QProcess capture;
        capture.start(tcpdump, { "-i", "lo", "-n", "-U", "-s", "0", "-w", "-", "udp and not port 53" });
        QVERIFY2(capture.waitForStarted(), qPrintable(capture.errorString()));
        QByteArray captureLog;
        QVERIFY2(enginerig::waitFor(
                     [&] {
                         captureLog += capture.readAllStandardError();
                         return captureLog.contains("listening on")
                             || capture.state() == QProcess::NotRunning;
                     },
                     Rig::waitMs, 20)
                && capture.state() == QProcess::Running,
            captureLog.constData());

        CallRecord *r = rig.placeCall("+15550100");
        QVERIFY(r);
        QVERIFY(rig.waitAccepted(r));
        QString local, remote;
        long long received = 0;
        // The selected pair is known once the media runs; then let a few seconds of it through.
        QVERIFY(enginerig::waitFor(
            [&] {
                if (!r->call)
                    return true;
                vesk::IList *infos = r->call->GetConnectionInfos();
                if (auto *info = vesk::ListItem<vesk::IConnectionInfo>(infos, 0)) {
                    local = QString::fromUtf8(info->GetLocalAddress());
                    remote = QString::fromUtf8(info->GetRemoteAddress());
                    received = info->GetPacketsReceived();
                }
                infos->Release();
                return !local.isEmpty() && !remote.isEmpty() && received > 50;
            },
            Rig::waitMs, 50));
        QVERIFY(r->call);
        enginerig::idle(2000);
        QVERIFY(rig.hangupAndWait(r));
        enginerig::idle(200);
        capture.terminate();
        QVERIFY(capture.waitForFinished(10000));
        const QByteArray file = capture.readAllStandardOutput();

        bool ok = false;
        const QList<pcap::Datagram> all = pcap::udpDatagrams(file, &ok);
        QVERIFY2(ok, "tcpdump wrote no pcap capture");
        const quint16 ourPort = portOf(local);
        const quint16 theirPort = portOf(remote);
        QVERIFY(ourPort && theirPort);

        int dtlsHandshakesOut = 0, dtlsHandshakesIn = 0;
        int firstDtls = -1, firstRtp = -1;
        QList<QByteArray> payloadsOut, payloadsIn;
        for (int i = 0; i < all.size(); ++i) {
            const pcap::Datagram &d = all.at(i);
            const bool out = d.sourcePort == ourPort && d.destinationPort == theirPort;
            const bool in = d.sourcePort == theirPort && d.destinationPort == ourPort;
            if (!out && !in)
                continue;
            const QByteArray &p = d.payload;
            if (isDtls(p)) {
                if (firstDtls < 0)
                    firstDtls = i;
                // A handshake record of DTLS 1.0 or 1.2.
                if (quint8(p[0]) == 22 && quint8(p[1]) == 0xfe
                    && (quint8(p[2]) == 0xff || quint8(p[2]) == 0xfd))
                    ++(out ? dtlsHandshakesOut : dtlsHandshakesIn);
            } else if (isRtp(p) && (quint8(p[1]) & 0x7f) == kOpusPt) {
                if (firstRtp < 0)
                    firstRtp = i;
                const int header = rtpHeaderLength(p);
                QVERIFY(header > 0);
                (out ? payloadsOut : payloadsIn) << p.mid(header);
            }
        }
        qInfo("call path %s <-> %s: %d DTLS handshake records out, %d in; %d RTP packets out, %d in",
            qPrintable(local), qPrintable(remote), dtlsHandshakesOut, dtlsHandshakesIn,
            int(payloadsOut.size()), int(payloadsIn.size()));
        QVERIFY2(dtlsHandshakesOut > 0 && dtlsHandshakesIn > 0, "no DTLS handshake on the call's path");
        QVERIFY2(payloadsOut.size() > 50 && payloadsIn.size() > 50, "too little media captured");
        QVERIFY2(firstDtls < firstRtp, "media flowed before the DTLS handshake");

        // The check tells plain RTP apart: the encoder's own packets fail it.
        QVERIFY(!sealedVerdict(plain, plain, plainLength).isEmpty());
        for (const QList<QByteArray> *payloads : { &payloadsOut, &payloadsIn }) {
            const QString verdict = sealedVerdict(*payloads, plain, plainLength);
            QVERIFY2(verdict.startsWith(QLatin1String("sealed")), qPrintable(verdict));
            qInfo("%s", qPrintable(verdict));
        }
    }
};

QTEST_GUILESS_MAIN(tst_MediaWire)
#include "tst_mediawire.moc"
