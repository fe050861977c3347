#include "machineid.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "util/log.h"

namespace machineid {
namespace {

// The serial buffer of the drive queries held 1023 characters and a terminator.
constexpr int maxSerialLength = 1023;

bool isPrintableOrZero(uchar byte)
{
    return byte == 0 || (byte >= 0x20 && byte < 0x7f);
}

bool isLetterOrDigit(const QString &text, int index)
{
    if (index >= text.size())
        return false;
    const QChar c = text.at(index);
    return c.isLetterOrNumber() && c.unicode() < 0x80;
}

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(4096);
}

bool isRealDisk(const QString &name)
{
    static const QRegularExpression virtualDevices(QStringLiteral("^(loop|ram|zram|dm-|md|sr|fd|nbd)"));
    return !virtualDevices.match(name).hasMatch();
}

// Each way a disk may tell its serial, in the order of how directly the hardware reports it.
QStringList serialCandidates(const Sources &sources, const QString &disk)
{
    const QString dir = sources.sysBlockDir + QLatin1Char('/') + disk;
    QStringList candidates;
    candidates << decodeDescriptorString(readSmallFile(dir + QStringLiteral("/device/serial")), false);
    candidates << decodeDescriptorString(readSmallFile(dir + QStringLiteral("/serial")), false);
    candidates << vpdUnitSerial(readSmallFile(dir + QStringLiteral("/device/vpd_pg80")));

    const QString devNumber = QString::fromLatin1(readSmallFile(dir + QStringLiteral("/dev"))).trimmed();
    if (!devNumber.isEmpty()) {
        const QByteArray udev = readSmallFile(sources.udevDataDir + QStringLiteral("/b") + devNumber);
        for (const QByteArray &line : udev.split('\n')) {
            if (line.startsWith("E:ID_SERIAL_SHORT="))
                candidates << decodeDescriptorString(line.mid(18), false);
        }
    }
    return candidates;
}

} // namespace

QString combine(const QString &serial, const QString &processorName)
{
    return QStringLiteral("%1|%2").arg(serial, processorName);
}

bool isAcceptableSerial(const QString &serial)
{
    return isLetterOrDigit(serial, 0) || isLetterOrDigit(serial, 19);
}

QString decodeDescriptorString(const QByteArray &descriptor, bool flip)
{
    QByteArray raw = descriptor;
    if (raw.endsWith('\n'))
        raw.chop(1); // sysfs attributes end with a line feed
    QByteArray bytes;
    bool hex = raw.size() % 2 == 0 && !raw.isEmpty();
    for (int i = 0; hex && i + 1 < raw.size(); i += 2) {
        QByteArray pair = raw.mid(i, 2).toLower();
        for (char &c : pair) {
            if (QChar::isSpace(uchar(c)))
                c = '0';
        }
        bool ok = false;
        const uint byte = pair.toUInt(&ok, 16);
        if (!ok || !isPrintableOrZero(uchar(byte)))
            hex = false;
        else
            bytes.append(char(byte));
    }
    if (!hex) {
        bytes.clear();
        for (const char c : raw) {
            if (!isPrintableOrZero(uchar(c)))
                return QString();
            bytes.append(c);
        }
    }
    const int terminator = bytes.indexOf('\0');
    if (terminator >= 0)
        bytes.truncate(terminator);
    if (flip) {
        for (int i = 0; i + 1 < bytes.size(); i += 2)
        {
            const char first = bytes.at(i);
            bytes[i] = bytes.at(i + 1);
            bytes[i + 1] = first;
        }
    }
    return QString::fromLatin1(bytes.left(maxSerialLength)).trimmed();
}

QString identifyString(const QByteArray &identifyBlock, int firstWord, int lastWord)
{
    QByteArray text;
    for (int word = firstWord; word <= lastWord; ++word) {
        const int offset = word * 2;
        if (offset + 1 >= identifyBlock.size())
            break;
        text.append(identifyBlock.at(offset + 1));
        text.append(identifyBlock.at(offset));
    }
    while (!text.isEmpty() && (QChar::isSpace(uchar(text.back())) || text.back() == '\0'))
        text.chop(1);
    return QString::fromLatin1(text);
}

QString vpdUnitSerial(const QByteArray &page)
{
    // Header: peripheral byte, page code 0x80, reserved, page length; the serial follows.
    if (page.size() < 4 || uchar(page.at(1)) != 0x80)
        return QString();
    const int length = uchar(page.at(3));
    if (4 + length > page.size())
        return QString();
    return decodeDescriptorString(page.mid(4, length), false);
}

QString diskSerial(const Sources &sources)
{
    QDir blockDir(sources.sysBlockDir);
    const QStringList disks = blockDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &disk : disks) {
        if (!isRealDisk(disk))
            continue;
        for (const QString &serial : serialCandidates(sources, disk)) {
            if (!serial.isEmpty() && isAcceptableSerial(serial))
                return serial;
        }
    }
    return QString();
}

QString processorName(const QString &cpuInfoFile)
{
    QFile file(cpuInfoFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed() == "model name")
            return QString::fromUtf8(line.mid(colon + 1)).trimmed();
    }
    return QString();
}

QString machineId(const Sources &sources)
{
    return combine(diskSerial(sources), processorName(sources.cpuInfoFile));
}

QString applicationId(const QString &machineIdentifier)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(machineIdentifier.toLatin1(), QCryptographicHash::Md5).toHex());
}

} // namespace machineid

QString machineId()
{
    return machineid::machineId(machineid::Sources());
}
