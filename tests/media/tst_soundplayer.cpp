#include <QtTest>

#include <QTemporaryDir>

#include <cmath>

#include "soundplayer.h"
#include "wavwriter.h"

using engine::SoundPlayer;
using engine::WavWriter;

class TestSoundPlayer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void playsToTheEndOnce();
    void loopsUntilStopped();
    void stopEmitsNothing();
    void missingFileIsRefused();
    void brokenFileEndsWithFinished();
    void playReplacesThePreviousFile();

private:
    QString writeTone(const QString &name, int ms);
    SoundPlayer *makePlayer();
    QTemporaryDir m_dir;
};

void TestSoundPlayer::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

QString TestSoundPlayer::writeTone(const QString &name, int ms)
{
    const QString path = m_dir.filePath(name);
    WavWriter w;
    if (!w.open(path.toStdString(), 16000, 1))
        return QString();
    QVector<qint16> samples(16 * ms);
    for (int i = 0; i < samples.size(); ++i)
        samples[i] = qint16(16000 * std::sin(2 * M_PI * 800 * i / 16000.0));
    w.write(samples.constData(), size_t(samples.size()) * 2);
    w.close();
    return path;
}

SoundPlayer *TestSoundPlayer::makePlayer()
{
    auto *p = new SoundPlayer(nullptr, this);
    p->setSinkOverride("fakesink sync=true");
    return p;
}

void TestSoundPlayer::playsToTheEndOnce()
{
    const QString tone = writeTone("once.wav", 300);
    QCOMPARE(SoundPlayer::wavDurationMs(tone), 300);
    SoundPlayer *p = makePlayer();
    QSignalSpy finished(p, &SoundPlayer::finished);
    QSignalSpy level(p, &SoundPlayer::outputLevelChanged);
    QVERIFY(p->play(tone));
    QVERIFY(p->isPlaying());
    QVERIFY(!p->isLooping());
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QVERIFY(!p->isPlaying());
    QCOMPARE(p->outputLevel(), -1.0);
    QVERIFY(!level.isEmpty());
    double loudest = 0;
    for (const auto &args : level)
        loudest = qMax(loudest, args.first().toDouble());
    QVERIFY2(loudest > 0.3 && loudest <= 1.0, qPrintable(QString::number(loudest)));
    QTest::qWait(300);
    QCOMPARE(finished.size(), 1);
}

void TestSoundPlayer::loopsUntilStopped()
{
    const QString tone = writeTone("loop.wav", 150);
    SoundPlayer *p = makePlayer();
    QSignalSpy finished(p, &SoundPlayer::finished);
    QVERIFY(p->play(tone, true));
    QVERIFY(p->isLooping());
    QTest::qWait(800); // several rounds of a 150 ms file
    QVERIFY(p->isPlaying());
    QCOMPARE(finished.size(), 0);
    p->stop();
    QVERIFY(!p->isPlaying());
    QTest::qWait(200);
    QCOMPARE(finished.size(), 0);
}

void TestSoundPlayer::stopEmitsNothing()
{
    SoundPlayer *p = makePlayer();
    QSignalSpy finished(p, &SoundPlayer::finished);
    QVERIFY(p->play(writeTone("stop.wav", 2000)));
    QTest::qWait(100);
    p->stop();
    p->stop();
    QTest::qWait(200);
    QCOMPARE(finished.size(), 0);
}

void TestSoundPlayer::missingFileIsRefused()
{
    SoundPlayer *p = makePlayer();
    QVERIFY(!p->play(m_dir.filePath("nothing-here.wav")));
    QVERIFY(!p->play(m_dir.path())); // a folder
    QVERIFY(!p->isPlaying());
}

void TestSoundPlayer::brokenFileEndsWithFinished()
{
    const QString path = m_dir.filePath("broken.wav");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("RIFF????WAVEjunkjunkjunkjunkjunkjunkjunk");
    f.close();
    SoundPlayer *p = makePlayer();
    QSignalSpy finished(p, &SoundPlayer::finished);
    if (!p->play(path))
        return; // refused at once: also fine, nobody waits
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QVERIFY(!p->isPlaying());
}

void TestSoundPlayer::playReplacesThePreviousFile()
{
    SoundPlayer *p = makePlayer();
    QSignalSpy finished(p, &SoundPlayer::finished);
    QVERIFY(p->play(writeTone("long.wav", 5000), true));
    QVERIFY(p->play(writeTone("short.wav", 200)));
    QVERIFY(!p->isLooping());
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
}

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
