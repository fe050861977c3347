#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "countrydesc.h"
#include "history/history.h"
#include "numbers/numberhistory.h"
#include "prefixprovider.h"
#include "ui/flagpopup.h"
#include "ui/numberedit.h"
#include "ui/recentnumberspopup.h"
#include "util/dbstore.h"

class TstNumberEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void recognisesTheCountry_data();
    void recognisesTheCountry();
    void normalized_data();
    void normalized();
    void keepsOnlyDialableCharacters_data();
    void keepsOnlyDialableCharacters();
    void pickingByClickStartsAFreshNumber_data();
    void pickingByClickStartsAFreshNumber();
    void clearButtonFollowsTheText();
    void clearButtonClears();
    void recentNumberFillsTheField();
    void recentNumbersAtMostSixteen();
    void noHistoryNoRecentNumbers();
    void firstCountryNeverReformats();
    void saveAndReturnSignals();
    void keysWithoutPhoneAreJustTyped();

private:
    NumberEdit *makeEdit();
    QString countryOf(NumberEdit *edit) const;
    QLineEdit *lineEdit(NumberEdit *edit) const;
    QPushButton *button(NumberEdit *edit, const char *name) const;

    QTemporaryDir folder;
    std::unique_ptr<DbStore> store;
    std::unique_ptr<PrefixProvider> prefixes;
    std::unique_ptr<History> history;
    QList<NumberEdit *> edits;
};

void TstNumberEdit::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prefixes = std::make_unique<PrefixProvider>();
    QVERIFY(prefixes->count() > 200);
    store = std::make_unique<DbStore>();
    store->setDataFolder(folder.path());
    store->loadDatabases();
    QVERIFY(store->isOpen());
    history = std::make_unique<History>();
}

void TstNumberEdit::cleanupTestCase()
{
    qDeleteAll(edits);
    history.reset();
    store->closeDatabases();
}

NumberEdit *TstNumberEdit::makeEdit()
{
    auto *edit = new NumberEdit;
    edit->setPrefixProvider(prefixes.get());
    edits << edit;
    return edit;
}

QString TstNumberEdit::countryOf(NumberEdit *edit) const
{
    return button(edit, "flagButton")->toolTip();
}

QLineEdit *TstNumberEdit::lineEdit(NumberEdit *edit) const
{
    return edit->findChild<QLineEdit *>(QStringLiteral("numberLineEdit"));
}

QPushButton *TstNumberEdit::button(NumberEdit *edit, const char *name) const
{
    return edit->findChild<QPushButton *>(QLatin1String(name));
}

void TstNumberEdit::recognisesTheCountry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plus 44") << QStringLiteral("+442079460000") << QStringLiteral("United Kingdom")
                             << QStringLiteral("44-2079460000");
    QTest::newRow("0044") << QStringLiteral("00442079460000") << QStringLiteral("United Kingdom")
                          << QStringLiteral("44-2079460000");
    QTest::newRow("01144") << QStringLiteral("011442079460000") << QStringLiteral("United Kingdom")
                           << QStringLiteral("44-2079460000");
    QTest::newRow("1416 is Canada, as typed")
        << QStringLiteral("14165550000") << QStringLiteral("Canada") << QStringLiteral("14165550000");
    QTest::newRow("1212 is the USA") << QStringLiteral("12125550000") << QStringLiteral("USA")
                                     << QStringLiteral("1-2125550000");
    QTest::newRow("49 Germany") << QStringLiteral("+49301234567") << QStringLiteral("Germany")
                                << QStringLiteral("49-301234567");
}

void TstNumberEdit::recognisesTheCountry()
{
    QFETCH(QString, typed);
    QFETCH(QString, country);
    QFETCH(QString, shown);
    NumberEdit *edit = makeEdit();
    edit->setText(typed);
    QCOMPARE(countryOf(edit), country);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(prefixes->country(edit->countryIndex())->name(), country);
}

void TstNumberEdit::normalized_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digits");
    QTest::newRow("plus") << QStringLiteral("+44-20") << QStringLiteral("4420");
    QTest::newRow("zeros") << QStringLiteral("0044 20") << QStringLiteral("44 20");
    QTest::newRow("011") << QStringLiteral("01144") << QStringLiteral("44");
    QTest::newRow("blank around") << QStringLiteral("  1212 ") << QStringLiteral("1212");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("only zeros") << QStringLiteral("000") << QString();
}

