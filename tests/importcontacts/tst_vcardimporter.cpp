#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include "importcontacts/vcardimporter.h"

namespace {

// "first|middle|last|nick|emails|phones", lists joined by ','.
QString describe(const ImportedContact &c)
{
    return QStringList { c.firstName, c.middleName, c.lastName, c.nickname, c.emails.join(QLatin1Char(',')),
        c.phones.join(QLatin1Char(',')) }
        .join(QLatin1Char('|'));
}

QByteArray crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

QByteArray utf8(const char *text)
{
    return QByteArray(text);
}

} // namespace

class TstVCardImporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parsesFiles_data();
    void parsesFiles();
    void foldingInsideACharacter();
    void refusesWhatIsNotAVCard_data();
    void refusesWhatIsNotAVCard();
    void importsAFile();
    void missingFileIsAFileError();
    void notAVCardFileImportsNothing();
};

void TstVCardImporter::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstVCardImporter::parsesFiles_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("Apple Contacts 3.0")
        << crlf("BEGIN:VCARD\n"
                "VERSION:3.0\n"
                "PRODID:-//Apple Inc.//Mac OS X 10.8.2//EN\n"
                "N:Gon\xC3\xA7"
                "alves;Jo\xC3\xA3o;;;\n"
                "FN:Jo\xC3\xA3o Gon\xC3\xA7"
                "alves\n"
                "ORG:Acme\\, Inc.;\n"
                "item1.EMAIL;type=INTERNET;type=pref:joao@mail.example\n"
                "item2.EMAIL;type=INTERNET:j.goncalves@work.example\n"
                "TEL;type=CELL;type=VOICE;type=pref:+351 91 765 4321\n"
                "TEL;type=HOME;type=VOICE:+351 21 123 4567\n"
                "item3.ADR;type=HOME;type=pref:;;Rua 1;Lisboa;;1000-001;Portugal\n"
                "item3.X-ABADR:pt\n"
                "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\n"
                " /2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0aHBwgJC4nICIsIxwcKDcpLDAx\n"
                "END:VCARD\n"
                "BEGIN:VCARD\n"
                "VERSION:3.0\n"
                "N:\xC3\x85ngstr\xC3\xB6m;Zo\xC3\xAB;Maria;;\n"
                "FN:Zo\xC3\xAB Maria \xC3\x85ngstr\xC3\xB6m\n"
                "TEL;type=CELL:+46 8 555 0101\n"
                "END:VCARD\n")
        << QStringList { QString::fromUtf8("João||Gonçalves||joao@mail.example,"
                                           "j.goncalves@work.example|+351 91 765 "
                                           "4321,+351 21 123 4567"),
               QString::fromUtf8("Zoë|Maria|Ångström|||+46 8 555 0101") };

    QTest::newRow("Google export 3.0, folded note") << utf8(
        "BEGIN:VCARD\n"
        "VERSION:3.0\n"
        "FN:Ann Lee\n"
        "N:Lee;Ann;;;\n"
        "EMAIL;TYPE=INTERNET;TYPE=HOME:ann@mail.example\n"
        "EMAIL;TYPE=INTERNET;TYPE=WORK:ANN@mail.example\n"
        "TEL;TYPE=CELL:+1 202 555 0147\n"
        "NOTE:A long note that the exporter folded at seventy-f\n"
        " ive octets\\, as the format asks.\n"
        "END:VCARD\n") << QStringList { "Ann||Lee||ann@mail.example|+1 202 555 0147" };

    QTest::newRow("Outlook 2.1, Windows-1252 quoted-printable")
        << crlf("BEGIN:VCARD\n"
                "VERSION:2.1\n"
                "N;LANGUAGE=de;CHARSET=Windows-1252;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen\n"
                "FN;CHARSET=Windows-1252;ENCODING=QUOTED-PRINTABLE:J=FCrgen M=FCller\n"
                "TEL;WORK;VOICE:+49 30 1234567\n"
                "TEL;CELL;VOICE:+49 170 1234567\n"
                "EMAIL;PREF;INTERNET:juergen@mail.example\n"
                "REV:20120301T100000Z\n"
                "END:VCARD\n")
        << QStringList { QString::fromUtf8(
               "Jürgen||Müller||juergen@mail.example|+49 30 1234567,+49 170 1234567") };

    QTest::newRow("Android 2.1, UTF-8 quoted-printable with soft breaks")
        << crlf("BEGIN:VCARD\n"
                "VERSION:2.1\n"
                "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85ngstr=C3=B6m;Zo=\n"
                "=C3=AB;;;\n"
                "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Zo=C3=AB =C3=85ngstr=C3=B6m\n"
                "TEL;CELL:+46-8-555-0101\n"
                "TEL;HOME:+46-8-555-0102\n"
                "END:VCARD\n"
                "BEGIN:VCARD\n"
                "VERSION:2.1\n"
                "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E6=9D=8E;=E5=B0=8F=E9=BE=99;;;\n"
                "TEL;CELL:+86 10 5555 0199\n"
                "PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\n"
                "  /2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0aHBwgJC4nICIsIxwcKDcp\n"
                "\n"
                "END:VCARD\n")
        << QStringList { QString::fromUtf8("Zoë||Ångström|||+46-8-555-0101,+46-8-555-0102"),
               QString::fromUtf8("小龙||李|||+86 10 5555 0199") };

    QTest::newRow("Nextcloud 4.0, tel URIs and quoted parameters")
        << crlf("BEGIN:VCARD\n"
                "VERSION:4.0\n"
                "PRODID:-//Sabre//Sabre VObject 4.4.1//EN\n"
                "UID:1c3f0b2a-8d9e-4d0c-9a55-2a2d4b6c1f00\n"
                "FN:\xC5\xA0\xC3\xA1rka Marie Nov\xC3\xA1kov\xC3\xA1\n"
                "N:Nov\xC3\xA1kov\xC3\xA1;\xC5\xA0\xC3\xA1rka;Marie;;\n"
                "NICKNAME:\xC5\xA0"
                "ari,\xC5\xA0"
                "a\n"
                "EMAIL;TYPE=work:sarka@mail.example\n"
                "TEL;VALUE=uri;TYPE=\"voice,cell\":tel:+420-222-333-444\n"
                "TEL;VALUE=uri;TYPE=work:tel:+420-222-333-445;ext=12\n"
                "X-SOCIALPROFILE;TYPE=\"a:b\":https://social.example/sarka\n"
                "END:VCARD\n")
        << QStringList { QString::fromUtf8(
               "Šárka|Marie|Nováková|Šari|sarka@mail.example|+420-222-333-444,+420-222-333-445 ext. 12") };

    QTest::newRow("names from FN and ORG")
        << utf8("BEGIN:VCARD\nVERSION:3.0\nFN:Cher\nTEL:1111\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nFN:Mary Jane Watson\n"
                "EMAIL:mj@mail.example\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:3.0\nORG:Pizza Roma;Delivery\n"
                "TEL;TYPE=WORK:+39 06 555 0100\nEND:VCARD\n")
        << QStringList { "Cher|||||1111", "Mary Jane||Watson||mj@mail.example|",
               "Pizza Roma|||||+39 06 555 0100" };

    QTest::newRow("broken lines are skipped")
        << utf8("begin:vcard\n"
                "version:3.0\n"
                "n:Doe;Jane;;;\n"
                "this line has no colon\n"
                ":value without a name\n"
                "BAD NAME:x\n"
                "email:jane@mail.example\n"
                "BEGIN:VCARD\n" // the first card never ended
                "N:Roe;Rick\n"
                "TEL:+44 20 7946 0001\n"
                "END:VCARD\n"
                "garbage between cards\n"
                "BEGIN:VCARD\n"
                "N:Poe;Pam\n"
                "TEL:+44 20 7946 0002") // the file ends inside a card, without a line break
        << QStringList { "Jane||Doe||jane@mail.example|", "Rick||Roe|||+44 20 7946 0001",
               "Pam||Poe|||+44 20 7946 0002" };

    QTest::newRow("empty cards are left out") << utf8("BEGIN:VCARD\nVERSION:3.0\nEND:VCARD\n"
                                                      "BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nEND:VCARD\n")
                                              << QStringList();

    QTest::newRow("old Mac line ends")
        << QByteArray("BEGIN:VCARD\rVERSION:3.0\rN:Lee;Ann\rTEL:555\rEND:VCARD\r")
        << QStringList { "Ann||Lee|||555" };

    QTest::newRow("Latin-1 bytes without a character set")
        << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:M\xFCller;J\xFCrgen\nEND:VCARD\n")
        << QStringList { QString::fromUtf8("Jürgen||Müller|||") };

    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                   "BEGIN:VCARD\nN:Lee;Ann\nTEL:1\nEND:VCARD\n")
                                     << QStringList { "Ann||Lee|||1" };

    const QString utf16Text
        = QString::fromUtf8("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Ødegård;Kåre\r\nTEL:+47 22 33 44 55\r\n"
                            "END:VCARD\r\n");
    QByteArray utf16("\xFF\xFE");
    utf16 += QByteArray(reinterpret_cast<const char *>(utf16Text.utf16()), utf16Text.size() * 2);
    QTest::newRow("Outlook Unicode (UTF-16)")
        << utf16 << QStringList { QString::fromUtf8("Kåre||Ødegård|||+47 22 33 44 55") };

    QTest::newRow("escapes") << utf8(
        "BEGIN:VCARD\nVERSION:3.0\nN:O\\;Brien;Se\\,an;;;\nNICKNAME:The\\, One,Two\n"
        "EMAIL:sean@mail.example\nEMAIL:mailto:sean@mail.example\nEND:VCARD\n")
                             << QStringList { "Se,an||O;Brien|The, One|sean@mail.example|" };
}

