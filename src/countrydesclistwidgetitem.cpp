#include "countrydesclistwidgetitem.h"

#include <QIcon>
#include <QSize>

#include "countrydesc.h"

CountryDescListWidgetItem::CountryDescListWidgetItem(const CountryDesc *country, QListWidget *view)
    : QListWidgetItem(view, Type), m_country(country)
{
    setText(country->name());
    setToolTip(country->name());
    setIcon(QIcon(country->flag()));
    // Width 1: the list stretches the rows; only the height is fixed.
    setSizeHint(QSize(1, 27));
}
