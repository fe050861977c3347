#pragma once

#include <cstring>

#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// Exact comparison of parsed values: same type at every level and bit-identical doubles. QVariant's
// own operator== converts between types and compares doubles fuzzily, which would hide real changes.
inline bool sameVariant(const QVariant &a, const QVariant &b)
{
    if (a.isValid() != b.isValid())
        return false;
    if (!a.isValid())
        return true;
    if (a.userType() != b.userType())
        return false;
    switch (a.userType()) {
    case QMetaType::QVariantMap: {
        const QVariantMap ma = a.toMap();
        const QVariantMap mb = b.toMap();
        if (ma.keys() != mb.keys())
            return false;
        for (auto it = ma.constBegin(); it != ma.constEnd(); ++it) {
            if (!sameVariant(it.value(), mb.value(it.key())))
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
            if (!sameVariant(la.at(i), lb.at(i)))
                return false;
        }
        return true;
    }
    case QMetaType::Double: {
        const double da = a.toDouble();
        const double db = b.toDouble();
        return std::memcmp(&da, &db, sizeof da) == 0;
    }
    case QMetaType::QString:
        return a.toString() == b.toString() && a.toString().isNull() == b.toString().isNull();
    default:
        return a == b;
    }
}
