#pragma once

#include <QLoggingCategory>

// Diagnostics for developers, silent unless QT_LOGGING_RULES="quorzel.*=true" asks for them.
Q_DECLARE_LOGGING_CATEGORY(lcHead)
