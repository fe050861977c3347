#pragma once

#include <QString>

// Finds the contact nick for a telephone number; the contact manager answers it. The call history
// asks it when it loads, so that rows show who was called.
class ContactNameLookup
{
public:
    virtual ~ContactNameLookup() = default;
    // Empty when no contact has this number.
    virtual QString nickForNumber(const QString &number) const = 0;
};
