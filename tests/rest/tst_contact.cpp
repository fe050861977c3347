#include <QSet>
#include <QtTest>

#include "rest/contact.h"
#include "replytext.h"

namespace {

PhoneNumber phone(int type, const QString &number)
{
    PhoneNumber p;
    p.setType(type);
    p.setNumber(number);
    return p;
}

} // namespace

class TestContact : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void readsEveryMember();
    void utf8AndAsIsFields();
    void withoutPhonesHasNoPhonesMember();
    void withPhonesWritesPhoneMaps();
    void nullBirthDateIsEmptyText();
    void fullText();
    void phonesKeepTheirOwnErrors();
    void fromVariantAppendsPhones();
    void errorMembersReadWithRecord();
    void copyDuplicatesPhones();
    void displayName_data();
    void displayName();
    void generateNickFromFirstNameAndPhone();
    void generateNickIsNeverEmpty_data();
    void generateNickIsNeverEmpty();
    void generatedNicksDiffer();
    void phoneNumbersAndTypes();
    void blankEmailsAreDropped_data();
    void blankEmailsAreDropped();
};

void TestContact::defaults()
{
    const Contact contact;
    QCOMPARE(contact.className(), QStringLiteral("com.zorvanglobe.phone.integration.Contact"));
    QVERIFY(contact.nick().isEmpty());
    QVERIFY(contact.emails().isEmpty());
    QVERIFY(contact.phones().isEmpty());
    QVERIFY(contact.birthDate().isNull());
}

void TestContact::readsEveryMember()
{
    const Contact contact(parseReply(
        "{\"class\":\"ignored\",\"nick\":\"anna1\",\"groupName\":\"Family\",\"firstName\":\"Anna\","
        "\"lastName\":\"Berg\","
        "\"addressLine1\":\"Main St 1\",\"addressLine2\":\"Flat 2\",\"city\":\"Oslo\",\"state\":\"Oslo\","
        "\"postalCode\":\"0150\",\"country\":\"NO\",\"emails\":[\"a@x.test\",\"b@x.test\"],"
        "\"birthDate\":\"1980-05-17\",\"sipUser\":\"sip42\","
        "\"phones\":[{\"type\":\"CELL\",\"number\":\"+4790000000\"},{\"type\":\"WORK\",\"number\":\"+"
        "4722000000\"}]}"));
    QCOMPARE(contact.className(), QStringLiteral("com.zorvanglobe.phone.integration.Contact"));
    QCOMPARE(contact.nick(), QStringLiteral("anna1"));
    QCOMPARE(contact.groupName(), QStringLiteral("Family"));
    QCOMPARE(contact.firstName(), QStringLiteral("Anna"));
    QCOMPARE(contact.lastName(), QStringLiteral("Berg"));
    QCOMPARE(contact.addressLine1(), QStringLiteral("Main St 1"));
    QCOMPARE(contact.addressLine2(), QStringLiteral("Flat 2"));
    QCOMPARE(contact.city(), QStringLiteral("Oslo"));
    QCOMPARE(contact.state(), QStringLiteral("Oslo"));
    QCOMPARE(contact.postalCode(), QStringLiteral("0150"));
    QCOMPARE(contact.country(), QStringLiteral("NO"));
    QCOMPARE(contact.emails(), QStringList({ QStringLiteral("a@x.test"), QStringLiteral("b@x.test") }));
    QCOMPARE(contact.birthDate(), QDate(1980, 5, 17));
    QCOMPARE(contact.sipUser(), QStringLiteral("sip42"));
    QCOMPARE(contact.phones().size(), 2);
    QCOMPARE(contact.phones().at(0).type(), PhoneNumber::Cell);
    QCOMPARE(contact.phones().at(1).number(), QStringLiteral("+4722000000"));
}

// The same UTF-8 bytes decode in the UTF-8 fields and stay bytes in the as-is ones.
void TestContact::utf8AndAsIsFields()
{
    const Contact contact(
        parseReply("{\"firstName\":\"Ren\xc3\xa9\",\"city\":\"K\xc3\xb8"
                   "benhavn\","
                   "\"postalCode\":\"\xc3\xa9\",\"sipUser\":\"\xc3\xa9\",\"nick\":\"\xe4\xb8\xad\"}"));
    QCOMPARE(contact.firstName(), QString::fromUtf8("René"));
    QCOMPARE(contact.city(), QString::fromUtf8("København"));
    QCOMPARE(contact.nick(), QString::fromUtf8("中"));
    QCOMPARE(contact.postalCode(), QString::fromLatin1("\xc3\xa9"));
    QCOMPARE(contact.sipUser().size(), 2);
}

