#pragma once

#include <QListWidgetItem>

class CountryDesc;

// A row of the country picker: shows the country's flag and name and remembers which country it is.
class CountryDescListWidgetItem : public QListWidgetItem
{
public:
    enum { Type = QListWidgetItem::UserType + 1 };

    explicit CountryDescListWidgetItem(const CountryDesc *country, QListWidget *view = nullptr);

    const CountryDesc *countryDesc() const { return m_country; }

private:
    const CountryDesc *m_country;
};
