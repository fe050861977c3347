#pragma once

#include <QWidget>

namespace Ui {
class CallForwardPage;
}

// Where calls to the user's numbers are forwarded. The service offers no forwarding requests yet, so
// the page shows a sample of what it will list.
class CallForwardPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 64;

    explicit CallForwardPage(QWidget *parent = nullptr);
    ~CallForwardPage() override;

    int rowCount() const;
    QWidget *row(int index) const;

private slots:
    void onEditCallForwardingClicked();

private:
    void addRow(const QString &fromNumber, const QString &flag, const QString &toNumber);

    Ui::CallForwardPage *ui;
};
