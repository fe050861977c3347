#pragma once

#include <QMetaType>

#include "vesk/enums.h"

// The engine's enumerations travel in Qt signals and QSignalSpy lists.
Q_DECLARE_METATYPE(vesk::HANGUP_REASON)
Q_DECLARE_METATYPE(vesk::VESK_TALK_ERROR_CODE)
Q_DECLARE_METATYPE(vesk::VESK_DISCONNECT_REASON)
Q_DECLARE_METATYPE(vesk::MEDIA_DEVICE_TYPE)
