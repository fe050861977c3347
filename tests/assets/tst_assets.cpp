// The compiled-in look and feel: fonts, pictures, sounds and the style sheet.
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QImageReader>
#include <QLineEdit>
#include <QMovie>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>
#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

// Messages seen while a style sheet is applied; Qt reports parse failures only as warnings.
QStringList g_messages;
QtMessageHandler g_previousHandler = nullptr;

void collectMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    g_messages << message;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

struct Wav
{
    bool valid = false;
    QString error;
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 bits = 0;
    QVector<double> samples; // -1 .. 1
    int peak = 0;
};

Wav readWav(const QString &path)
{
    Wav wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        wav.error = "cannot open";
        return wav;
    }
    const QByteArray data = file.readAll();
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE") {
        wav.error = "not a RIFF/WAVE file";
        return wav;
    }
    if (qFromLittleEndian<quint32>(data.constData() + 4) != quint32(data.size() - 8)) {
        wav.error = "RIFF size does not match the file";
        return wav;
    }
    bool haveFormat = false;
    int pos = 12;
    while (pos + 8 <= data.size()) {
        const QByteArray id = data.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + pos + 4);
        const int body = pos + 8;
        if (body + qint64(size) > data.size()) {
            wav.error = "chunk runs past the end: " + QString::fromLatin1(id);
            return wav;
        }
        if (id == "fmt " && size >= 16) {
            wav.format = qFromLittleEndian<quint16>(data.constData() + body);
            wav.channels = qFromLittleEndian<quint16>(data.constData() + body + 2);
            wav.rate = qFromLittleEndian<quint32>(data.constData() + body + 4);
            wav.bits = qFromLittleEndian<quint16>(data.constData() + body + 14);
            haveFormat = true;
        } else if (id == "data" && haveFormat && wav.bits == 16) {
            const int count = int(size / 2);
            wav.samples.reserve(count);
            for (int i = 0; i < count; ++i) {
                const qint16 s = qFromLittleEndian<qint16>(data.constData() + body + 2 * i);
                wav.peak = qMax(wav.peak, qAbs(int(s)));
                wav.samples << s / 32768.0;
            }
            wav.valid = true;
        }
        pos = body + int(size) + int(size & 1);
    }
    if (!wav.valid)
        wav.error = "no format or data chunk";
    return wav;
}

// Amplitude of the sine at `freq` in `x` (Goertzel over a Hann window, so that a tone a few
// tens of hertz away does not leak into the answer).
double toneAmplitude(const QVector<double> &x, int from, int count, double freq, double rate)
{
    const double coeff = 2 * std::cos(2 * M_PI * freq / rate);
    double s1 = 0, s2 = 0, windowSum = 0;
    for (int i = 0; i < count; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * i / (count - 1));
        windowSum += w;
        const double s0 = w * x[from + i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * std::sqrt(qMax(0.0, power)) / windowSum;
}

QStringList gfxResources()
{
    QStringList paths;
    QDirIterator it(":/gfx", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.startsWith(":/gfx/flags/"))
            paths << path;
    }
    paths.sort();
    return paths;
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestAssets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void fontIndexListsTheFaces();
    void fontsRegister_data();
    void fontsRegister();

    void namedPicturesExist_data();
    void namedPicturesExist();
    void everyPictureLoadsAtTwoSizes_data();
    void everyPictureLoadsAtTwoSizes();
    void everyPictureHasADoubleSizeTwin();
    void applicationIconHoldsSeveralSizes();
    void spinnerIsAnimated();

    void keyTonesAreTheDtmfPairs_data();
    void keyTonesAreTheDtmfPairs();
    void otherSoundsAreShortPcm_data();
    void otherSoundsAreShortPcm();

    void styleSheetsParse();
    void brokenStyleSheetIsNoticed();
    void styleSheetPicturesExist();
    void callButtonFollowsItsProperty();
    void invalidLineEditTurnsRed();

private:
    void applyStyleSheet(const QString &sheet);
};

void TestAssets::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // The resources live in talkvane_core; registering them here also keeps the library linked.
    Q_INIT_RESOURCE(gfx);
    Q_INIT_RESOURCE(sounds);
    Q_INIT_RESOURCE(fonts);
    Q_INIT_RESOURCE(css);
}

