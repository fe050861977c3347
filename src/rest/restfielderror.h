#pragma once

#include <QString>

// A validation error the web service reports for one field of a request.
struct RestFieldError
{
    QString field;
    QString errorCode;
};
