#pragma once

#include <QList>

#include "rest/contact.h"
#include "rest/restrequest.h"

// The address book's contacts, each addressed by its nick.
class ContactRequest : public RestRequest
{
    Q_OBJECT
public:
    explicit ContactRequest(QObject *parent = nullptr);

    // Whether the reply being interpreted (or the last request sent) is a list fetch.
    bool listMode() const { return m_listMode; }
    void setListMode(bool listMode) { m_listMode = listMode; }

public slots:
    virtual void getContact(const QString &id);
    virtual void getContacts();
    virtual void addContact(const Contact &contact);
    virtual void updateContact(const Contact &contact);
    virtual void deleteContact(const Contact &contact);
    void onFinish(const QByteArray &result, const int httpStatusCode) override;

signals:
    void finished(const Contact &contact);
    void finished(const QList<Contact> &contacts);
    void contactDeleted();
    void contactUpdated();

protected:
    void tagReply(QNetworkReply *reply) const override;
    void restoreFromReply(const QNetworkReply *reply) override;

private:
    void send(const QUrl &url, int verb, bool list, const Contact *contact = nullptr);

    bool m_listMode = false;
};
