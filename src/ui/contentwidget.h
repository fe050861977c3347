#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "rest/account.h"
#include "rest/balance.h"

namespace Ui {
class ContentWidget;
}
namespace talk {
class Call;
}
class CallForwardPage;
class CallHistoryPage;
class ContactGroup;
class ContactManager;
class ContactScreens;
class DialPadPage;
class History;
struct HomeUrls;
class HotKeys;
class IncomingCallDialog;
class InternetCheck;
class MissedCallsDialog;
class MenuButton;
class Phone;
class PINSelectPage;
class PrefixProvider;
class QEventLoop;
class QLabel;
class QMovie;
class QTemporaryFile;
class QTimer;
class RestManager;
class Settings;
class SMSPage;
class VirtualNumbersPage;
class VoicemailPage;

// The middle of the main window: a stack of pages with a tool bar above and a menu bar below that
// follow the page. It runs the sign-in form, switches pages with a short slide and fade, asks yes/no
// questions inside the window, shows the PIN and the credit, and handles incoming and missed calls.
// It carries the pages' requests between them: calls go through the dial pad, messages through the
// SMS page, and the address-book flows through the contact screens.
class ContentWidget : public QWidget
{
    Q_OBJECT
public:
    enum View {
        LoginView = 0,
        PinView = 1,
        DialPadView = 2,
        SmsView = 3,
        ContactListView = 4,
        ContactDetailsView = 5,
        VirtualNumbersView = 6,
        CallForwardView = 7,
        CallHistoryView = 8,
        VoicemailView = 9,
        QueryUserView = 10,
    };
    Q_ENUM(View)

    // How a question ended.
    enum QuestionResult {
        QuestionSwitchedAway = 0,
        QuestionOk = 1,
        QuestionCancel = 2,
        QuestionCancelled = 3,
    };

    static constexpr int animationDuration = 250;
    static constexpr int autoLoginPollInterval = 1000;

    explicit ContentWidget(QWidget *parent = nullptr);
    ~ContentWidget() override;

    void setSettings(Settings *settings);
    void setPhone(Phone *phone);
    void setHomeUrls(const HomeUrls *urls);
    void setRestManager(RestManager *manager);
    void setContactManager(ContactManager *manager);
    void setHistory(History *history);
    void setPrefixProvider(const PrefixProvider *provider);

    // Puts a page into the stack in place of the placeholder of view.
    void setPage(View view, QWidget *page);
    QWidget *page(View view) const;

    View currentView() const { return current; }
    void showView(View view, bool animated);
    bool askQuestion(const QString &question, const QString &extra = QString());
    bool isQuestionPending() const;

    bool isLoginInProgress() const { return loginInProgress; }
    DialPadPage *dialPad() const;
    QString pinText() const;
    QString currentPin() const { return pin; }
    IncomingCallDialog *incomingCallDialog() const { return incomingDialog; }
    MissedCallsDialog *missedCallsDialog() const { return missedDialog; }
    QStringList missedCalls() const { return missedNumbers; }
    HotKeys *hotKeys() const { return keys; }
    InternetCheck *internetCheck() const { return connectionCheck; }
    bool isAutoLoginWaiting() const;
    ContactScreens *contactScreens() const { return screens; }
    CallHistoryPage *callHistoryPage() const;
    PINSelectPage *pinSelectPage() const;
    VoicemailPage *voicemailPage() const;
    bool isPinSelectionPending() const { return pinLoop != nullptr; }

