#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <sys/resource.h>

#include "util/log.h"
#include "util/tracelog.h"

namespace {

QByteArray readLog(const QString &folder)
{
    QFile file(QDir(folder).filePath(TraceLog::fileName()));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QList<QByteArray> logLines(const QString &folder)
{
    QList<QByteArray> lines = readLog(folder).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Removes the timestamp after checking its form.
QByteArray withoutTimestamp(const QByteArray &line)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}_\\d\\d_\\d\\d__\\d\\d_\\d\\d_\\d\\d\\.\\d{3}"));
    const QString text = QString::fromUtf8(line);
    const QRegularExpressionMatch match = stamp.match(text);
    if (!match.hasMatch())
        return "NO TIMESTAMP: " + line;
    return line.mid(match.capturedLength());
}

// Child modes, run as separate processes by the tests below.
int childFatal(const QString &folder)
{
    // No core file for the expected abort.
    struct rlimit noCore = { 0, 0 };
    setrlimit(RLIMIT_CORE, &noCore);
    if (!TraceLog::install(folder))
        return 3;
    LOG_TRACE << "before the fatal message";
    qFatal("fatal message %d", 42);
    return 0;
}

int childHold(const QString &folder)
{
    if (!TraceLog::install(folder))
        return 3;
    LOG_TRACE << "holder started";
    QTextStream out(stdout);
    out << "ready" << Qt::endl;
    QTextStream in(stdin);
    const QString line = in.readLine();
    LOG_TRACE << "holder got" << line;
    TraceLog::uninstall();
    return 0;
}

} // namespace

class TstTraceLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void levelTag_data();
    void levelTag();
    void formatLine();
    void prefixOfEachMacro_data();
    void prefixOfEachMacro();
    void stringItemLineByteForByte();
    void streamItemForms();
    void lineFeedInValueStaysOneLine();
    void latin1StoredAsUtf8();
    void firstLinesNameFileAndVersion();
    void newStartTruncates();
    void unusableFolderLeavesDefaultHandler();
    void fatalMessageIsFlushedBeforeAbort();
    void secondInstanceDoesNotTruncate();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TstTraceLog::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TstTraceLog::cleanup()
{
    TraceLog::uninstall();
    dir.reset();
}

void TstTraceLog::levelTag_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("tag");
    QTest::newRow("debug") << int(QtDebugMsg) << "[DBG]";
    QTest::newRow("warning") << int(QtWarningMsg) << "[WRN]";
    QTest::newRow("critical") << int(QtCriticalMsg) << "[CRI]";
    QTest::newRow("fatal") << int(QtFatalMsg) << "[FTL]";
    QTest::newRow("info") << int(QtInfoMsg) << "[INF]";
}

void TstTraceLog::levelTag()
{
    QFETCH(int, type);
    QFETCH(QString, tag);
    QCOMPARE(TraceLog::levelTag(QtMsgType(type)), tag);
}

void TstTraceLog::formatLine()
{
    const QDateTime time(QDate(2024, 3, 5), QTime(7, 8, 9, 12));
    QCOMPARE(TraceLog::formatLine(QtWarningMsg, time, QStringLiteral("a %1 b")),
        QStringLiteral("2024_03_05__07_08_09.012[WRN] a %1 b"));
    QCOMPARE(
        TraceLog::formatLine(QtDebugMsg, QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59, 999)), QString()),
        QStringLiteral("2023_12_31__23_59_59.999[DBG] "));
}

void TstTraceLog::prefixOfEachMacro_data()
{
    QTest::addColumn<int>("macro");
    QTest::addColumn<QByteArray>("expectedStart");
    QTest::newRow("trace")
        << 0 << QByteArray("[DBG] \"[TRACE]: TstTraceLog::prefixOfEachMacro@tests\\util\\tst_tracelog.cpp:");
    QTest::newRow("warning")
        << 1
        << QByteArray("[DBG] \"[WARNING]: TstTraceLog::prefixOfEachMacro@tests\\util\\tst_tracelog.cpp:");
    QTest::newRow("error")
        << 2 << QByteArray("[DBG] \"[ERROR]: TstTraceLog::prefixOfEachMacro@tests\\util\\tst_tracelog.cpp:");
    QTest::newRow("notimpl")
        << 3 << QByteArray("[WRN] \"NOTIMPL: TstTraceLog::prefixOfEachMacro@tests\\util\\tst_tracelog.cpp:");
}

void TstTraceLog::prefixOfEachMacro()
{
    QFETCH(int, macro);
    QFETCH(QByteArray, expectedStart);
    QVERIFY(TraceLog::install(dir->path()));
    int line = 0;
    switch (macro) {
    case 0:
        LOG_TRACE << "x";
        line = __LINE__ - 1;
        break;
    case 1:
        LOG_WARNING << "x";
        line = __LINE__ - 1;
        break;
    case 2:
        LOG_ERROR << "x";
        line = __LINE__ - 1;
        break;
    case 3:
        LOG_NOTIMPL << "x";
        line = __LINE__ - 1;
        break;
    }
    TraceLog::uninstall();
    const QByteArray expected = expectedStart + QByteArray::number(line) + ":\" x ";
    QCOMPARE(withoutTimestamp(logLines(dir->path()).last()), expected);
}

void TstTraceLog::stringItemLineByteForByte()
{
    QVERIFY(TraceLog::install(dir->path()));
    LOG_TRACE << QStringLiteral("the item");
    const int line = __LINE__ - 1;
    TraceLog::uninstall();

    const QByteArray last = logLines(dir->path()).last();
    const QByteArray expected
        = "[DBG] \"[TRACE]: TstTraceLog::stringItemLineByteForByte@tests\\util\\tst_tracelog.cpp:"
        + QByteArray::number(line) + ":\" \"the item\" ";
    QCOMPARE(withoutTimestamp(last), expected);
    QVERIFY(readLog(dir->path()).endsWith("\"the item\" \n"));
}

