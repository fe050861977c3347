#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtTest>

#include <utility>

#include "importeremulator.h"
#include "importrun.h"

// Pieces the web-mail importer tests share.
namespace importertesting {

// The emulator an importer test imports from, and the account there whose book it imports.
template <typename Importer> class Bench
{
public:
    Bench(QString user, QString password) : user(std::move(user)), password(std::move(password)) { }

    // For initTestCase(): the emulator listening, and the importers trusting its CA.
    bool start()
    {
        if (!emulator.start())
            return false;
        emulator.exportCaFile();
        return true;
    }

    // An importer reading from the emulator, owned by parent.
    Importer *newImporter(QObject *parent) const
    {
        auto *importer = new Importer(parent);
        importer->setServiceUrls(emulator.serviceUrls());
        return importer;
    }

    // Imports the account's book with its right password. transferTimeoutMs: 0 keeps the importer's own.
    ImportRun importBook(Importer &importer, int transferTimeoutMs = 0) const
    {
        if (transferTimeoutMs > 0)
            importer.setTransferTimeout(transferTimeoutMs);
        return runImport(importer, user, password);
    }

    // Imports the book while the emulator holds a fault: the import must end once, as a network error,
    // after the progress given and with no contacts. Like QCOMPARE it returns at the first mismatch, so
    // it is the last check of a test.
    void checkNetworkError(QObject *parent, const QList<int> &progress) const
    {
        Importer *importer = newImporter(parent);
        const ImportRun run = importBook(*importer);
        QCOMPARE(run.outcome, QStringLiteral("networkError"));
        QCOMPARE(run.outcomes, 1);
        QCOMPARE(run.progress, progress);
        QVERIFY(importer->contacts().isEmpty());
    }

    ImporterEmulator emulator;
    const QString user;
    const QString password;
};

} // namespace importertesting
