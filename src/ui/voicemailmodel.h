#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <QList>
#include <QTime>

// The voicemail messages of the account, for the voicemail page. The service offers no request that
// delivers them yet, so the list stays empty in the program.
class VoicemailModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        NumberRole = 33,
        LengthRole = 34,
        PlayStateRole = 35,
        TimestampRole = 1032,
    };
    enum PlayState {
        NotPlayed = 0,
        Playing = 1,
        Paused = 2,
    };

    struct Entry
    {
        QString number;
        QDateTime timestamp;
        QTime length;
        int playState = NotPlayed;
    };

    explicit VoicemailModel(QObject *parent = nullptr);

    void setEntries(const QList<Entry> &entries);
    Entry entry(int row) const;
    void setPlayState(int row, int state);
    void clear();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<Entry> rows;
};