void TstTraceLog::streamItemForms()
{
    QVERIFY(TraceLog::install(dir->path()));
    LOG_TRACE << "literal" << 42 << true << QStringList { QStringLiteral("a"), QStringLiteral("b") };
    TraceLog::uninstall();
    const QByteArray last = withoutTimestamp(logLines(dir->path()).last());
    QVERIFY2(last.endsWith(":\" literal 42 true (\"a\", \"b\") "), last.constData());
}

void TstTraceLog::lineFeedInValueStaysOneLine()
{
    QVERIFY(TraceLog::install(dir->path()));
    LOG_TRACE << QStringLiteral("one\n2024_01_01__00_00_00.000[DBG] forged");
    TraceLog::uninstall();
    const QList<QByteArray> lines = logLines(dir->path());
    QVERIFY(lines.last().contains("one\\n2024_01_01"));
    for (const QByteArray &line : lines)
        QVERIFY(!line.startsWith("2024_01_01__00_00_00.000"));
}

void TstTraceLog::latin1StoredAsUtf8()
{
    QVERIFY(TraceLog::install(dir->path()));
    const char latin1[] = "caf\xe9 na\xefve";
    LOG_TRACE << QString::fromLatin1(latin1);
    qDebug("%s", QString::fromLatin1(latin1).toUtf8().constData());
    TraceLog::uninstall();
    const QList<QByteArray> lines = logLines(dir->path());
    QVERIFY(lines.at(lines.size() - 2).endsWith("\"caf\xc3\xa9 na\xc3\xafve\" "));
    QCOMPARE(withoutTimestamp(lines.last()), QByteArray("[DBG] caf\xc3\xa9 na\xc3\xafve"));
}

void TstTraceLog::firstLinesNameFileAndVersion()
{
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    QVERIFY(TraceLog::install(dir->path()));
    const QString path = QDir(dir->path()).filePath(QStringLiteral("vesktrace.log"));
    QCOMPARE(TraceLog::filePath(), path);
    TraceLog::uninstall();
    const QList<QByteArray> lines = logLines(dir->path());
    QVERIFY(lines.size() >= 2);
    QVERIFY(lines.at(0).endsWith("\" Started the log file at: \"" + path.toUtf8() + "\" "));
    QVERIFY(lines.at(1).endsWith("\" Application Version: \"1.2.3\" "));
}

void TstTraceLog::newStartTruncates()
{
    QVERIFY(TraceLog::install(dir->path()));
    LOG_TRACE << "first start";
    TraceLog::uninstall();
    QVERIFY(readLog(dir->path()).contains("first start"));

    QVERIFY(TraceLog::install(dir->path()));
    LOG_TRACE << "second start";
    TraceLog::uninstall();
    const QByteArray log = readLog(dir->path());
    QVERIFY(!log.contains("first start"));
    QVERIFY(log.contains("second start"));
    QVERIFY(logLines(dir->path()).first().contains("Started the log file at:"));
}

void TstTraceLog::unusableFolderLeavesDefaultHandler()
{
    // A regular file where the folder should be: the folder cannot be made, even as root.
    const QString blocker = QDir(dir->path()).filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!TraceLog::install(QDir(blocker).filePath(QStringLiteral("data"))));
    QVERIFY(!TraceLog::isInstalled());
    QVERIFY(TraceLog::filePath().isEmpty());
    QVERIFY(!TraceLog::install(QString()));
}

void TstTraceLog::fatalMessageIsFlushedBeforeAbort()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--child-fatal"), dir->path() });
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const QList<QByteArray> lines = logLines(dir->path());
    QVERIFY(lines.size() >= 4);
    QVERIFY(lines.at(lines.size() - 2).endsWith("before the fatal message "));
    QCOMPARE(withoutTimestamp(lines.last()), QByteArray("[FTL] fatal message 42"));
    QVERIFY(readLog(dir->path()).endsWith("fatal message 42\n"));
}

void TstTraceLog::secondInstanceDoesNotTruncate()
{
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--child-hold"), dir->path() });
    QVERIFY(holder.waitForStarted(30000));
    QByteArray said;
    while (!said.contains("ready") && holder.waitForReadyRead(30000))
        said += holder.readAllStandardOutput();
    QVERIFY(said.contains("ready"));

    const QByteArray before = readLog(dir->path());
    QVERIFY(before.contains("holder started"));
    QVERIFY(!TraceLog::install(dir->path()));
    QVERIFY(!TraceLog::isInstalled());
    QCOMPARE(readLog(dir->path()), before);

    holder.write("still here\n");
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(holder.exitCode(), 0);
    const QByteArray after = readLog(dir->path());
    QVERIFY(after.startsWith(before));
    QVERIFY(after.contains("holder got \"still here\""));
    QVERIFY(!after.contains('\0'));

    // Once the holder has gone, a new start owns the log again and begins it afresh.
    QVERIFY(TraceLog::install(dir->path()));
    TraceLog::uninstall();
    QVERIFY(!readLog(dir->path()).contains("holder"));
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--child-fatal") == 0) {
        QCoreApplication app(argc, argv);
        return childFatal(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 3 && qstrcmp(argv[1], "--child-hold") == 0) {
        QCoreApplication app(argc, argv);
        return childHold(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TstTraceLog test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tracelog.moc"
