#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "rest/machineid.h"

class TestMachineId : public QObject {
    Q_OBJECT

private:
    static void writeFile(const QString &path, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private slots:
    void acceptance_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "WD-WCC4N1234567" << true;
        QTest::newRow("twenty blanks") << QString(20, QLatin1Char(' ')) << false;
        QTest::newRow("blank first, digit twentieth") << QString(19, QLatin1Char(' ')) + QLatin1Char('7') << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("short, punctuation first") << "-A1" << false;
        QTest::newRow("dash first, letter twentieth")
            << QStringLiteral("-------------------X") << true;
        QTest::newRow("non-ASCII letter first") << QStringLiteral("\u00e9ABC") << false;
    }
    void acceptance()
    {
        QFETCH(QString, serial);
        QFETCH(bool, accepted);
        QCOMPARE(machineid::isAcceptableSerial(serial), accepted);
    }

    void descriptor_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("flip");
        QTest::addColumn<QString>("decoded");
        // "WD-WXA1" as hex, then the pairs swapped as the drive reports them.
        QTest::newRow("hex, flipped") << QByteArray("4457572d41582031") << true << "WD-WXA1";
        QTest::newRow("hex, not flipped") << QByteArray("57442d5758413120") << false << "WD-WXA1";
        QTest::newRow("blank counts as zero digit") << QByteArray("4142 0") << false << "AB";
        QTest::newRow("plain text") << QByteArray("  S3Z9NB0K  ") << false << "S3Z9NB0K";
        QTest::newRow("plain text with line feed") << QByteArray("ABC123\n") << false << "ABC123";
        QTest::newRow("non-printable empties") << QByteArray("AB\x01" "C") << false << QString();
        QTest::newRow("hex pair not printable falls back to text") << QByteArray("0102") << false << "0102";
        QTest::newRow("odd length is text") << QByteArray("414") << false << "414";
        QTest::newRow("flip text pairs") << QByteArray("BADC E") << true << "ABCDE";
        QTest::newRow("flip odd length keeps last") << QByteArray("BADCE") << true << "ABCDE";
    }
    void descriptor()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, flip);
        QFETCH(QString, decoded);
        QCOMPARE(machineid::decodeDescriptorString(raw, flip), decoded);
    }

    void longDescriptorIsCut()
    {
        const QByteArray huge(5000, 'A');
        QCOMPARE(machineid::decodeDescriptorString(huge, false).size(), 1023);
    }

    void identifyWords()
    {
        QByteArray block(512, '\0');
        const QByteArray serial = "SN12345678          "; // 20 characters, words 10..19
        for (int i = 0; i < serial.size(); i += 2) {
            block[20 + i] = serial[i + 1];
            block[20 + i + 1] = serial[i];
        }
        QCOMPARE(machineid::identifyString(block, 10, 19), QStringLiteral("SN12345678"));
        QCOMPARE(machineid::identifyString(block.left(24), 10, 19), QStringLiteral("SN12"));
    }

    void vpdPage_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("serial");
        QTest::newRow("good") << QByteArray("\x00\x80\x00\x08" "ZA1B2C3D", 12) << "ZA1B2C3D";
        QTest::newRow("length past the end") << QByteArray("\x00\x80\x00\x40" "ZA1B", 8) << QString();
        QTest::newRow("wrong page") << QByteArray("\x00\x83\x00\x04" "ZA1B", 8) << QString();
        QTest::newRow("too short") << QByteArray("\x00\x80", 2) << QString();
    }
    void vpdPage()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, serial);
        QCOMPARE(machineid::vpdUnitSerial(page), serial);
    }

    void noDiskGivesBarAndProcessor()
    {
        QTemporaryDir root;
        machineid::Sources sources;
        sources.sysBlockDir = root.filePath(QStringLiteral("sys/block"));
        sources.udevDataDir = root.filePath(QStringLiteral("udev"));
        sources.cpuInfoFile = root.filePath(QStringLiteral("cpuinfo"));
        writeFile(sources.cpuInfoFile, "processor\t: 0\nmodel name\t: Test CPU @ 3.00GHz\nflags\t: fpu\n"
                                       "processor\t: 1\nmodel name\t: Other\n");
        QCOMPARE(machineid::machineId(sources), QStringLiteral("|Test CPU @ 3.00GHz"));
    }

    void firstAcceptableDiskWins()
    {
        QTemporaryDir root;
        machineid::Sources sources;
        sources.sysBlockDir = root.filePath(QStringLiteral("block"));
        sources.udevDataDir = root.filePath(QStringLiteral("udev"));
        sources.cpuInfoFile = root.filePath(QStringLiteral("missing"));
        writeFile(sources.sysBlockDir + QStringLiteral("/loop0/serial"), "LOOPSERIAL\n");
        writeFile(sources.sysBlockDir + QStringLiteral("/nvme0n1/device/serial"), "   \n");
        writeFile(sources.sysBlockDir + QStringLiteral("/nvme0n1/dev"), "259:0\n");
        writeFile(sources.udevDataDir + QStringLiteral("/b259:0"), "S:disk/by-id/x\nE:ID_SERIAL_SHORT=S4EVNX0N123\n");
        writeFile(sources.sysBlockDir + QStringLiteral("/sda/device/serial"), "LATERDISK\n");
        QCOMPARE(machineid::machineId(sources), QStringLiteral("S4EVNX0N123|"));
    }

    void applicationIdIsLowerHexMd5()
    {
        // md5("|") and md5 of a Latin-1 text, computed independently.
        QCOMPARE(machineid::applicationId(QStringLiteral("|")), QStringLiteral("b99834bc19bbad24580b3adfa04fb947"));
        QCOMPARE(machineid::applicationId(QStringLiteral("\u00e9|x")),
            QString::fromLatin1(QCryptographicHash::hash(QByteArray("\xe9|x"), QCryptographicHash::Md5).toHex()));
        QCOMPARE(machineid::applicationId(machineId()).size(), 32);
    }
};

QTEST_GUILESS_MAIN(TestMachineId)
#include "tst_machineid.moc"