void TstVCardImporter::parsesFiles()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, entries);
    QString error = QStringLiteral("unset");
    QStringList got;
    for (const ImportedContact &entry : VCardImporter::parse(data, &error))
        got << describe(entry);
    QCOMPARE(error, QString());
    QCOMPARE(got, entries);
}

// Exporters fold at 75 octets, which may fall inside a multi-byte character.
void TstVCardImporter::foldingInsideACharacter()
{
    const QByteArray name = QString::fromUtf8("Přemysl Řehoř-Šťastný-Žďárský").toUtf8();
    const QByteArray line = "FN:" + name;
    const int cut = line.indexOf("\xC5\x98") + 1; // between the two bytes of 'Ř'
    const QByteArray data = "BEGIN:VCARD\r\nVERSION:4.0\r\n" + line.left(cut) + "\r\n " + line.mid(cut)
        + "\r\nTEL:+420 1\r\nEND:VCARD\r\n";
    const QList<ImportedContact> entries = VCardImporter::parse(data);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().firstName, QString::fromUtf8("Přemysl"));
    QCOMPARE(entries.first().lastName, QString::fromUtf8("Řehoř-Šťastný-Žďárský"));
}

void TstVCardImporter::refusesWhatIsNotAVCard_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("error");
    const QString notVCard = QStringLiteral("The file is not a vCard file.");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("The file is empty.");
    QTest::newRow("blank lines") << QByteArray("\r\n\r\n  \n") << QStringLiteral("The file is empty.");
    QTest::newRow("plain text") << QByteArray("Dear Ann,\nhere are the numbers you asked for.\n") << notVCard;
    QTest::newRow("Outlook CSV") << QByteArray("First Name,Last Name,E-mail Address,Mobile Phone\n"
                                               "Ann,Lee,ann@mail.example,+1 202 555 0147\n")
                                 << notVCard;
    QTest::newRow("PNG image") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 24) << notVCard;
    QTest::newRow("HTML") << QByteArray("<html><body><p>BEGIN:VCARD</p></body></html>") << notVCard;
    QTest::newRow("iCalendar") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\n"
                                             "END:VEVENT\r\nEND:VCALENDAR\r\n")
                               << notVCard;
    QTest::newRow("binary after a vCard line") << QByteArray("BEGIN:VCARD\n\0\0\0\x01\x02", 17) << notVCard;
}

