#pragma once

#include "rest/invite.h"
#include "rest/restrequest.h"

// Asks the service to e-mail an invitation to the people the user imported.
class InviteRequest : public RestRequest
{
    Q_OBJECT
public:
    explicit InviteRequest(QObject *parent = nullptr);

public slots:
    virtual void sendInvite(const Invite &invite);
    void onFinish(const QByteArray &result, const int httpStatusCode) override;

signals:
    void finished(const Invite &invite);
};
