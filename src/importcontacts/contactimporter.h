#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariant>

#include "importedcontact.h"

class QNetworkAccessManager;

// Base of the address-book importers: signs in to one outside service with the user's name and password,
// downloads the address book and keeps its entries.
//
// One request is in flight at a time; each reply's handler sends the next one. An import ends with
// exactly one of finished(), errorLoggingIn() or networkError(); progressUpdate() reports the steps
// (0 to 100) on the way. TLS certificates are always verified (system CAs plus TALKVANE_CA_FILE), and
// a request that makes no progress for transferTimeout() ms is given up as a network error.
class ContactImporter : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultTransferTimeout = 30000;
    // Redirects followed in a row before the service is considered broken.
    static constexpr int maxRedirects = 10;

    explicit ContactImporter(QObject *parent = nullptr);
    ~ContactImporter() override;

    virtual void startImportingContacts(const QString &username, const QString &password) = 0;

    // The entries in the service's order.
    const QList<ImportedContact> &contacts() const { return imported; }
    // On the first call a copy ordered by first and then last name; later calls return that copy.
    const QList<ImportedContact> &sortedContacts();

    int transferTimeout() const { return timeoutMs; }
    // 0 or less turns the timeout off.
    void setTransferTimeout(int msecs) { timeoutMs = msecs; }
    // Whether the import has ended (with any outcome).
    bool isDone() const { return done; }

signals:
    void networkError();
    void errorLoggingIn();
    void progressUpdate(int progress);
    void finished();

protected:
    // Header values the web-mail services expect.
    static const char formContentType[];
    static const char jsonAccept[];

    QNetworkAccessManager *networkManager() const { return manager; }
    QString username() const { return m_username; }
    QString password() const { return m_password; }
    void setCredentials(const QString &username, const QString &password);

    // A request with the TLS configuration, the transfer timeout and manual redirects.
    QNetworkRequest makeRequest(const QUrl &url) const;
    // Sends a request after releasing the previous reply; the reply becomes currentReply().
    QNetworkReply *sendGet(const QNetworkRequest &request);
    QNetworkReply *sendPost(const QNetworkRequest &request, const QByteArray &body);
    QNetworkReply *currentReply() const { return reply; }
    // The reply a handler was called for, or null when it is not the request in flight (a stale one).
    QNetworkReply *replyFor(QObject *sender) const;
    // As replyFor(), but a handler called without a reply ends the import with networkError().
    QNetworkReply *handledReply(QObject *sender);
    // As handledReply(), and a reply that reports an error also ends the import with networkError():
    // non-null only for the request in flight when it succeeded.
    QNetworkReply *okReply(QObject *sender);

    // A new import: forget the entries and the outcome of the previous one.
    void beginImport();
    void addContact(const ImportedContact &contact);
    // Ends the import with a parsed address book: its entries, progress 100 and finished(); an address
    // book that could not be read (`parsed` false) ends it with networkError() instead.
    void finishWith(const QList<ImportedContact> &entries, bool parsed = true);
    void reportProgress(int progress);
    // The outcomes; only the first one of an import is emitted.
    void reportFinished();
    void reportNetworkError();
    void reportLoginError();
    // Ends the import without an outcome signal, for a subclass that emits its own; false when it
    // had already ended.
    bool endImport();

    // The target of a redirect reply (Location header, resolved against the reply's URL), or an
    // empty URL.
    static QUrl redirectTarget(QNetworkReply *reply);
    // Reply bytes as text: UTF-8 unless the reply names another character set.
    static QString replyText(QNetworkReply *reply, const QByteArray &bytes);
    // A parsed JSON array's elements; anything else gives an empty list.
    static QVariantList jsonList(const QVariant &value);
    // The object under `key` of the JSON object `json`; false (and `member` empty) when the text is not
    // such an object.
    static bool jsonMember(const QString &json, const QString &key, QVariantMap *member);

private:
    QNetworkReply *track(QNetworkReply *sent);
    void releaseReply();

    QNetworkAccessManager *manager;
    QPointer<QNetworkReply> reply;
    QString m_username;
    QString m_password;
    QList<ImportedContact> imported;
    QList<ImportedContact> sorted;
    bool sortedMade = false;
    bool done = false;
    int timeoutMs = defaultTransferTimeout;
};
