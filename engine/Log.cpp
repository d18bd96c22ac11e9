#include "engine/Log.h"

Q_LOGGING_CATEGORY(lcEngine, "quorzel.engine", QtWarningMsg)