void TestContact::withoutPhonesHasNoPhonesMember()
{
    Contact contact;
    contact.setNick(QStringLiteral("n"));
    const QVariantMap map = contact.toVariant().toMap();
    QVERIFY(!map.contains(QStringLiteral("phones")));
    const QStringList keys = { QStringLiteral("addressLine1"), QStringLiteral("addressLine2"),
        QStringLiteral("birthDate"), QStringLiteral("city"), QStringLiteral("class"),
        QStringLiteral("country"), QStringLiteral("emails"), QStringLiteral("firstName"),
        QStringLiteral("groupName"), QStringLiteral("lastName"), QStringLiteral("nick"),
        QStringLiteral("postalCode"), QStringLiteral("sipUser"), QStringLiteral("state") };
    QCOMPARE(map.keys(), keys);
}

void TestContact::withPhonesWritesPhoneMaps()
{
    Contact contact;
    contact.setPhones(
        { phone(PhoneNumber::Cell, QStringLiteral("1")), phone(PhoneNumber::Home, QStringLiteral("2")) });
    const QVariantList phones = contact.toVariant().toMap().value(QStringLiteral("phones")).toList();
    QCOMPARE(phones.size(), 2);
    for (const QVariant &p : phones) {
        QCOMPARE(p.toMap().keys(),
            QStringList({ QStringLiteral("class"), QStringLiteral("number"), QStringLiteral("type") }));
        QCOMPARE(p.toMap().value(QStringLiteral("class")).toString(),
            QStringLiteral("com.zorvanglobe.phone.integration.PhoneNumber"));
    }
    QCOMPARE(phones.at(0).toMap().value(QStringLiteral("type")).toString(), QStringLiteral("CELL"));
    QCOMPARE(phones.at(1).toMap().value(QStringLiteral("number")).toString(), QStringLiteral("2"));
}

void TestContact::nullBirthDateIsEmptyText()
{
    Contact contact;
    QVERIFY(jsonOf(contact.toVariant()).contains("\"birthDate\" : \"\""));
    contact.setBirthDate(QDate(1999, 12, 31));
    QVERIFY(jsonOf(contact.toVariant()).contains("\"birthDate\" : \"1999-12-31\""));

    const Contact fromNull(parseReply("{\"birthDate\":null}"));
    QVERIFY(fromNull.birthDate().isNull());
    const Contact fromEmpty(parseReply("{\"birthDate\":\"\"}"));
    QVERIFY(fromEmpty.birthDate().isNull());
}

void TestContact::fullText()
{
    Contact contact;
    contact.setNick(QStringLiteral("zoe1"));
    contact.setFirstName(QString::fromUtf8("Zoë"));
    contact.setEmails({ QStringLiteral("z@x.test") });
    contact.setPhones({ phone(PhoneNumber::Work, QStringLiteral("+44")) });
    QCOMPARE(jsonOf(contact.toVariant()),
        QByteArray(
            "{ \"addressLine1\" : \"\", \"addressLine2\" : \"\", \"birthDate\" : \"\", \"city\" : \"\", "
            "\"class\" : \"com.zorvanglobe.phone.integration.Contact\", \"country\" : \"\", "
            "\"emails\" : [ \"z@x.test\" ], \"firstName\" : \"Zo\xc3\xab\", \"groupName\" : \"\", "
            "\"lastName\" : \"\", \"nick\" : \"zoe1\", \"phones\" : [ { \"class\" : "
            "\"com.zorvanglobe.phone.integration.PhoneNumber\", \"number\" : \"+44\", \"type\" : \"WORK\" } "
            "], "
            "\"postalCode\" : \"\", \"sipUser\" : \"\", \"state\" : \"\" }"));
}

void TestContact::phonesKeepTheirOwnErrors()
{
    const Contact contact(parseReply("{\"phones\":[{\"number\":\"1\",\"errorMessage\":\"bad number\"}]}"));
    QCOMPARE(contact.phones().size(), 1);
    QCOMPARE(contact.phones().at(0).errorMessage(), QStringLiteral("bad number"));
    QVERIFY(contact.errorMessage().isEmpty());
}

void TestContact::fromVariantAppendsPhones()
{
    Contact contact(parseReply("{\"phones\":[{\"number\":\"1\"}]}"));
    contact.fromVariant(parseReply("{\"phones\":[{\"number\":\"2\"}]}"));
    QCOMPARE(contact.phoneNumbers(), QStringList({ QStringLiteral("1"), QStringLiteral("2") }));
}

void TestContact::errorMembersReadWithRecord()
{
    const Contact contact(parseReply("{\"nick\":\"n1\",\"errorMessage\":\"Contact exists\","
                                     "\"fieldErrors\":[{\"field\":\"nick\",\"errorCode\":\"duplicate\"}]}"));
    QCOMPARE(contact.nick(), QStringLiteral("n1"));
    QCOMPARE(contact.errorMessage(), QStringLiteral("Contact exists"));
    QCOMPARE(contact.fieldErrors().size(), 1);
    QCOMPARE(contact.fieldErrors().at(0).errorCode, QStringLiteral("duplicate"));
    QVERIFY(!contact.toVariant().toMap().contains(QStringLiteral("errorMessage")));
}

