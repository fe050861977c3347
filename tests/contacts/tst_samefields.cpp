#include <QtTest>

#include "samefields.h"

class TstSameFields : public QObject
{
    Q_OBJECT

private slots:
    void setSemantics();
};

void TstSameFields::setSemantics()
{
    SameFields fields;
    QVERIFY(fields.isEmpty());
    fields.insert(SameFields::SamePhone);
    fields.insert(SameFields::SameName);
    fields.insert(SameFields::SamePhone);
    QCOMPARE(fields.size(), 2);
    QVERIFY(fields.contains(SameFields::SameName));
    QVERIFY(!fields.contains(SameFields::SameEmail));
    QCOMPARE(fields.values(), (QList<int> { 2, 4 }));
    QVERIFY(fields == (SameFields { 4, 2 }));
    QVERIFY(fields != SameFields { SameFields::Nothing });
    fields.clear();
    QVERIFY(fields.isEmpty());
}

QTEST_APPLESS_MAIN(TstSameFields)
#include "tst_samefields.moc"
