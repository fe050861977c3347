#pragma once

#include <QList>

#include "rest/group.h"
#include "rest/restrequest.h"

// The address book's groups, each addressed by its name.
class GroupRequest : public RestRequest
{
    Q_OBJECT
public:
    explicit GroupRequest(QObject *parent = nullptr);

    // Whether the reply being interpreted (or the last request sent) is a list fetch.
    bool listMode() const { return m_listMode; }
    void setListMode(bool listMode) { m_listMode = listMode; }

public slots:
    virtual void getGroups();
    virtual void addGroup(const Group &group);
    // `group` carries the new name.
    virtual void renameGroup(const QString &oldName, const Group &group);
    virtual void deleteGroup(const Group &group);
    void onFinish(const QByteArray &result, const int httpStatusCode) override;

signals:
    void finished(const QList<Group> &groups);
    void finished(const Group &group);
    void groupAdded();

protected:
    void tagReply(QNetworkReply *reply) const override;
    void restoreFromReply(const QNetworkReply *reply) override;

private:
    void send(const QUrl &url, int verb, bool list, const Group *group = nullptr);

    bool m_listMode = false;
};
