// libFuzzer target for JsonCodec::parse. Built by scripts/fuzz-json.sh, not by CMake.
//
// Every input is parsed twice, the way replies arrive (one character per byte) and as UTF-8. Whatever
// parses must serialise, and the text written must parse back to an equal value.

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include "rest/jsoncodec.h"

namespace {

// The serialiser writes -0.0 as 0.0 and non-negative qlonglong as plain digits, which read back as
// qulonglong; both are the same number.
bool equalValues(const QVariant &a, const QVariant &b)
{
    if (a.isValid() != b.isValid())
        return false;
    if (!a.isValid())
        return true;
    const int ta = a.userType();
    const int tb = b.userType();
    if (ta == QMetaType::LongLong && tb == QMetaType::ULongLong)
        return a.toLongLong() >= 0 && qulonglong(a.toLongLong()) == b.toULongLong();
    if (ta != tb)
        return false;
    switch (ta) {
    case QMetaType::QVariantMap: {
        const QVariantMap ma = a.toMap();
        const QVariantMap mb = b.toMap();
        if (ma.keys() != mb.keys())
            return false;
        for (auto it = ma.constBegin(); it != ma.constEnd(); ++it) {
            if (!equalValues(it.value(), mb.value(it.key())))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantList: {
        const QVariantList la = a.toList();
        const QVariantList lb = b.toList();
        if (la.size() != lb.size())
            return false;
        for (int i = 0; i < la.size(); ++i) {
            if (!equalValues(la.at(i), lb.at(i)))
                return false;
        }
        return true;
    }
    case QMetaType::Double:
        return a.toDouble() == b.toDouble();
    case QMetaType::QString:
        return a.toString() == b.toString();
    default:
        return a == b;
    }
}

void check(const QString &text)
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(text, ok);
    if (!ok)
        return;
    const QByteArray json = JsonCodec::serialize(value, ok);
    if (!ok || json.isNull())
        abort();
    // With an explicit size: U+0000 is written raw, and the QByteArray overload stops at a zero byte.
    const QVariant back = JsonCodec::parse(QString::fromUtf8(json.constData(), json.size()), ok);
    if (!ok || !equalValues(value, back))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    check(QString::fromLatin1(bytes.constData(), bytes.size()));
    check(QString::fromUtf8(bytes.constData(), bytes.size()));
    return 0;
}