void TstNumberEdit::normalized()
{
    QFETCH(QString, text);
    QFETCH(QString, digits);
    QCOMPARE(NumberEdit::normalized(text), digits);
}

void TstNumberEdit::keepsOnlyDialableCharacters_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::newRow("letters and blanks") << QStringLiteral("call me 555 12") << QStringLiteral("55512");
    QTest::newRow("brackets") << QStringLiteral("(555) 123-4") << QStringLiteral("555123-4");
    QTest::newRow("symbols") << QStringLiteral("*#5") << QStringLiteral("*#5");
    QTest::newRow("plus kept") << QStringLiteral("tel: +44 (20) 7946") << QStringLiteral("+44207946");
}

void TstNumberEdit::keepsOnlyDialableCharacters()
{
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    NumberEdit *edit = makeEdit();
    QLineEdit *field = lineEdit(edit);
    edit->show();
    field->setFocus();
    QString input = pasted;
    int pos = 0;
    // Never "intermediate": what is not dialable is simply dropped.
    QCOMPARE(field->validator()->validate(input, pos), QValidator::Acceptable);
    QCOMPARE(input, kept);
    field->insert(pasted);
    // The field may add the country's dash; it never keeps anything undialable.
    QVERIFY2(QRegularExpression(QStringLiteral("^\\+?[0-9*#-]*$")).match(field->text()).hasMatch(),
        qPrintable(field->text()));
    QString digits = field->text();
    digits.remove(QLatin1Char('-'));
    QString keptDigits = kept;
    keptDigits.remove(QLatin1Char('-'));
    // A recognised country replaces the "+" with its prefix and a dash.
    if (field->text().contains(QLatin1Char('-')))
        keptDigits.remove(QLatin1Char('+'));
    QCOMPARE(digits, keptDigits);
}

void TstNumberEdit::pickingByClickStartsAFreshNumber_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Canada leaves the field alone") << QStringLiteral("Canada") << QString();
    QTest::newRow("Germany writes its prefix") << QStringLiteral("Germany") << QStringLiteral("49-");
}

void TstNumberEdit::pickingByClickStartsAFreshNumber()
{
    QFETCH(QString, country);
    QFETCH(QString, shown);
    NumberEdit *edit = makeEdit();
    edit->setText(QStringLiteral("12125550000"));
    QListWidget *list = edit->flagPopup()->listWidget();
    int row = -1;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == country) {
            row = i;
            break;
        }
    }
    QVERIFY(row >= 0);
    const QString before = edit->text();
    edit->flagPopup()->onPrefixSelected(list->model()->index(row, 0), true);
    QCOMPARE(countryOf(edit), country);
    // Canada's prefixes are area codes: nothing is written into the field for it.
    QCOMPARE(edit->text(), shown.isEmpty() ? before : shown);
}

void TstNumberEdit::clearButtonFollowsTheText()
{
    NumberEdit *edit = makeEdit();
    QPushButton *recent = button(edit, "recentClearButton");
    QCOMPARE(recent->property("_is_clear").toBool(), false);
    QCOMPARE(recent->toolTip(), QStringLiteral("Show recent numbers"));
    QVERIFY(button(edit, "saveNumberButton")->isHidden());
    edit->setText(QStringLiteral("5"));
    QCOMPARE(recent->property("_is_clear").toBool(), true);
    QCOMPARE(recent->toolTip(), QStringLiteral("Clear number"));
    QVERIFY(!button(edit, "saveNumberButton")->isHidden());
    edit->clearNumber();
    QCOMPARE(recent->property("_is_clear").toBool(), false);
    QCOMPARE(recent->toolTip(), QStringLiteral("Show recent numbers"));
}

void TstNumberEdit::clearButtonClears()
{
    NumberEdit *edit = makeEdit();
    edit->setNumberHistory(history->numberHistory());
    edit->setText(QStringLiteral("555"));
    button(edit, "recentClearButton")->click();
    QCOMPARE(edit->text(), QString());
    QVERIFY(!edit->recentNumbersPopup()->isVisible());
}