    // "PIN: <pin up to its first dash> - <credit or a red BUY>".
    static QString pinLabelText(const QString &pin, const Balance &balance);

public slots:
    void setLoginInProgress(bool on);
    void cancelQuestion();
    void doAutoLogin();
    void clearDialpad();
    void resetViews();
    void configureHotkeys();
    void setupHotkeysForView(View view);
    void showMissedCallsDialog();
    void showCallHistory();
    void showVoicemail();
    void contactListRefresh();
    void onAddContactClicked();
    void onAddGroupClicked();
    void showAddEditContact();
    void showAddEditContact(const QString &nick);
    void showAddEditGroup();
    void showAddEditGroup(ContactGroup *group);
    void onViewGroupsClicked();
    void onCallContactRequested(QString name, QString number);
    void onSendSMSRequested(QString name, QString number);
    void setCallInfo(QString info);
    void setPin(const QString &pin);
    void onLoginButtonClicked();
    void onLoginOrPasswordEditReturnPressed();
    void onRememberMeCheckBoxTogled(bool checked);
    void onQueryOkClicked();
    void onQueryCancelClicked();
    void onPinSelectClicked();
    void onPINSelected(QString pin);
    void onAutoLoginInternetConnectionTimerTimedOut();
    void onPlaceCallHotKeyActivated();
    void onCancelCallHotKeyActivated();
    void onIncreaseVolumeHotKeyActivated();
    void onDecreaseVolumeHotKeyActivated();
    void onShowHideGroupsHotKeyActivated();
    void onAnimationFinished();
    void onGlossAnimation();
    void onConversationBackClicked();
    void onBalanceUpdate(const Balance &balance);
    void onAccountReceived(const Account &account);
    void onIncomingCall(const talk::Call *call);
    void onIncomingCallHangupDecline(const talk::Call *call);
    void onIncomingCallAccepted();
    void onIncomingCallRejected();
    void onCallNumberFromMissedCallDialog(QString number);
    void onSendSMSFromMissedCallDialog(QString number);
    void onMissedCallsDialogClosed();
    void onLoginSuccessful();
    void onForgotPasswordClicked();
    void onNewAccountClicked();
    void onCallRatesClicked();
    void onSMSRatesClicked();
    void onBuyCreditClicked();

signals:
    void quitOkClicked();
    void quitCancelClicked();
    void currentViewChanged(int view);
    void loginClicked(QString user, QString password);
    void loginCancelled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onRingingCallGone(const talk::Call *call);

private:
    void applyViewChrome(View view);
    void startPageAnimation(const QPixmap &snapshot);
    void updatePinLabel();
    void updateLiveCallPanel();
    void stopRinging();
    void openUrl(const QUrl &url);
    void placePages();
    void updateGroupsButton();
    void onInternetCheckFinished(bool connected);
    QList<MenuButton *> menuButtons() const;

    Ui::ContentWidget *ui;
    View current = LoginView;
    // The first showView() always runs: the login page is current from the start, but its form is
    // filled (remembered user, automatic login) only by showing it.
    bool viewShown = false;
    View viewBeforeQuestion = LoginView;
    QPointer<Settings> settings;
    QPointer<Phone> phone;
    const HomeUrls *homeUrls = nullptr;
    QPointer<RestManager> restManager;
    QPointer<ContactManager> contactManager;
    QPointer<History> history;
    QTimer *autoLoginTimer = nullptr;
    InternetCheck *connectionCheck;
    HotKeys *keys;
    IncomingCallDialog *incomingDialog = nullptr;
    MissedCallsDialog *missedDialog = nullptr;
    QStringList missedNumbers;
    // The call whose dialog is up; the guard turns null when the engine deletes the call.
    const talk::Call *ringingCall = nullptr;
    QPointer<const QObject> ringingGuard;
    QString ringingNumber;
    QTemporaryFile *ringtoneFile = nullptr;
    Balance balance;
    QString pin;
    QMovie *spinner;
    QEventLoop *questionLoop = nullptr;
    QEventLoop *pinLoop = nullptr;
    QLabel *animationOverlay = nullptr;
    QTimer *glossTimer;
    QLabel *glossLabel;
    bool loginInProgress = false;
    bool autoLoginPending = false;
    // Pages of the stack that follow the services handed to this widget.
    QPointer<SMSPage> smsPage;
    QPointer<VirtualNumbersPage> virtualNumbersPage;
    QPointer<PINSelectPage> pinPage;
    QPointer<CallHistoryPage> historyPage;
    QPointer<VoicemailPage> voicemail;
    QPointer<CallForwardPage> callForward;
    // Owns the contact list and details pages' flows; the pages themselves live in the stack.
    ContactScreens *screens = nullptr;
};
