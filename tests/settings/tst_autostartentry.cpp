#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/autostartentry.h"

class TstAutostartEntry : public QObject
{
    Q_OBJECT

private slots:
    void fileNameFor_data();
    void fileNameFor();
    void quoteExecArgument_data();
    void quoteExecArgument();
    void desktopEntryIsReadableAsIni();
    void applyWritesAndRemoves();
    void applyFailsWhenFolderCannotBeMade();
    void defaultPathIsInConfigAutostart();
};

void TstAutostartEntry::fileNameFor_data()
{
    QTest::addColumn<QString>("application");
    QTest::addColumn<QString>("file");
    QTest::newRow("brand") << "Tellmarsh Talkvane"
                           << "tellmarsh-talkvane.desktop";
    QTest::newRow("slash") << "A/B"
                           << "a-b.desktop";
    QTest::newRow("empty") << ""
                           << "talkvane.desktop";
}

void TstAutostartEntry::fileNameFor()
{
    QFETCH(QString, application);
    QFETCH(QString, file);
    QCOMPARE(AutostartEntry::fileNameFor(application), file);
}

void TstAutostartEntry::quoteExecArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << "/usr/bin/talkvane"
                           << "\"/usr/bin/talkvane\"";
    QTest::newRow("blank") << "/opt/Tell marsh/talkvane"
                           << "\"/opt/Tell marsh/talkvane\"";
    QTest::newRow("double quote") << "/a\"b"
                                  << "\"/a\\\\\"b\"";
    QTest::newRow("dollar") << "/a$b"
                            << "\"/a\\\\$b\"";
    QTest::newRow("backtick") << "/a`b"
                              << "\"/a\\\\`b\"";
    QTest::newRow("backslash") << "/a\\b"
                               << "\"/a\\\\\\\\b\"";
    QTest::newRow("percent") << "/100%/x"
                             << "\"/100%%/x\"";
}

void TstAutostartEntry::quoteExecArgument()
{
    QFETCH(QString, argument);
    QFETCH(QString, quoted);
    QCOMPARE(AutostartEntry::quoteExecArgument(argument), quoted);
}

void TstAutostartEntry::desktopEntryIsReadableAsIni()
{
    const QString text = AutostartEntry::desktopEntry(
        QStringLiteral("Tellmarsh Talkvane"), QStringLiteral("/opt/tv/talkvane"));
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
    QVERIFY(text.contains(QStringLiteral("\nName=Tellmarsh Talkvane\n")));
    QVERIFY(text.contains(QStringLiteral("\nExec=\"/opt/tv/talkvane\"\n")));
    QVERIFY(text.endsWith(QLatin1Char('\n')));
}

void TstAutostartEntry::applyWritesAndRemoves()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("autostart/app.desktop"));
    QVERIFY(AutostartEntry::apply(true, path, QStringLiteral("App"), QStringLiteral("/bin/app")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()),
        AutostartEntry::desktopEntry(QStringLiteral("App"), QStringLiteral("/bin/app")));
    file.close();
    // Writing again with the same content is a no-op that still succeeds.
    QVERIFY(AutostartEntry::apply(true, path, QStringLiteral("App"), QStringLiteral("/bin/app")));

    QVERIFY(AutostartEntry::apply(false, path, QStringLiteral("App"), QStringLiteral("/bin/app")));
    QVERIFY(!QFile::exists(path));
    QVERIFY(AutostartEntry::apply(false, path, QStringLiteral("App"), QStringLiteral("/bin/app")));
}

void TstAutostartEntry::applyFailsWhenFolderCannotBeMade()
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("autostart"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!AutostartEntry::apply(
        true, blocker + QStringLiteral("/app.desktop"), QStringLiteral("App"), QStringLiteral("/bin/app")));
}

void TstAutostartEntry::defaultPathIsInConfigAutostart()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tellmarsh Talkvane"));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QCOMPARE(AutostartEntry::filePath(), config + QStringLiteral("/autostart/tellmarsh-talkvane.desktop"));
}

QTEST_GUILESS_MAIN(TstAutostartEntry)
#include "tst_autostartentry.moc"
