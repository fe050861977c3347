#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "ui/createaccountdialog.h"

class TestCreateAccountDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void email_data();
    void email();
    void fields_data();
    void fields();
    void titleAndTabOrder();

private:
    static void fill(CreateAccountDialog &dialog, const QStringList &values);
};

void TestCreateAccountDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestCreateAccountDialog::email_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "ann@example.org" << true;
    QTest::newRow("upper case") << "ANN@EXAMPLE.ORG" << true;
    QTest::newRow("dots plus percent") << "a.b+c%d_e-f@mail.example.co" << true;
    QTest::newRow("four letter top level") << "ann@example.info" << true;
    QTest::newRow("five letter top level") << "ann@example.email" << false;
    QTest::newRow("one letter top level") << "ann@example.o" << false;
    QTest::newRow("no at") << "ann.example.org" << false;
    QTest::newRow("no domain dot") << "ann@localhost" << false;
    QTest::newRow("blank inside") << "an n@example.org" << false;
    QTest::newRow("leading blank") << " ann@example.org" << false;
    QTest::newRow("trailing text") << "ann@example.org x" << false;
    QTest::newRow("two addresses") << "a@b.org,c@d.org" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("umlaut") << "jürgen@example.de" << false;
}

void TestCreateAccountDialog::email()
{
    QFETCH(QString, email);
    QFETCH(bool, valid);
    QCOMPARE(CreateAccountDialog::isValidEmail(email), valid);
}

void TestCreateAccountDialog::fill(CreateAccountDialog &dialog, const QStringList &values)
{
    const char *names[] = { "emailLineEdit", "passwordLineEdit", "passwordConfirmLineEdit",
        "firstNameLineEdit", "lastNameLineEdit" };
    for (int i = 0; i < 5; ++i)
        dialog.findChild<QLineEdit *>(QLatin1String(names[i]))->setText(values.at(i));
}

void TestCreateAccountDialog::fields_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("invalidLabels");
    QTest::newRow("all good") << QStringList({ "ann@example.org", "pw", "pw", "Ann", "Lee" }) << ""
                              << QStringList();
    QTest::newRow("all empty") << QStringList({ "", "", "", "", "" })
                               << "The following fields are invalid: Email, Password, Retype Password, "
                                  "First Name, Last Name"
                               << QStringList({ "emailLabel", "passwordLabel", "passwordConfirmLabel",
                                      "firstNameLabel", "lastNameLabel" });
    QTest::newRow("passwords differ") << QStringList({ "ann@example.org", "pw", "pW", "Ann", "Lee" })
                                      << "The following fields are invalid: Retype Password"
                                      << QStringList({ "passwordConfirmLabel" });
    QTest::newRow("blank names") << QStringList({ "ann@example.org", "pw", "pw", "  ", "\t" })
                                 << "The following fields are invalid: First Name, Last Name"
                                 << QStringList({ "firstNameLabel", "lastNameLabel" });
    QTest::newRow("bad email only") << QStringList({ "ann@", "pw", "pw", "Ann", "Lee" })
                                    << "The following fields are invalid: Email" << QStringList({ "emailLabel" });
}

void TestCreateAccountDialog::fields()
{
    QFETCH(QStringList, values);
    QFETCH(QString, error);
    QFETCH(QStringList, invalidLabels);
    CreateAccountDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    fill(dialog, values);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("createButton")), Qt::LeftButton);
    QCOMPARE(dialog.errorText(), error);
    QCOMPARE(dialog.result(), error.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(dialog.isVisible(), !error.isEmpty());
    for (const char *name : { "emailLabel", "passwordLabel", "passwordConfirmLabel", "firstNameLabel", "lastNameLabel" }) {
        auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
        QVERIFY(label);
        QCOMPARE(label->property("_invalid").toBool(), invalidLabels.contains(QLatin1String(name)));
    }
}

void TestCreateAccountDialog::titleAndTabOrder()
{
    CreateAccountDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Create Account"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *email = dialog.findChild<QLineEdit *>(QStringLiteral("emailLineEdit"));
    email->setFocus();
    QWidget *next = email;
    QStringList order;
    for (int i = 0; i < 5; ++i) {
        next = next->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        order << next->objectName();
    }
    QCOMPARE(order, QStringList({ "passwordLineEdit", "passwordConfirmLineEdit", "firstNameLineEdit",
                        "lastNameLineEdit", "createButton" }));
}

QTEST_MAIN(TestCreateAccountDialog)
#include "tst_createaccountdialog.moc"
