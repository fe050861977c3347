#pragma once

#include "rest/restrequest.h"
#include "rest/sms.h"

// Sends a text message through the service, which charges the credit for it.
class SMSRequest : public RestRequest
{
    Q_OBJECT
public:
    explicit SMSRequest(QObject *parent = nullptr);

public slots:
    virtual void sendSMS(const SMS &sms);
    void onFinish(const QByteArray &result, const int httpStatusCode) override;

signals:
    void finished(const SMS &sms);
};
