#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>

#include "ui/virtualnumber.h"
#include "util/clock.h"

namespace Ui {
class VirtualNumbersPage;
}
struct HomeUrls;
class OnlineNumber;
class PrefixProvider;
class VirtualNumberItemWidget;

// The user's virtual numbers with their expiry dates. Buying and renewing happen on the web shop,
// which the page opens in the browser.
class VirtualNumbersPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int rowHeight = 66;

    explicit VirtualNumbersPage(QWidget *parent = nullptr);
    ~VirtualNumbersPage() override;

    // The brand's web pages; the process-wide ones unless set.
    void setHomeUrls(const HomeUrls *urls);
    // The country table the flags of setOnlineNumbers come from.
    void setPrefixProvider(const PrefixProvider *provider);
    // "Today" for the expiry texts.
    void setClock(Clock clock) { now = std::move(clock); }

    int rowCount() const;
    VirtualNumberItemWidget *row(int index) const;

public slots:
    void setVirtualNumbers(const QList<VirtualNumber> &numbers);
    void setOnlineNumbers(const QList<OnlineNumber> &numbers);

private slots:
    void onNumberRenewClicked();
    void onGetNumberClicked();

private:
    QUrl onlineNumberUrl() const;

    Ui::VirtualNumbersPage *ui;
    const HomeUrls *homeUrls = nullptr;
    const PrefixProvider *prefixes = nullptr;
    Clock now = systemClock();
};
