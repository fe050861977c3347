#pragma once

#include <QString>
#include <Qt>

// The item roles of the contact models and what they share. Group and contact rows of the tree model
// answer them as listed; the flat list model forwards them.
//
//   role                value  group row            contact row
//   Qt::DisplayRole      0     group name           first name, a space, last name
//   Qt::ToolTipRole      3     -                    same as display
//   IsGroupRole         33     true                 false
//   RefreshRole         34     (setData only)       (setData only)
//   PhoneNumberRole     35     -                    number of the first phone, or ""
//   PhoneTypeRole       36     -                    type of the first phone, or -1
//   PhoneNumbersRole    37     -                    all numbers (QStringList)
//   PhoneTypesRole      38     -                    all types (QVariantList of int)
//   GroupIndexRole      39     -                    row of the contact's group
//   ContactIndexRole    40     -                    row of the contact within its group
//   ContactCountRole    41     number of members    -
//   DefaultGroupRole    42     default flag         -
//   GroupRowRole        43     row of the group     -
namespace ContactsModels {

// Fixed numbers shared with the screens (below Qt 5's Qt::UserRole, in a range Qt leaves unused).
enum Role {
    IsGroupRole = 33,
    RefreshRole = 34,
    PhoneNumberRole = 35,
    PhoneTypeRole = 36,
    PhoneNumbersRole = 37,
    PhoneTypesRole = 38,
    GroupIndexRole = 39,
    ContactIndexRole = 40,
    ContactCountRole = 41,
    DefaultGroupRole = 42,
    GroupRowRole = 43,
};

// The small icon of a phone type (0 home, 1 work, 2 mobile); empty for any other type.
QString phoneTypeIconPath(int type);

} // namespace ContactsModels
