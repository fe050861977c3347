#include <QtTest>

#include "phonenumbervalidator.h"

class TestPhoneNumberValidator : public QObject
{
    Q_OBJECT

private slots:
    void validate_data();
    void validate();
    void fixup_data();
    void fixup();
    void cursorFollowsText_data();
    void cursorFollowsText();
};

void TestPhoneNumberValidator::validate_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("state");

    const int ok = QValidator::Acceptable;
    const int bad = QValidator::Invalid;
    QTest::newRow("empty") << ""
                           << "" << ok;
    QTest::newRow("digits") << "442079460000"
                            << "442079460000" << ok;
    QTest::newRow("plus and dash") << "+44-2079460000"
                                   << "+44-2079460000" << ok;
    QTest::newRow("plus alone") << "+"
                                << "+" << ok;
    QTest::newRow("star hash dash") << "*#-"
                                    << "*#-" << ok;
    QTest::newRow("pasted with brackets and blanks") << "+1 (212) 555-0100"
                                                     << "+1212555-0100" << ok;
    QTest::newRow("letters only") << "call me"
                                  << "" << ok;
    QTest::newRow("letters mixed") << "tel:0044 20x7"
                                   << "0044207" << ok;
    QTest::newRow("tab and newline") << "12\t34\n5"
                                     << "12345" << ok;
    QTest::newRow("non-ascii digits dropped") << QString::fromUtf8("1\u0662\u0663") << "1" << ok;
    QTest::newRow("plus in the middle") << "12+3"
                                        << "12+3" << bad;
    QTest::newRow("two leading plus") << "++44"
                                      << "++44" << bad;
    QTest::newRow("trailing plus") << "44+"
                                   << "44+" << bad;
    QTest::newRow("plus after removed blank") << " +44"
                                              << "+44" << ok;
}

void TestPhoneNumberValidator::validate()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(int, state);

    PhoneNumberValidator validator;
    int pos = input.size();
    const QValidator::State result = validator.validate(input, pos);
    QCOMPARE(input, expected);
    QCOMPARE(int(result), state);
    QVERIFY(result != QValidator::Intermediate);
}

void TestPhoneNumberValidator::fixup_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("clean") << "+1-212*#"
                           << "+1-212*#";
    QTest::newRow("dirty") << "a+b1c(2)d 3.4/5"
                           << "+12345";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("keeps misplaced plus") << "1+2"
                                          << "1+2";
}

void TestPhoneNumberValidator::fixup()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);

    PhoneNumberValidator validator;
    validator.fixup(input);
    QCOMPARE(input, expected);
}

void TestPhoneNumberValidator::cursorFollowsText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("expectedPos");

    QTest::newRow("at end after removals") << "1 2 3" << 5 << 3;
    QTest::newRow("at start") << "a1" << 0 << 0;
    QTest::newRow("inside") << "1 2 3" << 2 << 1;
    QTest::newRow("right after a removed character") << "12 " << 3 << 2;
    QTest::newRow("nothing removed") << "123" << 2 << 2;
    QTest::newRow("past the end") << "1 2" << 10 << 2;
    QTest::newRow("negative") << "1 2" << -3 << 0;
    QTest::newRow("everything removed") << "abc" << 3 << 0;
}

void TestPhoneNumberValidator::cursorFollowsText()
{
    QFETCH(QString, input);
    QFETCH(int, pos);
    QFETCH(int, expectedPos);

    PhoneNumberValidator validator;
    validator.validate(input, pos);
    QCOMPARE(pos, expectedPos);
    QVERIFY(pos >= 0 && pos <= input.size());
}

QTEST_APPLESS_MAIN(TestPhoneNumberValidator)
#include "tst_phonenumbervalidator.moc"
