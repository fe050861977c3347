#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// One recently dialled number.
struct NumberRecord
{
    QString number;
    QString nick;
    QDateTime timestamp;
};

Q_DECLARE_METATYPE(NumberRecord)
