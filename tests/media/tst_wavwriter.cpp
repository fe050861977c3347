#include <QtTest>

#include <QTemporaryDir>

#include "soundplayer.h"
#include "wavwriter.h"

using engine::SoundPlayer;
using engine::WavWriter;

class TestWavWriter : public QObject
{
    Q_OBJECT
private slots:
    void header_data();
    void header();
    void writesSamplesAndPatchesSizes();
    void unwritableFileFails();
    void writeWhenClosedFails();
    void durationOfWrittenFile();
    void durationOfNonWav_data();
    void durationOfNonWav();

private:
    QTemporaryDir m_dir;
};

void TestWavWriter::header_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<quint32>("bytes");
    QTest::newRow("48k mono empty") << 48000 << 1 << 0u;
    QTest::newRow("8k mono") << 8000 << 1 << 16000u;
    QTest::newRow("44.1k stereo") << 44100 << 2 << 176400u;
}

void TestWavWriter::header()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(quint32, bytes);
    const std::string h = WavWriter::header(rate, channels, bytes);
    QCOMPARE(int(h.size()), 44);
    const QByteArray b = QByteArray::fromStdString(h);
    QCOMPARE(b.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(b.constData() + 4), 36 + bytes);
    QCOMPARE(b.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(int(qFromLittleEndian<quint16>(b.constData() + 22)), channels);
    QCOMPARE(int(qFromLittleEndian<quint32>(b.constData() + 24)), rate);
    QCOMPARE(int(qFromLittleEndian<quint32>(b.constData() + 28)), rate * channels * 2);
    QCOMPARE(int(qFromLittleEndian<quint16>(b.constData() + 34)), 16);
    QCOMPARE(qFromLittleEndian<quint32>(b.constData() + 40), bytes);
}

void TestWavWriter::writesSamplesAndPatchesSizes()
{
    const QString path = m_dir.filePath("a.wav");
    WavWriter w;
    QVERIFY(w.open(path.toStdString(), 48000, 1));
    const qint16 samples[4] = { 0, 1000, -1000, 32767 };
    QVERIFY(w.write(samples, sizeof samples));
    QVERIFY(w.write(samples, sizeof samples));
    QCOMPARE(w.dataBytes(), 16u);
    QVERIFY(w.close());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    QCOMPARE(all.size(), 44 + 16);
    QCOMPARE(qFromLittleEndian<quint32>(all.constData() + 40), 16u);
    QCOMPARE(qFromLittleEndian<qint16>(all.constData() + 44 + 6), qint16(32767));
}

void TestWavWriter::unwritableFileFails()
{
    WavWriter w;
    QVERIFY(!w.open(m_dir.filePath("no/such/folder/a.wav").toStdString(), 48000, 1));
    QVERIFY(!w.isOpen());
    QVERIFY(!w.open(m_dir.filePath("b.wav").toStdString(), 0, 1));
}

void TestWavWriter::writeWhenClosedFails()
{
    WavWriter w;
    const char data[2] = { 1, 2 };
    QVERIFY(!w.write(data, 2));
    QVERIFY(!w.close());
}

void TestWavWriter::durationOfWrittenFile()
{
    const QString path = m_dir.filePath("second.wav");
    WavWriter w;
    QVERIFY(w.open(path.toStdString(), 8000, 1));
    QByteArray silence(16000, '\0');
    QVERIFY(w.write(silence.constData(), size_t(silence.size())));
    QVERIFY(w.close());
    QCOMPARE(SoundPlayer::wavDurationMs(path), 1000);
}

void TestWavWriter::durationOfNonWav_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("hello world, not a wave file at all");
    QTest::newRow("riff without data") << QByteArray::fromStdString(WavWriter::header(8000, 1, 0)).left(36);
    QByteArray compressed = QByteArray::fromStdString(WavWriter::header(8000, 1, 0));
    compressed[20] = 3; // format tag other than PCM
    QTest::newRow("not pcm") << compressed;
}

void TestWavWriter::durationOfNonWav()
{
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath("x.wav");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();
    QCOMPARE(SoundPlayer::wavDurationMs(path), -1);
    QCOMPARE(SoundPlayer::wavDurationMs(m_dir.filePath("missing.wav")), -1);
}

QTEST_GUILESS_MAIN(TestWavWriter)
#include "tst_wavwriter.moc"
