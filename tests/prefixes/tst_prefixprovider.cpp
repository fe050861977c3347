#include <QtTest>
#include <QtWidgets>

#include "countrydesc.h"
#include "prefixprovider.h"

namespace {

int indexOfName(const PrefixProvider &provider, const QString &name)
{
    for (int i = 0; i < provider.count(); ++i) {
        if (provider.country(i)->name() == name)
            return i;
    }
    return -1;
}

// Writes a table with the given entry lines after the header and the empty line.
QString writeTable(const QTemporaryDir &dir, const QString &fileName, const QStringList &lines)
{
    const QString path = dir.filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(lines.join(QLatin1String("\r\n")).toUtf8());
    return path;
}

QString header()
{
    return QStringLiteral("IMG, PREF, COUNTRY_NAME, CODE");
}

} // namespace

class TestPrefixProvider : public QObject
{
    Q_OBJECT

private slots:
    void loadsShippedTable();
    void prefixOf_data();
    void prefixOf();
    void indexOfPrefix_data();
    void indexOfPrefix();
    void flagForNumber();
    void countryPrefixes_data();
    void countryPrefixes();
    void countryItems();
    void itemAccessorsOnForeignItems();
    void skipsMalformedLines();
    void bailsOutOnShortFile_data();
    void bailsOutOnShortFile();
    void missingTableStaysEmpty();
    void withoutDialPrefix_data();
    void withoutDialPrefix();

private:
    PrefixProvider *m_provider = nullptr;
    QTemporaryDir m_dir;

private slots:
    void initTestCase();
};

void TestPrefixProvider::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    m_provider = new PrefixProvider(this);
}

void TestPrefixProvider::loadsShippedTable()
{
    QVERIFY(m_provider->count() > 200);
    QCOMPARE(m_provider->country(0)->name(), QStringLiteral("Afghanistan"));
    QCOMPARE(m_provider->country(0)->prefixes(), QStringList { "93" });
    QCOMPARE(m_provider->country(m_provider->count() - 1)->name(), QStringLiteral("Zimbabwe"));
    QVERIFY(m_provider->country(-1) == nullptr);
    QVERIFY(m_provider->country(m_provider->count()) == nullptr);

    const int canada = indexOfName(*m_provider, QStringLiteral("Canada"));
    QVERIFY(canada > 0);
    const QStringList areaCodes = m_provider->country(canada)->prefixes();
    QVERIFY(areaCodes.size() > 30);
    QVERIFY(areaCodes.contains(QStringLiteral("1416")));
    QCOMPARE(areaCodes.first(), QStringLiteral("1204"));

    const int uk = indexOfName(*m_provider, QStringLiteral("United Kingdom"));
    QVERIFY(uk > 0);
    QCOMPARE(m_provider->country(uk)->code(), QStringLiteral("UK"));
    QVERIFY(!m_provider->country(uk)->flag().isNull());
}

void TestPrefixProvider::prefixOf_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("plus 44") << "+442079460000"
                             << "44";
    QTest::newRow("00 44") << "00442079460000"
                           << "44";
    QTest::newRow("011 44") << "011442079460000"
                            << "44";
    QTest::newRow("44 with dashes") << "+44-20-7946-0000"
                                    << "44";
    QTest::newRow("44 with blanks around") << "  +44 20 7946 0000 "
                                           << "44";
    QTest::newRow("Toronto is Canada") << "14165550100"
                                       << "1416";
    QTest::newRow("Toronto with plus and dash") << "+1-416-555-0100"
                                                << "1416";
    QTest::newRow("New York is the USA") << "12125550100"
                                         << "1";
    QTest::newRow("New York with plus") << "+1-212-555-0100"
                                        << "1";
    QTest::newRow("Alaska") << "+19075550100"
                            << "1907";
    QTest::newRow("Jamaica second area code") << "+16585550100"
                                              << "1658";
    QTest::newRow("Russia") << "+74951234567"
                            << "7";
    QTest::newRow("Kazakhstan") << "+77011234567"
                                << "77";
    QTest::newRow("Saint Helena") << "+29022222"
                                  << "290";
    QTest::newRow("Tristan da Cunha") << "+2908888"
                                      << "2908";
    QTest::newRow("Afghanistan") << "0093701234567"
                                 << "93";
    QTest::newRow("Zimbabwe") << "+263771234567"
                              << "263";
    QTest::newRow("prefix only") << "+44"
                                 << "44";
    QTest::newRow("shorter than the longest prefix") << "+2"
                                                     << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("plus only") << "+"
                               << "";
    QTest::newRow("zeros only") << "0000"
                                << "";
    QTest::newRow("letters") << "abcd"
                             << "";
    QTest::newRow("star first") << "*44"
                                << "";
    QTest::newRow("unassigned code") << "+8081234"
                                     << "";
}

