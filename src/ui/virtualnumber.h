#pragma once

#include <QDate>
#include <QList>
#include <QMetaType>
#include <QPixmap>
#include <QString>

class OnlineNumber;
class PrefixProvider;

// One row of the virtual-numbers page: the number, the flag of its country and the day it expires.
struct VirtualNumber
{
    QString number;
    QPixmap flag;
    QDate expirationDate;

    // The page's rows for the service's records, in the same order; flags come from the country
    // table (none without one).
    static QList<VirtualNumber> fromOnlineNumbers(
        const QList<OnlineNumber> &numbers, const PrefixProvider *prefixes);
};

Q_DECLARE_METATYPE(VirtualNumber)
