#pragma once

#include <gst/gst.h>

#include "callmedia.h"

namespace engine {

// The transport figures of a call from its RTP session's own statistics (the "stats" of rtpbin's
// session: one "application/x-rtp-source-stats" entry per SSRC). webrtcbin's get-stats would give
// the same figures, but it names every entry after the stream's random SSRC and ids, and GStreamer
// keeps each such name for the life of the process: about a kilobyte more with every call.
//
// Our own sources count what was sent; the peer's, what arrived, what went missing and the
// jitter; the peer's receiver reports about our stream give the round trip. Codec and addresses
// are not in the session and stay empty.
MediaStats statsFromRtpSession(const GstStructure *sessionStats);

} // namespace engine
