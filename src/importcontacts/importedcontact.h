#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// One entry of an imported address book, in the form every importer produces.
struct ImportedContact
{
    QString firstName;
    QString middleName;
    QString lastName;
    QString nickname;
    QStringList emails;
    QStringList phones;

    // Nothing worth importing: no name of any kind, no address and no number.
    bool isEmpty() const;
    // A label for lists: the names, else the nickname, the first e-mail or the first number. Never
    // empty unless the entry is.
    QString displayName() const;

    // Address-book order: by first name, then by last name, each compared as a plain string.
    static bool lessByName(const ImportedContact &a, const ImportedContact &b);

    bool operator==(const ImportedContact &other) const;
    bool operator!=(const ImportedContact &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(ImportedContact)