void TestPrefixProvider::prefixOf()
{
    QFETCH(QString, number);
    QFETCH(QString, prefix);
    QCOMPARE(m_provider->prefixOf(number), prefix);
}

void TestPrefixProvider::indexOfPrefix_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("country");

    QTest::newRow("44") << "44"
                        << "United Kingdom";
    QTest::newRow("1") << "1"
                       << "USA";
    QTest::newRow("1416") << "1416"
                          << "Canada";
    QTest::newRow("1204") << "1204"
                          << "Canada";
    QTest::newRow("93") << "93"
                        << "Afghanistan";
    QTest::newRow("4 is no prefix") << "4"
                                    << "";
    QTest::newRow("441 is no prefix") << "441"
                                      << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("padded is not exact") << " 44"
                                         << "";
}

void TestPrefixProvider::indexOfPrefix()
{
    QFETCH(QString, prefix);
    QFETCH(QString, country);
    const int expected = country.isEmpty() ? -1 : indexOfName(*m_provider, country);
    QCOMPARE(m_provider->indexOfPrefix(prefix), expected);
}

void TestPrefixProvider::flagForNumber()
{
    const int uk = indexOfName(*m_provider, QStringLiteral("United Kingdom"));
    const QPixmap flag = m_provider->flagForNumber(QStringLiteral("+442079460000"));
    QVERIFY(!flag.isNull());
    QCOMPARE(flag.cacheKey(), m_provider->country(uk)->flag().cacheKey());
    QVERIFY(m_provider->flagForNumber(QString()).isNull());
    QVERIFY(m_provider->flagForNumber(QStringLiteral("+808")).isNull());
}

void TestPrefixProvider::countryPrefixes_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("empty");

    QTest::newRow("negative") << -1 << true;
    QTest::newRow("first country") << 0 << true;
    QTest::newRow("second country") << 1 << false;
    QTest::newRow("last country") << -2 << false; // -2: count() - 1
    QTest::newRow("one past the end") << -3 << true; // -3: count()
}

void TestPrefixProvider::countryPrefixes()
{
    QFETCH(int, index);
    QFETCH(bool, empty);
    if (index == -2)
        index = m_provider->count() - 1;
    else if (index == -3)
        index = m_provider->count();
    const QStringList prefixes = m_provider->countryPrefixes(index);
    QCOMPARE(prefixes.isEmpty(), empty);
    if (!empty)
        QCOMPARE(prefixes, m_provider->country(index)->prefixes());
}

void TestPrefixProvider::countryItems()
{
    const QList<QListWidgetItem *> items = m_provider->countryItems();
    QCOMPARE(items.size(), m_provider->count());
    for (int i = 0; i < items.size(); ++i) {
        const CountryDesc *country = m_provider->country(i);
        QCOMPARE(PrefixProvider::nameOfItem(items.at(i)), country->name());
        QCOMPARE(PrefixProvider::prefixesOfItem(items.at(i)), country->prefixes());
        QCOMPARE(PrefixProvider::flagOfItem(items.at(i)).cacheKey(), country->flag().cacheKey());
    }
    qDeleteAll(items);
}

void TestPrefixProvider::itemAccessorsOnForeignItems()
{
    QListWidgetItem plain(QStringLiteral("United Kingdom"));
    QVERIFY(PrefixProvider::prefixesOfItem(&plain).isEmpty());
    QVERIFY(PrefixProvider::flagOfItem(&plain).isNull());
    QVERIFY(PrefixProvider::nameOfItem(&plain).isEmpty());
    QVERIFY(PrefixProvider::prefixesOfItem(nullptr).isEmpty());
    QVERIFY(PrefixProvider::flagOfItem(nullptr).isNull());
    QVERIFY(PrefixProvider::nameOfItem(nullptr).isEmpty());
}

