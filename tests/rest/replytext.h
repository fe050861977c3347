#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include "rest/jsoncodec.h"

// Parses reply bytes the way the request types do: one character per byte.
inline QVariant parseReply(const QByteArray &bytes)
{
    bool ok = false;
    const QVariant value = JsonCodec::parse(QString::fromLatin1(bytes), ok);
    return ok ? value : QVariant();
}

// The JSON text a record is sent as.
inline QByteArray jsonOf(const QVariant &value)
{
    return JsonCodec::serialize(value);
}
