#pragma once

namespace vesk {

// Why a call ended. 6 to 8 are unused.
enum HANGUP_REASON {
    HANGUP_SUCCESS = 0,
    HANGUP_DECLINE = 1,
    HANGUP_BUSY = 2,
    HANGUP_NOT_FOUND = 3,
    HANGUP_UNREACHABLE = 4,
    HANGUP_TIMEOUT = 5,
    HANGUP_UNKNOWN = 9
};

// Why a login failed: 4 is worth retrying, 6 is not; anything else is a server-side failure.
enum VESK_TALK_ERROR_CODE {
    VESK_TALK_ERROR_NONE = 0,
    VESK_TALK_ERROR_SERVER = 1,
    VESK_TALK_ERROR_TLS = 2,
    VESK_TALK_ERROR_PROXY = 3,
    VESK_TALK_ERROR_CONNECTION = 4,
    VESK_TALK_ERROR_STREAM = 5,
    VESK_TALK_ERROR_CREDENTIALS = 6
};

// Why an established session ended.
enum VESK_DISCONNECT_REASON {
    VESK_DISCONNECT_MISSED = 0,
    VESK_DISCONNECT_REPLACED = 1,
    VESK_DISCONNECT_ERROR = 2
};

enum MEDIA_DEVICE_TYPE { MEDIA_DEVICE_MICROPHONE = 0, MEDIA_DEVICE_SPEAKER = 1 };

} // namespace vesk
