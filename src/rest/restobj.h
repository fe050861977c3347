#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include "rest/restfielderror.h"
#include "rest/restfieldhint.h"

// Base of the web-service records: the record's JSON class tag and the error information the service
// may put into any reply. Records are copyable values.
class RestObj
{
public:
    // "com.zorvanglobe.phone.integration." followed by the class name.
    static QString classTag(const char *className);

    explicit RestObj(const QString &className = QString());
    // Also reads the error members (errorMessage, fieldErrors, fieldHints) from the map in `value`.
    RestObj(const QString &className, const QVariant &value);
    virtual ~RestObj();
    RestObj(const RestObj &) = default;
    RestObj &operator=(const RestObj &) = default;

    // A map with "class" and one entry per JSON key of the record. Error members are never written.
    virtual QVariant toVariant() const;
    // Reads the record's own members; the error members are read only by the constructors.
    virtual void fromVariant(const QVariant &value);

    QList<RestFieldError> fieldErrors() const { return m_fieldErrors; }
    void setFieldErrors(const QList<RestFieldError> &fieldErrors) { m_fieldErrors = fieldErrors; }
    QList<RestFieldHint> fieldHints() const { return m_fieldHints; }
    void setFieldHints(const QList<RestFieldHint> &fieldHints) { m_fieldHints = fieldHints; }
    QString errorMessage() const { return m_errorMessage; }
    void setErrorMessage(const QString &errorMessage) { m_errorMessage = errorMessage; }
    QString className() const { return m_className; }
    void setClassName(const QString &className) { m_className = className; }

private:
    void readErrorMembers(const QVariant &value);

    QList<RestFieldError> m_fieldErrors;
    QList<RestFieldHint> m_fieldHints;
    QString m_errorMessage;
    QString m_className;
};

Q_DECLARE_METATYPE(RestObj)
