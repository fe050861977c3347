#include "samefields.h"

#include <algorithm>

SameFields::SameFields(std::initializer_list<int> values)
{
    for (int value : values)
        fields.insert(value);
}

QList<int> SameFields::values() const
{
    QList<int> list = fields.values();
    std::sort(list.begin(), list.end());
    return list;
}
