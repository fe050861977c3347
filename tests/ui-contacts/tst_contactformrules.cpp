#include <QtTest>

#include "rest/contact.h"
#include "ui/contactformrules.h"

using namespace ContactFormRules;

namespace {

PhoneNumber phone(const QString &number, int type = PhoneNumber::Home)
{
    PhoneNumber p;
    p.setType(type);
    p.setNumber(number);
    return p;
}

} // namespace

class TstContactFormRules : public QObject
{
    Q_OBJECT
private slots:
    void email_data();
    void email();
    void phoneNumber_data();
    void phoneNumber();
    void phoneInput_data();
    void phoneInput();
    void groupName_data();
    void groupName();
    void groupInput_data();
    void groupInput();
    void widgetRow_data();
    void widgetRow();
    void storedNumber_data();
    void storedNumber();
    void newContactWithoutEmailHasNoEmail();
    void editKeepsWhatTheFormDoesNotShow();
    void editReplacesOrRemovesTheFirstEmail_data();
    void editReplacesOrRemovesTheFirstEmail();
    void editKeepsTypeTextOfUnchangedType();
};

void TstContactFormRules::email_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "ada@example.org" << true;
    QTest::newRow("upper case") << "ADA@EXAMPLE.ORG" << true;
    QTest::newRow("plus and dots") << "a.b+tag@mail.example.co" << true;
    QTest::newRow("trimmed") << "  ada@example.org  " << true;
    QTest::newRow("four letter top level") << "x@y.info" << true;
    QTest::newRow("no dot after at") << "ada@example" << false;
    QTest::newRow("no at") << "ada.example.org" << false;
    QTest::newRow("one letter top level") << "ada@example.o" << false;
    QTest::newRow("five letter top level") << "ada@example.abcde" << false;
    QTest::newRow("space inside") << "ada lovelace@example.org" << false;
    QTest::newRow("empty") << "" << false;
}

void TstContactFormRules::email()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(isValidEmail(text), valid);
}

void TstContactFormRules::phoneNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("1-, two digits, more digits") << "1-55-50100" << true;
    QTest::newRow("7- with plus") << "+7-49-5123456" << true;
    QTest::newRow("1- shortest") << "1-234" << true;
    QTest::newRow("1- too short") << "1-23" << false;
    QTest::newRow("country code 49, no dashes") << "4930123456" << true;
    QTest::newRow("country code with plus") << "+4915112345671" << true;
    QTest::newRow("three digit code, dash") << "353-123-4567" << true;
    QTest::newRow("two digit code, dash before three") << "49-301-23456" << true;
    QTest::newRow("trimmed") << "  +4930123456 " << true;
    QTest::newRow("shortest country code form") << "49301" << true;
    QTest::newRow("too short") << "4930" << false;
    QTest::newRow("ends with dash") << "4930123456-" << false;
    QTest::newRow("letters") << "49301abc56" << false;
    QTest::newRow("spaces inside") << "49 30 123456" << false;
    QTest::newRow("two plus") << "++4930123456" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("longest 1- form") << "1-23" + QString(11, QLatin1Char('4')) + "5" << true;
    QTest::newRow("1- form one too long") << "1-23" + QString(12, QLatin1Char('4')) + "5" << false;
}

void TstContactFormRules::phoneNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(isValidPhone(text), valid);
}

void TstContactFormRules::phoneInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digits") << "4930" << true;
    QTest::newRow("plus first") << "+49-30" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("plus later") << "49+30" << false;
    QTest::newRow("letter") << "49a" << false;
    QTest::newRow("space") << "49 30" << false;
}

void TstContactFormRules::phoneInput()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(phoneInputExpression().exactMatch(text), accepted);
}

void TstContactFormRules::groupName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("word") << "Climbing" << true;
    QTest::newRow("underscore and digits") << "team_2024" << true;
    QTest::newRow("letters beyond ASCII") << "Fußball" << true;
    QTest::newRow("trimmed") << " Choir " << true;
    QTest::newRow("space inside") << "Book club" << false;
    QTest::newRow("dash") << "a-b" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks") << "   " << false;
}

void TstContactFormRules::groupName()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(isValidGroupName(text), valid);
}

void TstContactFormRules::groupInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("twenty") << QString(20, QLatin1Char('g')) << true;
    QTest::newRow("twenty-one") << QString(21, QLatin1Char('g')) << false;
    QTest::newRow("space") << "a b" << false;
}

void TstContactFormRules::groupInput()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(groupInputExpression().exactMatch(text), accepted);
}

void TstContactFormRules::widgetRow_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<int>("row");
    QTest::newRow("first") << "phoneNumberWidget_1" << 0;
    QTest::newRow("fifth") << "callNumberButton_5" << 4;
    QTest::newRow("two digits") << "sendSMSButton_12" << 11;
    QTest::newRow("no suffix") << "editButton" << -1;
    QTest::newRow("zero") << "phone_0" << -1;
    QTest::newRow("trailing text") << "phone_1x" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TstContactFormRules::widgetRow()
{
    QFETCH(QString, objectName);
    QFETCH(int, row);
    QCOMPARE(ContactFormRules::widgetRow(objectName), row);
}

