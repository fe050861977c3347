#pragma once

#include <QByteArray>
#include <QString>

// The machine identifier sent (hashed) with every sign-in: "<disk serial>|<processor name>".
// The disk serial comes from the first disk that reports an acceptable one, the processor name from
// /proc/cpuinfo. Nothing here ever fails: what cannot be read is left empty.
QString machineId();

namespace machineid {

// Where the inputs are read from; tests point these at a tree of their own.
struct Sources {
    QString sysBlockDir = QStringLiteral("/sys/block");
    QString udevDataDir = QStringLiteral("/run/udev/data");
    QString cpuInfoFile = QStringLiteral("/proc/cpuinfo");
};

QString machineId(const Sources &sources);

// "%1|%2": serial, a vertical bar, processor name.
QString combine(const QString &serial, const QString &processorName);

// A serial is kept only when its first or twentieth character is a letter or digit. Empty and short
// serials are judged by the characters they have.
bool isAcceptableSerial(const QString &serial);

// Drive descriptor strings come either as the hexadecimal text of the serial or as the serial itself.
// Hex pairs (blank counting as '0') must each decode to a printable byte or zero; otherwise the
// printable text is taken as it is (any non-printable character empties it). With flip, adjacent
// bytes are swapped in pairs. Leading and trailing white space is removed.
QString decodeDescriptorString(const QByteArray &raw, bool flip);

// ATA IDENTIFY words (little-endian words, each giving its high byte first), trailing blanks cut.
QString identifyString(const QByteArray &identifyBlock, int firstWord, int lastWord);

// The serial number of a SCSI unit serial number page (VPD page 0x80), as sysfs exposes it.
QString vpdUnitSerial(const QByteArray &page);

QString diskSerial(const Sources &sources);
QString processorName(const QString &cpuInfoFile);

// The application id of the account request: MD5 of the identifier's Latin-1 bytes, lower-case hex.
QString applicationId(const QString &machineIdentifier);

} // namespace machineid