void TestContact::copyDuplicatesPhones()
{
    Contact original;
    original.setPhones({ phone(PhoneNumber::Cell, QStringLiteral("1")) });
    Contact copy = original;
    original.setPhones({});
    QCOMPARE(copy.phoneNumbers(), QStringList({ QStringLiteral("1") }));
}

void TestContact::displayName_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("expected");

    QTest::newRow("both names") << "Anna"
                                << "Berg"
                                << "n"
                                << "Anna Berg";
    QTest::newRow("first only") << "Anna"
                                << ""
                                << "n"
                                << "Anna";
    QTest::newRow("last only") << ""
                               << "Berg"
                               << "n"
                               << "Berg";
    QTest::newRow("nick only") << ""
                               << ""
                               << "n"
                               << "n";
    QTest::newRow("nothing") << ""
                             << ""
                             << ""
                             << "";
}

void TestContact::displayName()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, nick);
    QFETCH(QString, expected);

    Contact contact;
    contact.setFirstName(first);
    contact.setLastName(last);
    contact.setNick(nick);
    QCOMPARE(contact.displayName(), expected);
}

void TestContact::generateNickFromFirstNameAndPhone()
{
    Contact contact;
    contact.setFirstName(QStringLiteral("Anna"));
    contact.setPhones({ phone(PhoneNumber::Cell, QStringLiteral("+4790000000")),
        phone(PhoneNumber::Work, QStringLiteral("+4722000000")) });
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const QString nick = contact.generateNick();
    const QString prefix = QStringLiteral("Anna+4790000000");
    QVERIFY2(nick.startsWith(prefix), qPrintable(nick));
    bool isNumber = false;
    const qint64 stamp = nick.mid(prefix.size()).toLongLong(&isNumber);
    QVERIFY(isNumber);
    QVERIFY(stamp >= before);
}

void TestContact::generateNickIsNeverEmpty_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("first name, no phone") << "Anna"
                                          << ""
                                          << ""
                                          << "Anna";
    QTest::newRow("last name and phone") << ""
                                         << "Berg"
                                         << "+47"
                                         << "Berg+47";
    QTest::newRow("phone only") << ""
                                << ""
                                << "+47"
                                << "+47";
    QTest::newRow("nothing") << ""
                             << ""
                             << ""
                             << "contact";
}

void TestContact::generateNickIsNeverEmpty()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, number);
    QFETCH(QString, prefix);

    Contact contact;
    contact.setFirstName(first);
    contact.setLastName(last);
    if (!number.isEmpty())
        contact.setPhones({ phone(PhoneNumber::Home, number) });
    const QString nick = contact.generateNick();
    QVERIFY2(nick.startsWith(prefix), qPrintable(nick));
    bool isNumber = false;
    nick.mid(prefix.size()).toLongLong(&isNumber);
    QVERIFY2(isNumber, qPrintable(nick));
}

// Imported entries without names are made in a tight loop; each must still get its own nick.
void TestContact::generatedNicksDiffer()
{
    const Contact empty;
    QSet<QString> nicks;
    for (int i = 0; i < 1000; ++i)
        nicks.insert(empty.generateNick());
    QCOMPARE(nicks.size(), 1000);
}

void TestContact::phoneNumbersAndTypes()
{
    Contact contact;
    QVERIFY(contact.phoneNumbers().isEmpty());
    QVERIFY(contact.phoneTypes().isEmpty());
    contact.setPhones({ phone(PhoneNumber::Work, QStringLiteral("1")),
        phone(PhoneNumber::Cell, QStringLiteral("2")), phone(PhoneNumber::Home, QStringLiteral("3")) });
    QCOMPARE(contact.phoneNumbers(),
        QStringList({ QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") }));
    QCOMPARE(contact.phoneTypes(), QVariantList({ 1, 2, 0 }));
}

void TestContact::blankEmailsAreDropped_data()
{
    QTest::addColumn<QStringList>("emails");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("one empty") << QStringList { QString() } << QStringList {};
    QTest::newRow("one blank") << QStringList { QStringLiteral("  ") } << QStringList {};
    QTest::newRow("blank among others")
        << QStringList { QStringLiteral("a@x.test"), QStringLiteral(""), QStringLiteral("b@x.test") }
        << QStringList { QStringLiteral("a@x.test"), QStringLiteral("b@x.test") };
    QTest::newRow("none") << QStringList {} << QStringList {};
}

// A contact saved without an e-mail must not carry [""]: every such contact would then share an address.
void TestContact::blankEmailsAreDropped()
{
    QFETCH(QStringList, emails);
    QFETCH(QStringList, expected);

    Contact contact;
    contact.setEmails(emails);
    QCOMPARE(contact.emails(), expected);

    QVariantMap reply;
    reply.insert(QStringLiteral("emails"), emails);
    QCOMPARE(Contact(reply).emails(), expected);
    QCOMPARE(contact.toVariant().toMap().value(QStringLiteral("emails")).toStringList(), expected);
}

QTEST_APPLESS_MAIN(TestContact)
#include "tst_contact.moc"
