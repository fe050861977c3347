#pragma once

class QNetworkReply;

// Checks shared by the importers' reply handlers.
class NetUtil
{
public:
    // False (and a trace line) for a null reply or one that reports an error; true otherwise.
    static bool checkReplyIsOk(QNetworkReply *reply);

    NetUtil() = delete;
};
