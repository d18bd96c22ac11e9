#include "head/HeadLog.h"

Q_LOGGING_CATEGORY(lcHead, "quorzel.head", QtWarningMsg)
