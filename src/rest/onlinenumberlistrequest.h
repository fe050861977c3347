#pragma once

#include <QList>

#include "rest/onlinenumber.h"
#include "rest/restrequest.h"

// The virtual numbers the user rents.
class OnlineNumberListRequest : public RestRequest
{
    Q_OBJECT
public:
    explicit OnlineNumberListRequest(QObject *parent = nullptr);

public slots:
    virtual void getOnlineNumbers();
    void onFinish(const QByteArray &result, const int httpStatusCode) override;

signals:
    void finished(const QList<OnlineNumber> &numbers);
};
