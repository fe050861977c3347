#include <QtTest>
#include <QtWidgets>

#include "countrydesc.h"
#include "countrydesclistwidgetitem.h"

class TestCountryDescListWidgetItem : public QObject
{
    Q_OBJECT

private slots:
    void showsTheCountry();
    void addsItselfToAView();
};

namespace {

QPixmap redFlag()
{
    QPixmap flag(16, 11);
    flag.fill(Qt::red);
    return flag;
}

} // namespace

void TestCountryDescListWidgetItem::showsTheCountry()
{
    const CountryDesc country(
        QStringLiteral("Canada"), QStringLiteral("CA"), QStringLiteral("1204"), redFlag());
    const CountryDescListWidgetItem item(&country);
    QCOMPARE(item.text(), QStringLiteral("Canada"));
    QCOMPARE(item.toolTip(), QStringLiteral("Canada"));
    QVERIFY(!item.icon().isNull());
    QCOMPARE(item.sizeHint(), QSize(1, 27));
    QCOMPARE(item.type(), int(CountryDescListWidgetItem::Type));
    QVERIFY(item.type() >= QListWidgetItem::UserType);
    QCOMPARE(item.countryDesc(), &country);
}

void TestCountryDescListWidgetItem::addsItselfToAView()
{
    const CountryDesc country(QStringLiteral("Chad"), QStringLiteral("TD"), QStringLiteral("235"), redFlag());
    QListWidget view;
    auto *item = new CountryDescListWidgetItem(&country, &view); // owned by the view
    QCOMPARE(view.count(), 1);
    QCOMPARE(view.item(0), item);
    QCOMPARE(
        static_cast<CountryDescListWidgetItem *>(view.item(0))->countryDesc()->code(), QStringLiteral("TD"));
}

QTEST_MAIN(TestCountryDescListWidgetItem)
#include "tst_countrydesclistwidgetitem.moc"
