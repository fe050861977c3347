#pragma once

#include <QObject>
#include <QStringList>

// The `last_login` table: user names of past sign-ins, offered by the login page.
class LoginHistory : public QObject
{
    Q_OBJECT
public:
    explicit LoginHistory(QObject *parent = nullptr);

    // Read from the table on every call, in table order.
    QStringList names() const;
    // Inserts the name unless it is already stored (case-sensitive).
    void add(const QString &name);
    void clear();
};
