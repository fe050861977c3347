#pragma once

#include <QByteArray>
#include <QString>

#include "contactimporter.h"

// Imports the contacts of a vCard file (versions 2.1, 3.0 and 4.0, several cards per file) as the
// same entries the web-mail importers produce. Folded lines, quoted-printable values, character sets
// and the quirks of the common exporting programs are handled; a line that cannot be read is skipped
// and the rest of the card kept.
//
// The import runs at once, without network: progress 10 and 100, then finished(); a file that cannot
// be read or is not a vCard file ends with fileError(message) instead, and nothing is imported.
class VCardImporter : public ContactImporter
{
    Q_OBJECT
public:
    // Larger files are refused rather than read into memory.
    static constexpr qint64 maxFileSize = 32 * 1024 * 1024;

    explicit VCardImporter(QObject *parent = nullptr);

    // `filePath` names the vCard file; there is no password.
    void startImportingContacts(const QString &filePath, const QString &password = QString()) override;
    bool importFile(const QString &filePath);
    bool importData(const QByteArray &data);
    // Why the last import failed; empty after a successful one.
    QString errorString() const { return lastError; }

    // The entries of vCard text. On failure the list is empty and `error` says why.
    static QList<ImportedContact> parse(const QByteArray &data, QString *error = nullptr);

signals:
    void fileError(const QString &message);

private:
    bool fail(const QString &message);

    QString lastError;
};
