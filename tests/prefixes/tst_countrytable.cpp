// Invariants of the shipped country table and its flags.
#include <QtTest>
#include <QtWidgets>

#include "prefixprovider.h"

namespace {

struct Entry
{
    int line = 0;
    QString img;
    QString prefix;
    QString name;
    QString code;
};

// Alphabetical as a reader expects it: accents, case and punctuation ignored.
QString sortKey(const QString &name)
{
    QString key;
    for (const QChar c : name.normalized(QString::NormalizationForm_KD)) {
        if (c.isLetterOrNumber())
            key.append(c.toCaseFolded());
    }
    return key;
}

QtMessageHandler previousHandler = nullptr;
int warningsSeen = 0;

void countWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("[WARNING]")) || type >= QtWarningMsg)
        ++warningsSeen;
    previousHandler(type, context, message);
}

} // namespace

class TestCountryTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linesEndInCrLf();
    void headerAndEmptyLine();
    void everyLineParses();
    void noPrefixBelongsToTwoCountries();
    void oneFlagAndCodePerCountry();
    void linesOfACountryStayTogether();
    void alphabeticalOrder();
    void everyFlagExists();
    void noFlagFileIsUnused();
    void knownEntries_data();
    void knownEntries();
    void loadsWithoutWarnings();

private:
    QByteArray m_raw;
    QList<Entry> m_entries;
};

void TestCountryTable::initTestCase()
{
    QFile file(PrefixProvider::defaultTablePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_raw = file.readAll();
    const QStringList lines = QString::fromUtf8(m_raw).split(QLatin1String("\r\n"));
    for (int i = 2; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty())
            continue;
        const QStringList parts = lines.at(i).split(QLatin1Char(','));
        QVERIFY2(parts.size() == 4, qPrintable(lines.at(i)));
        m_entries.append({ i + 1, parts.at(0).trimmed(), parts.at(1).trimmed(), parts.at(2).trimmed(),
            parts.at(3).trimmed() });
    }
    QVERIFY(m_entries.size() > 250);
}

void TestCountryTable::linesEndInCrLf()
{
    QVERIFY(m_raw.endsWith("\r\n"));
    QCOMPARE(m_raw.count('\n'), m_raw.count("\r\n"));
    QCOMPARE(m_raw.count('\r'), m_raw.count("\r\n"));
    QVERIFY(!m_raw.startsWith("\xEF\xBB\xBF"));
}

void TestCountryTable::headerAndEmptyLine()
{
    const QStringList lines = QString::fromUtf8(m_raw).split(QLatin1String("\r\n"));
    QStringList columns = lines.at(0).split(QLatin1Char(','));
    for (QString &column : columns)
        column = column.trimmed();
    QCOMPARE(columns, (QStringList { "IMG", "PREF", "COUNTRY_NAME", "CODE" }));
    QVERIFY(lines.at(1).isEmpty());
    QVERIFY(!lines.at(2).isEmpty());
    // Only the final line end leaves an empty piece.
    QVERIFY(lines.last().isEmpty());
    QCOMPARE(lines.count(QString()), 2);
}

void TestCountryTable::everyLineParses()
{
    const QRegularExpression img(QStringLiteral("^[1-9][0-9]*$"));
    const QRegularExpression prefix(QStringLiteral("^[0-9]{1,4}$"));
    const QRegularExpression code(QStringLiteral("^([A-Z]{2}|[A-Z]{4})$"));
    for (const Entry &e : qAsConst(m_entries)) {
        const QByteArray whereBytes = QByteArray::number(e.line);
        const char *where = whereBytes.constData();
        QVERIFY2(img.match(e.img).hasMatch(), where);
        QVERIFY2(prefix.match(e.prefix).hasMatch(), where);
        QVERIFY2(!e.prefix.startsWith(QLatin1Char('0')), where);
        QVERIFY2(!e.name.isEmpty(), where);
        QVERIFY2(code.match(e.code).hasMatch(), where);
    }
}

void TestCountryTable::noPrefixBelongsToTwoCountries()
{
    QHash<QString, QString> owner;
    for (const Entry &e : qAsConst(m_entries)) {
        QVERIFY2(!owner.contains(e.prefix) || owner.value(e.prefix) == e.name,
            qPrintable(
                e.prefix + QLatin1String(": ") + owner.value(e.prefix) + QLatin1String(", ") + e.name));
        QVERIFY2(!owner.contains(e.prefix), qPrintable(QLatin1String("repeated line for ") + e.prefix));
        owner.insert(e.prefix, e.name);
    }
}

