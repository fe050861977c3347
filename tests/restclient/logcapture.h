#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every Qt message written while it lives (and still passes each on to the previous handler),
// so that a test can look at what would reach the trace log.
class LogCapture
{
public:
    LogCapture()
    {
        lines().clear();
        previous() = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(previous()); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QString text() const { return lines().join(QLatin1Char('\n')); }
    bool contains(const QString &part) const { return text().contains(part); }
    void clear() { lines().clear(); }

private:
    static QStringList &lines()
    {
        static QStringList collected;
        return collected;
    }
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        lines().append(message);
        if (previous())
            previous()(type, context, message);
    }
};
