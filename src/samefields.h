#pragma once

#include <QList>
#include <QSet>

// Result of the duplicate checks: which kinds of detail a candidate shares with the address book.
class SameFields
{
public:
    enum Field {
        Nothing = 0,
        SameContact = 1,
        SameName = 2,
        SameEmail = 3,
        SamePhone = 4,
    };

    SameFields() = default;
    SameFields(std::initializer_list<int> fields);

    void insert(int field) { fields.insert(field); }
    bool contains(int field) const { return fields.contains(field); }
    bool isEmpty() const { return fields.isEmpty(); }
    int size() const { return fields.size(); }
    void clear() { fields.clear(); }
    // The values in ascending order.
    QList<int> values() const;

    bool operator==(const SameFields &other) const { return fields == other.fields; }
    bool operator!=(const SameFields &other) const { return fields != other.fields; }

private:
    QSet<int> fields;
};