void TestAssets::fontIndexListsTheFaces()
{
    const QStringList lines = readText(":/fonts/index.txt").split('\n', Qt::SkipEmptyParts);
    QVERIFY(lines.size() >= 3);
    QCOMPARE(
        lines.mid(0, 3), QStringList({ ":/fonts/04b_03b_.ttf", ":/fonts/arial.ttf", ":/fonts/Swz721n.ttf" }));
}

void TestAssets::fontsRegister_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("family");
    const QHash<QString, QString> families = {
        { ":/fonts/04b_03b_.ttf", "ProggyTinyTT" },
        { ":/fonts/arial.ttf", "Liberation Sans" },
        { ":/fonts/arialbd.ttf", "Liberation Sans" },
        { ":/fonts/Swz721n.ttf", "Liberation Sans Narrow" },
    };
    for (const QString &line : readText(":/fonts/index.txt").split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QTest::newRow(qPrintable(line)) << line.trimmed() << families.value(line.trimmed());
    }
}

void TestAssets::fontsRegister()
{
    QFETCH(QString, path);
    QFETCH(QString, family);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const int id = QFontDatabase::addApplicationFontFromData(file.readAll());
    QVERIFY2(id != -1, qPrintable(path));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    QVERIFY(!family.isEmpty());
    QVERIFY2(families.contains(family), qPrintable(families.join(", ")));
}

void TestAssets::namedPicturesExist_data()
{
    QTest::addColumn<QString>("path");
    // The names the screens use, some written without the slash after the colon.
    for (const char *path : {
             ":/gfx/app-icon.ico",
             ":/gfx/system-tray-icon-offline.png",
             ":/gfx/system-tray-icon-online.png",
             ":/gfx/mainwindow.png",
             ":/gfx/splashscreen.png",
             ":/gfx/history/incomming.png",
             ":/gfx/history/outgoing.png",
             ":/gfx/history/missed.png",
             ":/gfx/history/sms.png",
             ":/gfx/contactlist/arrow.png",
             ":/gfx/contactlist/arrow-open.png",
             ":gfx/contactlist/phone-type-home-small.png",
             ":gfx/contactlist/phone-type-work-small.png",
             ":gfx/contactlist/phone-type-mobile-small.png",
             ":gfx/addcontact/phone-type-home.png",
             ":gfx/addcontact/phone-type-work.png",
             ":gfx/addcontact/phone-type-mobile.png",
             ":/gfx/callforward/call-forward-arrow.png",
             ":/gfx/voicemail/not-played.png",
             ":/gfx/voicemail/playing.png",
             ":/gfx/voicemail/paused.png",
             ":/gfx/voicemail/not-played-selected.png",
             ":/gfx/voicemail/playing-selected.png",
             ":/gfx/voicemail/paused-selected.png",
             ":gfx/login/spinner.gif",
         })
        QTest::newRow(path) << QString::fromLatin1(path);
}

void TestAssets::namedPicturesExist()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QVERIFY(!QPixmap(path).isNull());
}

void TestAssets::everyPictureLoadsAtTwoSizes_data()
{
    QTest::addColumn<QString>("path");
    const QStringList paths = gfxResources();
    QVERIFY(paths.size() > 100);
    for (const QString &path : paths)
        QTest::newRow(qPrintable(path)) << path;
}

void TestAssets::everyPictureLoadsAtTwoSizes()
{
    QFETCH(QString, path);
    const QPixmap pixmap(path);
    QVERIFY2(!pixmap.isNull(), qPrintable(path));
    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    for (int size : { 16, 64 }) {
        const QPixmap scaled = icon.pixmap(size, size);
        QVERIFY2(!scaled.isNull(), qPrintable(QString("%1 at %2").arg(path).arg(size)));
        QVERIFY(scaled.width() <= size && scaled.height() <= size);
    }
}

void TestAssets::everyPictureHasADoubleSizeTwin()
{
    // The 9-slice frames have none on purpose: style-sheet slice widths would be taken in the
    // @2x picture's own pixels and draw the frame at the wrong size.
    const QStringList single = { ":/gfx/app-icon.png", ":/gfx/mainwindow.png", ":/gfx/dialog/frame.png" };
    int pairs = 0;
    for (const QString &path : gfxResources()) {
        if (!path.endsWith(".png") || path.endsWith("@2x.png"))
            continue;
        if (single.contains(path)) {
            QVERIFY2(!QFile::exists(path.left(path.size() - 4) + "@2x.png"), qPrintable(path));
            continue;
        }
        const QString twin = path.left(path.size() - 4) + "@2x.png";
        QVERIFY2(QFile::exists(twin), qPrintable(twin));
        const QSize one = QImageReader(path).size();
        const QSize two = QImageReader(twin).size();
        QVERIFY2(two == one * 2, qPrintable(path));
        ++pairs;
    }
    QVERIFY(pairs > 50);
    QCOMPARE(QImageReader(":/gfx/splashscreen.png").size(), QSize(500, 296));
}