void TestPrefixProvider::skipsMalformedLines()
{
    // Flag 2 exists in the resources; flag 99999 does not.
    const QStringList lines {
        header(), QString(),
        QStringLiteral("2  , 93  , Afghanistan , AF"), // 1
        QStringLiteral("2  , 94  , Three parts"), // 2
        QString(), // 3: skipped silently
        QStringLiteral("2  , 95  , Five , parts , XX"), // 4
        QStringLiteral("2  , 96  ,      , XX"), // 5
        QStringLiteral("99999, 97 , No Flag , NF"), // 6
        QStringLiteral("2  , 98  , Afghanistan , AF"), // 7: second prefix, flag not loaded again
        QStringLiteral("2  , 9a  , Bad Prefix , BP"), // 8
        QStringLiteral("2  ,     , No Prefix , NP"), // 9
        QStringLiteral("2  , 12345, Long Prefix , LP"), // 10
        QStringLiteral("2  , 99  , Last , LA"), // 11
        QStringLiteral("99999, 977 , Last , LA"), // 12: known name, flag not needed
    };
    const QString path = writeTable(m_dir, QStringLiteral("malformed.txt"), lines);
    QVERIFY(!path.isEmpty());

    QTest::ignoreMessage(QtDebugMsg,
        QRegularExpression(
            QStringLiteral("Ignoring country entry invalid entry with 3 parts .* in line 2\\b")));
    QTest::ignoreMessage(QtDebugMsg,
        QRegularExpression(
            QStringLiteral("Ignoring country entry invalid entry with 5 parts .* in line 4\\b")));
    QTest::ignoreMessage(QtDebugMsg,
        QRegularExpression(QStringLiteral("Ignoring country entry with empty name in line 5\\b")));
    QTest::ignoreMessage(
        QtDebugMsg, QRegularExpression(QStringLiteral("Ignoring entry without flag in line 6\\b")));
    QTest::ignoreMessage(QtDebugMsg,
        QRegularExpression(QStringLiteral("Ignoring country entry with invalid prefix \"9a\" in line 8\\b")));
    QTest::ignoreMessage(QtDebugMsg,
        QRegularExpression(QStringLiteral("Ignoring country entry with invalid prefix \"\" in line 9\\b")));
    QTest::ignoreMessage(QtDebugMsg,
        QRegularExpression(
            QStringLiteral("Ignoring country entry with invalid prefix \"12345\" in line 10\\b")));
    PrefixProvider provider(path);

    QCOMPARE(provider.count(), 2);
    QCOMPARE(provider.country(0)->name(), QStringLiteral("Afghanistan"));
    QCOMPARE(provider.country(0)->code(), QStringLiteral("AF"));
    QCOMPARE(provider.country(0)->prefixes(), (QStringList { "93", "98" }));
    QCOMPARE(provider.country(1)->name(), QStringLiteral("Last"));
    QCOMPARE(provider.country(1)->prefixes(), (QStringList { "99", "977" }));
    QCOMPARE(provider.prefixOf(QStringLiteral("+977123")), QStringLiteral("977"));
    QCOMPARE(provider.indexOfPrefix(QStringLiteral("97")), -1);
}

void TestPrefixProvider::bailsOutOnShortFile_data()
{
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty file") << QStringList { QString() };
    QTest::newRow("header only") << QStringList { header() };
}

void TestPrefixProvider::bailsOutOnShortFile()
{
    QFETCH(QStringList, lines);
    const QString path = writeTable(m_dir, QStringLiteral("short.txt"), lines);
    QVERIFY(!path.isEmpty());
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("Invalid .* file!, Bailing out\\.")));
    PrefixProvider provider(path);
    QCOMPARE(provider.count(), 0);
    QVERIFY(provider.prefixOf(QStringLiteral("+44")).isEmpty());
}

void TestPrefixProvider::missingTableStaysEmpty()
{
    PrefixProvider provider(m_dir.filePath(QStringLiteral("does-not-exist.txt")));
    QCOMPARE(provider.count(), 0);
    QVERIFY(provider.countryItems().isEmpty());
    QVERIFY(provider.countryPrefixes(1).isEmpty());
    QVERIFY(provider.flagForNumber(QStringLiteral("+44")).isNull());
}

void TestPrefixProvider::withoutDialPrefix_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("digits");

    QTest::newRow("plus") << "+44"
                          << "44";
    QTest::newRow("one plus only") << "++44"
                                   << "+44";
    QTest::newRow("00") << "0044"
                        << "44";
    QTest::newRow("011") << "01144"
                         << "44";
    QTest::newRow("011 after plus") << "+01144"
                                    << "44";
    QTest::newRow("dashes") << "-4-4-"
                            << "44";
    QTest::newRow("trimmed") << " \t+1 "
                             << "1";
    QTest::newRow("zeros") << "000"
                           << "";
    QTest::newRow("011 then zeros") << "0110044"
                                    << "44";
}

void TestPrefixProvider::withoutDialPrefix()
{
    QFETCH(QString, number);
    QFETCH(QString, digits);
    QCOMPARE(PrefixProvider::withoutDialPrefix(number), digits);
}

QTEST_MAIN(TestPrefixProvider)
#include "tst_prefixprovider.moc"
