#pragma once

#include <QStringList>

#include "rest/restmanager.h"

// The web-service facade without a network: every request is recorded by name, and the test answers
// by emitting the manager's own signals.
class FakeRestManager : public RestManager
{
    Q_OBJECT
public:
    using RestManager::RestManager;

    QStringList requests;
    int count(const QString &name) const { return requests.count(name); }

public slots:
    void getAccount() override { requests.append(QStringLiteral("account")); }
    void getGroups() override { requests.append(QStringLiteral("groups")); }
    void getBalance() override { requests.append(QStringLiteral("balance")); }
    void getLiveBalance() override { requests.append(QStringLiteral("liveBalance")); }
    void getContacts() override { requests.append(QStringLiteral("contacts")); }
    void getOnlineNumbers() override { requests.append(QStringLiteral("onlineNumbers")); }
    void addGroup(const Group &) override { requests.append(QStringLiteral("addGroup")); }
    void addContact(const Contact &) override { requests.append(QStringLiteral("addContact")); }
    void sendSMS(const SMS &) override { requests.append(QStringLiteral("sms")); }
};
