#include <QtTest>

#include "talk/device.h"

using talk::Device;

class TstDevice : public QObject
{
    Q_OBJECT

private slots:
    void nullByDefault();
    void builtFromIdAndName();
    void equality_data();
    void equality();
    void isValid_data();
    void isValid();
    void debugForm();
};

void TstDevice::nullByDefault()
{
    const Device device;
    QVERIFY(device.isNull());
    QVERIFY(device.id().isEmpty());
    QVERIFY(device.name().isEmpty());
    QVERIFY(device.dname().isEmpty());
    QVERIFY(!device.isValid());
}

void TstDevice::builtFromIdAndName()
{
    Device device(QStringLiteral("alsa_output.1"), QStringLiteral("Speakers"));
    QVERIFY(!device.isNull());
    QCOMPARE(device.dname(), QStringLiteral("Speakers"));
    device.setDname(QStringLiteral("Speakers (2)"));
    QCOMPARE(device.dname(), QStringLiteral("Speakers (2)"));
    QCOMPARE(device.name(), QStringLiteral("Speakers"));
}

void TstDevice::equality_data()
{
    QTest::addColumn<Device>("a");
    QTest::addColumn<Device>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("both null") << Device() << Device() << true;
    QTest::newRow("null and real") << Device() << Device("id", "name") << false;
    QTest::newRow("real and null") << Device("id", "name") << Device() << false;
    QTest::newRow("same id, other name") << Device("id", "one") << Device("id", "two") << true;
    QTest::newRow("other id, same name") << Device("id1", "name") << Device("id2", "name") << false;
    QTest::newRow("real with empty id and null") << Device(QString(), QString()) << Device() << false;
}

void TstDevice::equality()
{
    QFETCH(Device, a);
    QFETCH(Device, b);
    QFETCH(bool, equal);
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
}

void TstDevice::isValid_data()
{
    QTest::addColumn<Device>("device");
    QTest::addColumn<bool>("valid");
    QTest::newRow("id and name") << Device("id", "name") << true;
    QTest::newRow("no id") << Device(QString(), "name") << false;
    QTest::newRow("no name") << Device("id", QString()) << false;
    QTest::newRow("null") << Device() << false;
}

void TstDevice::isValid()
{
    QFETCH(Device, device);
    QFETCH(bool, valid);
    QCOMPARE(device.isValid(), valid);
}

void TstDevice::debugForm()
{
    QString text;
    QDebug(&text) << Device("mic-1", "Microphone");
    QCOMPARE(text, QStringLiteral("Device(id: \"mic-1\" name: \"Microphone\" dname: \"Microphone\" ) "));
}

QTEST_GUILESS_MAIN(TstDevice)
#include "tst_device.moc"