void TstVCardImporter::refusesWhatIsNotAVCard()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, error);
    QString got;
    QVERIFY(VCardImporter::parse(data, &got).isEmpty());
    QCOMPARE(got, error);
}

void TstVCardImporter::importsAFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("contacts.vcf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nTEL:+1 202 555 0147\r\nEND:VCARD\r\n"
               "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Kim;Bo;;;\r\nEMAIL:bo@mail.example\r\nEND:VCARD\r\n");
    file.close();

    VCardImporter importer;
    QSignalSpy finished(&importer, &ContactImporter::finished);
    QSignalSpy progress(&importer, &ContactImporter::progressUpdate);
    QSignalSpy fileError(&importer, &VCardImporter::fileError);
    QSignalSpy networkError(&importer, &ContactImporter::networkError);
    importer.startImportingContacts(file.fileName());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(fileError.count(), 0);
    QCOMPARE(networkError.count(), 0);
    QCOMPARE(progress.count(), 2);
    QCOMPARE(progress.at(0).at(0).toInt(), 10);
    QCOMPARE(progress.at(1).at(0).toInt(), 100);
    QCOMPARE(importer.contacts().size(), 2);
    QCOMPARE(importer.sortedContacts().first().firstName, QStringLiteral("Ann"));
    QVERIFY(importer.errorString().isEmpty());
}

void TstVCardImporter::missingFileIsAFileError()
{
    VCardImporter importer;
    QSignalSpy fileError(&importer, &VCardImporter::fileError);
    QSignalSpy finished(&importer, &ContactImporter::finished);
    QVERIFY(!importer.importFile(QStringLiteral("/nonexistent/talkvane/contacts.vcf")));
    QCOMPARE(fileError.count(), 1);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(fileError.first().first().toString(), QStringLiteral("The file contacts.vcf does not exist."));
}

void TstVCardImporter::notAVCardFileImportsNothing()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("contacts.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("First Name,Last Name\nAnn,Lee\n");
    file.close();
    VCardImporter importer;
    QSignalSpy fileError(&importer, &VCardImporter::fileError);
    QSignalSpy finished(&importer, &ContactImporter::finished);
    QVERIFY(!importer.importFile(file.fileName()));
    QCOMPARE(fileError.count(), 1);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(importer.errorString(), QStringLiteral("The file is not a vCard file."));
    QVERIFY(importer.contacts().isEmpty());
    QVERIFY(importer.isDone());
}

QTEST_GUILESS_MAIN(TstVCardImporter)
#include "tst_vcardimporter.moc"
