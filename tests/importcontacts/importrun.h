#pragma once

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include "importcontacts/contactimporter.h"

// What one import did: its outcome signal and the progress values in order.
struct ImportRun
{
    QString outcome; // "finished", "errorLoggingIn", "networkError" or "hang"
    QList<int> progress;
    int outcomes = 0;
};

// Runs an import to its end. The guard only keeps a broken importer from blocking the test run for
// ever; it is far above any real run.
inline ImportRun runImport(
    ContactImporter &importer, const QString &user, const QString &password, int guardMs = 60000)
{
    ImportRun run;
    QEventLoop loop;
    QList<QMetaObject::Connection> links;
    auto end = [&](const char *what) {
        if (run.outcome.isEmpty())
            run.outcome = QString::fromLatin1(what);
        ++run.outcomes;
        loop.quit();
    };
    links << QObject::connect(&importer, &ContactImporter::finished, &loop, [&] { end("finished"); });
    links << QObject::connect(
        &importer, &ContactImporter::errorLoggingIn, &loop, [&] { end("errorLoggingIn"); });
    links << QObject::connect(&importer, &ContactImporter::networkError, &loop, [&] { end("networkError"); });
    links << QObject::connect(
        &importer, &ContactImporter::progressUpdate, &loop, [&](int p) { run.progress << p; });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] { end("hang"); });
    guard.start(guardMs);
    importer.startImportingContacts(user, password);
    if (run.outcome.isEmpty())
        loop.exec();
    // Anything that would still arrive (a second outcome) is counted too.
    QEventLoop settle;
    QTimer::singleShot(0, &settle, &QEventLoop::quit);
    settle.exec();
    for (const auto &link : links)
        QObject::disconnect(link);
    return run;
}