void TestAssets::applicationIconHoldsSeveralSizes()
{
    QImageReader reader(":/gfx/app-icon.ico");
    QCOMPARE(reader.format(), QByteArray("ico"));
    QVERIFY(reader.imageCount() >= 5);
    QList<int> widths;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        widths << reader.read().width();
    }
    QVERIFY(widths.contains(16));
    QVERIFY(widths.contains(32));
    QVERIFY(widths.contains(256));
}

void TestAssets::spinnerIsAnimated()
{
    QMovie movie(":gfx/login/spinner.gif");
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 1);
    QImageReader reader(":gfx/login/spinner.gif");
    QVERIFY(reader.supportsAnimation());
    int frames = 0;
    while (reader.canRead()) {
        const QImage frame = reader.read();
        QVERIFY2(!frame.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(frame.size(), QSize(32, 32));
        ++frames;
    }
    QCOMPARE(frames, movie.frameCount());
}

void TestAssets::keyTonesAreTheDtmfPairs_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    const char *keys = "123456789*0#";
    const double lows[] = { 697, 770, 852, 941 };
    const double highs[] = { 1209, 1336, 1477 };
    for (int i = 0; i < 12; ++i)
        QTest::newRow(QByteArray(1, keys[i]).constData())
            << QString(QLatin1Char(keys[i])) << lows[i / 3] << highs[i % 3];
}

void TestAssets::keyTonesAreTheDtmfPairs()
{
    QFETCH(QString, key);
    QFETCH(double, low);
    QFETCH(double, high);
    const Wav wav = readWav(":/sounds/dialup-" + key);
    QVERIFY2(wav.valid, qPrintable(wav.error));
    QCOMPARE(wav.format, quint16(1));
    QCOMPARE(wav.channels, quint16(1));
    QCOMPARE(wav.bits, quint16(16));
    QCOMPARE(wav.rate, quint32(44100));
    const double seconds = wav.samples.size() / double(wav.rate);
    QVERIFY2(seconds >= 0.08 && seconds <= 0.5, qPrintable(QString::number(seconds)));
    QVERIFY(wav.peak < 32767);

    // The middle 80 %: past the fades at both ends.
    const int from = wav.samples.size() / 10;
    const int count = wav.samples.size() * 8 / 10;
    const double a = toneAmplitude(wav.samples, from, count, low, wav.rate);
    const double b = toneAmplitude(wav.samples, from, count, high, wav.rate);
    QVERIFY2(a > 0.1 && b > 0.1, qPrintable(QString("%1 %2").arg(a).arg(b)));
    QVERIFY2(qAbs(a - b) < 0.1 * qMax(a, b), "the two tones differ in level");

    const QList<double> dtmf = { 697, 770, 852, 941, 1209, 1336, 1477, 1633 };
    for (double f : dtmf) {
        if (f == low || f == high)
            continue;
        const double other = toneAmplitude(wav.samples, from, count, f, wav.rate);
        QVERIFY2(other < 0.01 * a, qPrintable(QString("%1 Hz at %2").arg(f).arg(other)));
    }

    // Nothing else: the two sines carry all of the signal's power.
    double power = 0;
    for (int i = from; i < from + count; ++i)
        power += wav.samples[i] * wav.samples[i];
    power /= count;
    const double explained = (a * a + b * b) / 2;
    QVERIFY2(qAbs(power - explained) < 0.03 * power,
        qPrintable(QString("power %1, tones %2").arg(power).arg(explained)));
}

void TestAssets::otherSoundsAreShortPcm_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("maxSeconds");
    QTest::newRow("ringtone") << ":/sounds/ringtone" << 6.0;
    QTest::newRow("speaker test") << ":/sounds/ring1.wav" << 3.0;
}

