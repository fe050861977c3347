#pragma once

#include <QString>
#include <QStringList>

// A hint the web service attaches to one field of a request, with the arguments for its message.
struct RestFieldHint
{
    QString field;
    QString code;
    QStringList arguments;
};
