#include <QtTest>

#include <QTemporaryDir>

#include "xmpp/truststore.h"

using engine::TrustStore;

// The CA certificates sign-in trusts: the system store read once per process, the extra PEM
// file followed as it changes.
class tst_TrustStore : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QList<QSslCertificate> m_system;

    QString writePem(const QString &name, const QList<QSslCertificate> &certificates)
    {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        for (const QSslCertificate &c : certificates)
            f.write(c.toPem());
        return f.fileName();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Runs first, while the store is still being read.
    void pendingCallbackDiesWithItsContext()
    {
        if (TrustStore::isReady())
            QSKIP("the store was read before the test could wait for it");
        bool deadRan = false;
        bool liveRan = false;
        auto *dead = new QObject;
        QObject live;
        TrustStore::whenReady(dead, [&] { deadRan = true; });
        TrustStore::whenReady(&live, [&] {
            liveRan = true;
            QCOMPARE(QThread::currentThread(), live.thread());
        });
        delete dead;
        QVERIFY(!liveRan);
        QTRY_VERIFY_WITH_TIMEOUT(liveRan, 60000);
        QCoreApplication::processEvents();
        QVERIFY(!deadRan);
    }

    void readyStoreRunsTheCallbackAtOnce()
    {
        m_system = TrustStore::systemCertificates();
        if (m_system.size() < 2)
            QSKIP("the system CA store holds fewer than two certificates");
        QVERIFY(TrustStore::isReady());
        QObject context;
        bool ran = false;
        TrustStore::whenReady(&context, [&] { ran = true; });
        QVERIFY(ran);
    }

    void systemStoreIsReadOncePerProcess()
    {
        TrustStore::preload();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(TrustStore::systemCertificates(), m_system);
        qunsetenv("TALKVANE_CA_FILE");
        QCOMPARE(TrustStore::trusted(), m_system);
        QCOMPARE(TrustStore::systemLoads(), 1);
    }

    void concurrentCallersShareOneRead()
    {
        QList<QThread *> threads;
        QAtomicInt matching;
        for (int i = 0; i < 4; ++i) {
            threads << QThread::create([&] {
                if (TrustStore::systemCertificates() == m_system)
                    matching.ref();
            });
            threads.last()->start();
        }
        for (QThread *t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }
        QCOMPARE(int(matching), 4);
        QCOMPARE(TrustStore::systemLoads(), 1);
    }

    void extraFileIsAppended()
    {
        const QString path = writePem("one.pem", { m_system.at(0) });
        qputenv("TALKVANE_CA_FILE", QFile::encodeName(path));
        const QList<QSslCertificate> all = TrustStore::trusted();
        QCOMPARE(all.size(), m_system.size() + 1);
        QCOMPARE(all.last(), m_system.at(0));
        qunsetenv("TALKVANE_CA_FILE");
    }

    // A test or a service renews its CA under the same name: the new one counts.
    void changedFileIsReadAgain()
    {
        const QString path = writePem("renewed.pem", { m_system.at(0) });
        QCOMPARE(TrustStore::fileCertificates(path), QList<QSslCertificate> { m_system.at(0) });
        writePem("renewed.pem", { m_system.at(1), m_system.at(0) });
        QCOMPARE(
            TrustStore::fileCertificates(path), (QList<QSslCertificate> { m_system.at(1), m_system.at(0) }));
    }

    void switchingFilesFollowsThePath()
    {
        const QString a = writePem("a.pem", { m_system.at(0) });
        const QString b = writePem("b.pem", { m_system.at(1) });
        QCOMPARE(TrustStore::fileCertificates(a).value(0), m_system.at(0));
        QCOMPARE(TrustStore::fileCertificates(b).value(0), m_system.at(1));
        QCOMPARE(TrustStore::fileCertificates(a).value(0), m_system.at(0));
    }

    void unusableFilesTrustNothingExtra_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty path") << QString() << QByteArray();
        QTest::newRow("missing file") << "missing.pem" << QByteArray();
        QTest::newRow("not PEM") << "garbage.pem" << QByteArray("not a certificate\n");
        QTest::newRow("truncated PEM") << "cut.pem" << QByteArray("-----BEGIN CERTIFICATE-----\nMIIB\n");
    }

    void unusableFilesTrustNothingExtra()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QString path;
        if (!name.isEmpty()) {
            path = m_dir.filePath(name);
            if (!content.isEmpty()) {
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(content);
            }
        }
        QVERIFY(TrustStore::fileCertificates(path).isEmpty());
        qputenv("TALKVANE_CA_FILE", QFile::encodeName(path));
        QCOMPARE(TrustStore::trusted(), m_system);
        qunsetenv("TALKVANE_CA_FILE");
    }
};

QTEST_GUILESS_MAIN(tst_TrustStore)
#include "tst_truststore.moc"