void TestCountryTable::oneFlagAndCodePerCountry()
{
    QHash<QString, QString> flagOf;
    QHash<QString, QString> codeOf;
    QHash<QString, QString> countryOfFlag;
    for (const Entry &e : qAsConst(m_entries)) {
        QCOMPARE(flagOf.value(e.name, e.img), e.img);
        QCOMPARE(codeOf.value(e.name, e.code), e.code);
        QCOMPARE(countryOfFlag.value(e.img, e.name), e.name);
        flagOf.insert(e.name, e.img);
        codeOf.insert(e.name, e.code);
        countryOfFlag.insert(e.img, e.name);
    }
}

void TestCountryTable::linesOfACountryStayTogether()
{
    QSet<QString> finished;
    for (int i = 0; i < m_entries.size(); ++i) {
        const QString &name = m_entries.at(i).name;
        QVERIFY2(!finished.contains(name), qPrintable(name));
        if (i + 1 == m_entries.size() || m_entries.at(i + 1).name != name)
            finished.insert(name);
    }
}

void TestCountryTable::alphabeticalOrder()
{
    for (int i = 1; i < m_entries.size(); ++i) {
        const QString previous = sortKey(m_entries.at(i - 1).name);
        const QString current = sortKey(m_entries.at(i).name);
        QVERIFY2(previous <= current,
            qPrintable(m_entries.at(i - 1).name + QLatin1String(" > ") + m_entries.at(i).name));
    }
}

void TestCountryTable::everyFlagExists()
{
    const QString sourceDir = qEnvironmentVariable("TALKVANE_SOURCE_DIR");
    for (const Entry &e : qAsConst(m_entries)) {
        const QString resource = QStringLiteral(":/gfx/flags/%1.jpg").arg(e.img);
        QVERIFY2(!QPixmap(resource).isNull(), qPrintable(resource));
        if (!sourceDir.isEmpty())
            QVERIFY2(
                QFile::exists(sourceDir + QStringLiteral("/gfx/flags/%1.jpg").arg(e.img)), qPrintable(e.img));
    }
}

void TestCountryTable::noFlagFileIsUnused()
{
    QSet<QString> used;
    for (const Entry &e : qAsConst(m_entries))
        used.insert(e.img + QLatin1String(".jpg"));
    const QStringList files = QDir(QStringLiteral(":/gfx/flags")).entryList({ QStringLiteral("*.jpg") });
    QCOMPARE(QSet<QString>(files.begin(), files.end()), used);
}

void TestCountryTable::knownEntries_data()
{
    QTest::addColumn<QString>("img");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");

    QTest::newRow("Afghanistan") << "2"
                                 << "93"
                                 << "Afghanistan"
                                 << "AF";
    QTest::newRow("Alaska") << "3"
                            << "1907"
                            << "Alaska"
                            << "AK";
    QTest::newRow("USA") << "1"
                         << "1"
                         << "USA"
                         << "US";
    QTest::newRow("United Kingdom") << ""
                                    << "44"
                                    << "United Kingdom"
                                    << "UK";
    QTest::newRow("Canada") << ""
                            << "1204"
                            << "Canada"
                            << "CA";
    QTest::newRow("Antarctica") << ""
                                << "6721"
                                << "Antarctica"
                                << "ANUS";
    QTest::newRow("Ascension") << ""
                               << "247"
                               << "Ascension Island"
                               << "ASIS";
    QTest::newRow("Jamaica") << ""
                             << "1876"
                             << "Jamaica"
                             << "JM";
    QTest::newRow("Zimbabwe") << ""
                              << "263"
                              << "Zimbabwe"
                              << "ZW";
}

void TestCountryTable::knownEntries()
{
    QFETCH(QString, img);
    QFETCH(QString, prefix);
    QFETCH(QString, name);
    QFETCH(QString, code);
    auto it = std::find_if(
        m_entries.cbegin(), m_entries.cend(), [&](const Entry &e) { return e.prefix == prefix; });
    QVERIFY(it != m_entries.cend());
    QCOMPARE(it->name, name);
    QCOMPARE(it->code, code);
    if (!img.isEmpty())
        QCOMPARE(it->img, img);
}

void TestCountryTable::loadsWithoutWarnings()
{
    warningsSeen = 0;
    previousHandler = qInstallMessageHandler(countWarnings);
    PrefixProvider provider;
    qInstallMessageHandler(previousHandler);
    QCOMPARE(warningsSeen, 0);

    QSet<QString> names;
    for (const Entry &e : qAsConst(m_entries))
        names.insert(e.name);
    QCOMPARE(provider.count(), names.size());
    QCOMPARE(m_entries.first().name, QStringLiteral("Afghanistan"));
    QCOMPARE(m_entries.last().name, QStringLiteral("Zimbabwe"));
}

QTEST_MAIN(TestCountryTable)
#include "tst_countrytable.moc"
