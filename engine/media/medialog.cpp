#include "medialog.h"

Q_LOGGING_CATEGORY(lcMedia, "vesk.media")
