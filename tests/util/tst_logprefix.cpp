#include <QtTest>

#include "util/log.h"

class TstLogPrefix : public QObject
{
    Q_OBJECT

private slots:
    void functionName_data();
    void functionName();
    void sourcePath();
    void format();
};

void TstLogPrefix::functionName_data()
{
    QTest::addColumn<QByteArray>("pretty");
    QTest::addColumn<QString>("name");
    QTest::newRow("method") << QByteArray("void Foo::bar(int) const") << "Foo::bar";
    QTest::newRow("main") << QByteArray("int main(int, char**)") << "main";
    QTest::newRow("pointer return") << QByteArray("QObject* Foo::make()") << "Foo::make";
    QTest::newRow("reference return") << QByteArray("const QString& Foo::name() const") << "Foo::name";
    QTest::newRow("template return") << QByteArray("QList<QPair<int, int> > Foo::pairs()") << "Foo::pairs";
    QTest::newRow("constructor") << QByteArray("Foo::Foo(QObject*)") << "Foo::Foo";
    QTest::newRow("namespaced") << QByteArray("bool talk::VeskTalk::login(bool)") << "talk::VeskTalk::login";
}

void TstLogPrefix::functionName()
{
    QFETCH(QByteArray, pretty);
    QFETCH(QString, name);
    QCOMPARE(logprefix::functionName(pretty.constData()), name);
}

void TstLogPrefix::sourcePath()
{
    QCOMPARE(logprefix::sourcePath("src/util/dbstore.cpp"), QStringLiteral("src\\util\\dbstore.cpp"));
}

void TstLogPrefix::format()
{
    QCOMPARE(logprefix::format("[TRACE]: %1@%2:%3:", "void ObjFactory::loadDb()", "src/objfactory.cpp", 84),
        QStringLiteral("[TRACE]: ObjFactory::loadDb@src\\objfactory.cpp:84:"));
    QCOMPARE(logprefix::format("NOTIMPL: %1@%2:%3:", "int main(int, char**)", "src/main.cpp", 7),
        QStringLiteral("NOTIMPL: main@src\\main.cpp:7:"));
}

QTEST_GUILESS_MAIN(TstLogPrefix)
#include "tst_logprefix.moc"
