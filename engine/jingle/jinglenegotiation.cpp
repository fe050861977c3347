#include "jinglenegotiation.h"

namespace engine {
namespace JingleNegotiation {

bool samePayload(const QXmppJinglePayloadType &a, const QXmppJinglePayloadType &b)
{
    const int channelsA = a.channels() ? a.channels() : 1;
    const int channelsB = b.channels() ? b.channels() : 1;
    return a.name().compare(b.name(), Qt::CaseInsensitive) == 0 && a.clockrate() == b.clockrate()
        && channelsA == channelsB;
}

QXmppJingleIq::Content adoptPayloadTypes(
    const QXmppJingleIq::Content &offer, const QXmppJingleIq::Content &answer)
{
    QList<QXmppJinglePayloadType> adopted;
    const QList<QXmppJinglePayloadType> offered = offer.payloadTypes();
    for (QXmppJinglePayloadType payload : answer.payloadTypes()) {
        for (const QXmppJinglePayloadType &theirs : offered) {
            if (samePayload(payload, theirs)) {
                payload.setId(theirs.id());
                adopted.append(payload);
                break;
            }
        }
    }
    QXmppJingleIq::Content result(answer);
    result.setPayloadTypes(adopted);
    return result;
}

bool hasAudioCodec(const QXmppJingleIq::Content &content)
{
    for (const QXmppJinglePayloadType &payload : content.payloadTypes()) {
        if (payload.name().compare(QLatin1String("telephone-event"), Qt::CaseInsensitive) != 0)
            return true;
    }
    return false;
}

vesk::HANGUP_REASON hangupReasonFromJingle(QXmppJingleIq::Reason::Type type)
{
    using R = QXmppJingleIq::Reason;
    switch (type) {
    case R::Success:
    case R::Cancel:
        return vesk::HANGUP_SUCCESS;
    case R::Decline:
        return vesk::HANGUP_DECLINE;
    case R::Busy:
        return vesk::HANGUP_BUSY;
    case R::Timeout:
    case R::Expired:
        return vesk::HANGUP_TIMEOUT;
    case R::ConnectivityError:
    case R::FailedTransport:
    case R::Gone:
        return vesk::HANGUP_UNREACHABLE;
    case R::None:
    case R::AlternativeSession:
    case R::FailedApplication:
    case R::GeneralError:
    case R::IncompatibleParameters:
    case R::MediaError:
    case R::SecurityError:
    case R::UnsupportedApplications:
    case R::UnsupportedTransports:
        break;
    }
    return vesk::HANGUP_UNKNOWN;
}

vesk::HANGUP_REASON hangupReasonFromInitiateError(QXmppStanza::Error::Condition condition)
{
    using E = QXmppStanza::Error;
    switch (condition) {
    case E::ItemNotFound:
    case E::ServiceUnavailable:
    case E::RecipientUnavailable:
    case E::FeatureNotImplemented:
    case E::Gone:
        return vesk::HANGUP_NOT_FOUND;
    case E::RemoteServerNotFound:
    case E::RemoteServerTimeout:
        return vesk::HANGUP_UNREACHABLE;
    default:
        break;
    }
    return vesk::HANGUP_UNKNOWN;
}

QXmppJingleIq::Reason::Type jingleReasonFor(vesk::HANGUP_REASON reason)
{
    using R = QXmppJingleIq::Reason;
    switch (reason) {
    case vesk::HANGUP_SUCCESS:
        return R::Success;
    case vesk::HANGUP_DECLINE:
        return R::Decline;
    case vesk::HANGUP_BUSY:
        return R::Busy;
    case vesk::HANGUP_TIMEOUT:
        return R::Timeout;
    case vesk::HANGUP_UNREACHABLE:
        return R::ConnectivityError;
    case vesk::HANGUP_NOT_FOUND:
        return R::Gone;
    case vesk::HANGUP_UNKNOWN:
        break;
    }
    return R::GeneralError;
}

} // namespace JingleNegotiation
} // namespace engine