void TestAssets::otherSoundsAreShortPcm()
{
    QFETCH(QString, path);
    QFETCH(double, maxSeconds);
    const Wav wav = readWav(path);
    QVERIFY2(wav.valid, qPrintable(wav.error));
    QCOMPARE(wav.format, quint16(1));
    QCOMPARE(wav.bits, quint16(16));
    QVERIFY(wav.channels == 1 || wav.channels == 2);
    QVERIFY(wav.rate >= 8000);
    const double seconds = wav.samples.size() / double(wav.rate * wav.channels);
    QVERIFY2(seconds > 0.5 && seconds <= maxSeconds, qPrintable(QString::number(seconds)));
    QVERIFY2(wav.peak > 3000, "too quiet");
    QVERIFY2(wav.peak < 32767, "clipped");
}

void TestAssets::applyStyleSheet(const QString &sheet)
{
    g_messages.clear();
    g_previousHandler = qInstallMessageHandler(collectMessages);
    qApp->setStyleSheet(sheet);
    // Qt parses the application sheet when it first styles a widget.
    QWidget window;
    QPushButton button(&window);
    QLineEdit edit(&window);
    window.ensurePolished();
    button.ensurePolished();
    edit.ensurePolished();
    qInstallMessageHandler(g_previousHandler);
}

void TestAssets::styleSheetsParse()
{
    const QString common = readText(":/css/common-stylesheet.css");
    const QString screens = readText(":/css/stylesheet.css");
    QVERIFY(!common.isEmpty());
    QVERIFY(!screens.isEmpty());
    applyStyleSheet(common + screens);
    QVERIFY2(!g_messages.join('\n').contains("Could not parse"), qPrintable(g_messages.join('\n')));
    applyStyleSheet(screens);
    QVERIFY2(!g_messages.join('\n').contains("Could not parse"), qPrintable(g_messages.join('\n')));
    qApp->setStyleSheet(QString());
}

void TestAssets::brokenStyleSheetIsNoticed()
{
    // Guards the check above: a sheet with a missing brace must be reported.
    applyStyleSheet(readText(":/css/stylesheet.css") + "\nQPushButton { color: red; ");
    QVERIFY(g_messages.join('\n').contains("Could not parse application stylesheet"));
    qApp->setStyleSheet(QString());
}

void TestAssets::styleSheetPicturesExist()
{
    const QRegularExpression url("url\\(([^)]+)\\)");
    int count = 0;
    for (const QString &sheet : QStringList {
             QStringLiteral(":/css/common-stylesheet.css"), QStringLiteral(":/css/stylesheet.css") }) {
        auto it = url.globalMatch(readText(sheet));
        while (it.hasNext()) {
            const QString path = it.next().captured(1).remove('"');
            QVERIFY2(QFile::exists(path), qPrintable(sheet + ": " + path));
            ++count;
        }
    }
    QVERIFY(count > 50);
}

void TestAssets::callButtonFollowsItsProperty()
{
    qApp->setStyleSheet(readText(":/css/common-stylesheet.css") + readText(":/css/stylesheet.css"));
    QPushButton button;
    button.setObjectName("callHungUpButton");
    const QImage call = QPixmap(":/gfx/call/call.png").toImage();
    const QImage hangup = QPixmap(":/gfx/call/hangup.png").toImage();

    button.setProperty("_is_call", true);
    button.ensurePolished();
    QCOMPARE(button.icon().pixmap(28, 28).toImage().convertToFormat(call.format()), call);

    button.setProperty("_is_call", false);
    button.style()->unpolish(&button);
    button.style()->polish(&button);
    QCOMPARE(button.icon().pixmap(28, 28).toImage().convertToFormat(hangup.format()), hangup);
    qApp->setStyleSheet(QString());
}

void TestAssets::invalidLineEditTurnsRed()
{
    qApp->setStyleSheet(readText(":/css/common-stylesheet.css") + readText(":/css/stylesheet.css"));
    QLineEdit edit;
    edit.resize(120, 28);
    edit.setProperty("_invalid", false);
    edit.ensurePolished();
    const QColor plain = edit.grab().toImage().pixelColor(0, 14);

    edit.setProperty("_invalid", true);
    edit.style()->unpolish(&edit);
    edit.style()->polish(&edit);
    const QColor marked = edit.grab().toImage().pixelColor(0, 14);
    QCOMPARE(marked, QColor("#D93A3A"));
    QVERIFY(plain != marked);
    qApp->setStyleSheet(QString());
}

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
