#include "virtualnumber.h"

#include "prefixprovider.h"
#include "rest/onlinenumber.h"

QList<VirtualNumber> VirtualNumber::fromOnlineNumbers(
    const QList<OnlineNumber> &numbers, const PrefixProvider *prefixes)
{
    QList<VirtualNumber> rows;
    rows.reserve(numbers.size());
    for (const OnlineNumber &record : numbers) {
        VirtualNumber row;
        row.number = record.number();
        row.expirationDate = record.expirationDate();
        if (prefixes)
            row.flag = prefixes->flagForNumber(record.number());
        rows.append(row);
    }
    return rows;
}
