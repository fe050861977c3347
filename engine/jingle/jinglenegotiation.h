#pragma once

#include <QXmppJingleIq.h>

#include "vesk/enums.h"

namespace engine {

// Pure rules of a Jingle RTP session: payload matching and reason mapping.
namespace JingleNegotiation {

// Same codec: names equal ignoring case, equal clock rates, equal channel counts (0 counts as 1).
bool samePayload(const QXmppJinglePayloadType &a, const QXmppJinglePayloadType &b);

// The answer's payload types renumbered with the offer's ids (the caller's numbering is the
// session's); answer payloads the offer does not carry are dropped, answer order is kept.
QXmppJingleIq::Content adoptPayloadTypes(
    const QXmppJingleIq::Content &offer, const QXmppJingleIq::Content &answer);

// True when the content carries at least one payload that is not telephone-event.
bool hasAudioCodec(const QXmppJingleIq::Content &content);

// The reason the peer gave in a session-terminate, as the program sees it.
vesk::HANGUP_REASON hangupReasonFromJingle(QXmppJingleIq::Reason::Type type);

// An IQ error answering a session-initiate.
vesk::HANGUP_REASON hangupReasonFromInitiateError(QXmppStanza::Error::Condition condition);

// The reason element for a local end of the call.
QXmppJingleIq::Reason::Type jingleReasonFor(vesk::HANGUP_REASON reason);

} // namespace JingleNegotiation

} // namespace engine