void TstNumberEdit::recentNumbersAtMostSixteen()
{
    NumberEdit *edit = makeEdit();
    edit->setNumberHistory(history->numberHistory());
    for (int i = 0; i < 20; ++i)
        history->numberHistory()->addNumber(QStringLiteral("+1555010%1").arg(i, 2, 10, QLatin1Char('0')));
    edit->show();
    button(edit, "recentClearButton")->click();
    QCOMPARE(edit->recentNumbersPopup()->listWidget()->count(), 16);
    QVERIFY(edit->recentNumbersPopup()->isVisible());
    // Held down while its popup is open.
    QVERIFY(button(edit, "recentClearButton")->isChecked());
    QVERIFY(!button(edit, "recentClearButton")->isEnabled());
    edit->recentNumbersPopup()->onClosePicker();
    QVERIFY(!button(edit, "recentClearButton")->isChecked());
    QVERIFY(button(edit, "recentClearButton")->isEnabled());

    RecentNumbersPopup popup;
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QString::number(i);
    popup.setNumbers(many);
    QCOMPARE(popup.listWidget()->count(), RecentNumbersPopup::maxNumbers);
    QCOMPARE(popup.listWidget()->item(0)->text(), QStringLiteral("0"));
}

void TstNumberEdit::recentNumberFillsTheField()
{
    NumberEdit *edit = makeEdit();
    edit->setNumberHistory(history->numberHistory());
    history->numberHistory()->addNumber(QStringLiteral("+15550177"));
    edit->show();
    button(edit, "recentClearButton")->click();
    QListWidget *list = edit->recentNumbersPopup()->listWidget();
    const QList<QListWidgetItem *> found = list->findItems(QStringLiteral("+15550177"), Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QSignalSpy changed(edit, &NumberEdit::numberChanged);
    edit->recentNumbersPopup()->onNumberSelected(list->model()->index(list->row(found.first()), 0));
    QCOMPARE(edit->text(), QStringLiteral("1-5550177"));
    QVERIFY(!changed.isEmpty());
    QVERIFY(!edit->recentNumbersPopup()->isVisible());
}

void TstNumberEdit::noHistoryNoRecentNumbers()
{
    NumberEdit *edit = makeEdit();
    QPushButton *recent = button(edit, "recentClearButton");
    // Without a number history the button has nothing to open, and a click does no harm.
    QVERIFY(!recent->isEnabled());
    QMetaObject::invokeMethod(edit, "onRecentClearClicked");
    QVERIFY(!edit->recentNumbersPopup()->isVisible());
    edit->setText(QStringLiteral("12"));
    QVERIFY(recent->isEnabled());
    recent->click();
    QCOMPARE(edit->text(), QString());
}

void TstNumberEdit::firstCountryNeverReformats()
{
    QCOMPARE(prefixes->countryPrefixes(0), QStringList());
    NumberEdit *edit = makeEdit();
    edit->setText(QStringLiteral("93-700"));
    const QString before = edit->text();
    QMetaObject::invokeMethod(edit, "onFormatNumberRequested", Q_ARG(int, 0));
    QCOMPARE(edit->text(), before);
}

void TstNumberEdit::saveAndReturnSignals()
{
    NumberEdit *edit = makeEdit();
    QSignalSpy save(edit, &NumberEdit::saveNumberClicked);
    QSignalSpy returned(edit, &NumberEdit::returnPressed);
    edit->setText(QStringLiteral("+15550100"));
    button(edit, "saveNumberButton")->click();
    QCOMPARE(save.count(), 1);
    QCOMPARE(save.first().first().toString(), edit->text());
    edit->show();
    QTest::keyClick(lineEdit(edit), Qt::Key_Return);
    QCOMPARE(returned.count(), 1);
}

void TstNumberEdit::keysWithoutPhoneAreJustTyped()
{
    NumberEdit *edit = makeEdit();
    edit->show();
    QTest::keyClicks(lineEdit(edit), QStringLiteral("12#*"));
    QCOMPARE(edit->text(), QStringLiteral("1-2#*"));
}

QTEST_MAIN(TstNumberEdit)
#include "tst_numberedit.moc"