void TstContactFormRules::storedNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plus and dashes") << " +1-555-0100 "
                                     << "15550100";
    QTest::newRow("plain") << "4930123456"
                           << "4930123456";
}

void TstContactFormRules::storedNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(ContactFormRules::storedNumber(typed), stored);
}

void TstContactFormRules::newContactWithoutEmailHasNoEmail()
{
    ContactForm form;
    form.firstName = QStringLiteral(" Ada ");
    form.email = QStringLiteral("   ");
    form.groupName = QStringLiteral("Work");
    form.phones = { phone(QStringLiteral("15550100")) };
    const Contact contact = newContact(form);
    QCOMPARE(contact.firstName(), QStringLiteral("Ada"));
    QVERIFY(contact.emails().isEmpty());
    QCOMPARE(contact.groupName(), QStringLiteral("Work"));
}

// A contact from the service may hold more than the dialog shows; a save must not drop it.
void TstContactFormRules::editKeepsWhatTheFormDoesNotShow()
{
    Contact stored;
    stored.setNick(QStringLiteral("ada1"));
    stored.setFirstName(QStringLiteral("Ada"));
    stored.setLastName(QStringLiteral("Lovlace"));
    stored.setEmails({ QStringLiteral("a@x.org"), QStringLiteral("b@x.org") });
    stored.setCity(QStringLiteral("London"));
    QList<PhoneNumber> phones;
    for (int i = 1; i <= 7; ++i)
        phones.append(phone(QStringLiteral("4930555000%1").arg(i)));
    stored.setPhones(phones);

    ContactForm form;
    form.firstName = QStringLiteral("Ada");
    form.lastName = QStringLiteral("Lovelace");
    form.email = QStringLiteral("a@x.org");
    form.address = QStringLiteral("12 St James's Square");
    form.groupName = QStringLiteral("Work");
    for (int i = 1; i <= 5; ++i)
        form.phones.append(phone(QStringLiteral("4930555000%1").arg(i)));
    form.phones[1].setNumber(QStringLiteral("4930999"));

    const Contact edited = editedContact(stored, form);
    QCOMPARE(edited.nick(), QStringLiteral("ada1"));
    QCOMPARE(edited.lastName(), QStringLiteral("Lovelace"));
    QCOMPARE(edited.emails(), QStringList({ QStringLiteral("a@x.org"), QStringLiteral("b@x.org") }));
    QCOMPARE(edited.addressLine1(), QStringLiteral("12 St James's Square"));
    QCOMPARE(edited.city(), QStringLiteral("London"));
    QCOMPARE(edited.groupName(), QStringLiteral("Work"));
    QCOMPARE(edited.phoneNumbers(),
        QStringList({ QStringLiteral("49305550001"), QStringLiteral("4930999"), QStringLiteral("49305550003"),
            QStringLiteral("49305550004"), QStringLiteral("49305550005"), QStringLiteral("49305550006"),
            QStringLiteral("49305550007") }));
}

void TstContactFormRules::editReplacesOrRemovesTheFirstEmail_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("changed first") << QStringList { "a@x.org", "b@x.org" } << "c@x.org"
                                   << QStringList { "c@x.org", "b@x.org" };
    QTest::newRow("cleared first") << QStringList { "a@x.org", "b@x.org" } << " "
                                   << QStringList { "b@x.org" };
    QTest::newRow("added to none") << QStringList() << "c@x.org" << QStringList { "c@x.org" };
    QTest::newRow("none stays none") << QStringList() << "" << QStringList();
}

void TstContactFormRules::editReplacesOrRemovesTheFirstEmail()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, field);
    QFETCH(QStringList, expected);
    Contact contact;
    contact.setEmails(stored);
    ContactForm form;
    form.firstName = QStringLiteral("Ada");
    form.email = field;
    QCOMPARE(editedContact(contact, form).emails(), expected);
}

void TstContactFormRules::editKeepsTypeTextOfUnchangedType()
{
    Contact stored;
    PhoneNumber fax;
    fax.setTypeName(QStringLiteral("FAX"));
    fax.setNumber(QStringLiteral("4930111"));
    stored.setPhones({ fax, phone(QStringLiteral("4930222"), PhoneNumber::Work) });
    ContactForm form;
    form.firstName = QStringLiteral("Ada");
    form.phones = { phone(QStringLiteral("4930333"), PhoneNumber::Home),
        phone(QStringLiteral("4930222"), PhoneNumber::Cell) };
    const QList<PhoneNumber> phones = editedContact(stored, form).phones();
    QCOMPARE(phones.size(), 2);
    QCOMPARE(phones.at(0).typeName(), QStringLiteral("FAX"));
    QCOMPARE(phones.at(0).number(), QStringLiteral("4930333"));
    QCOMPARE(phones.at(1).type(), PhoneNumber::Cell);
}

QTEST_GUILESS_MAIN(TstContactFormRules)
#include "tst_contactformrules.moc"
