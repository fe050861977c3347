#include "contactsmodels.h"

namespace ContactsModels {

QString phoneTypeIconPath(int type)
{
    switch (type) {
    case 0:
        return QStringLiteral(":gfx/contactlist/phone-type-home-small.png");
    case 1:
        return QStringLiteral(":gfx/contactlist/phone-type-work-small.png");
    case 2:
        return QStringLiteral(":gfx/contactlist/phone-type-mobile-small.png");
    default:
        return QString();
    }
}

} // namespace ContactsModels
