#pragma once
// espeak-ng is one engine per process: this keeps it initialised once and serialises every call into it.
// It also gives the pronunciation of any English word in the recogniser's phone set.

#include <QMutex>
#include <QString>

namespace qz::espeak {

// Locks espeak-ng for the caller; every call into the library must hold it.
QMutex& mutex();
// Initialises espeak-ng (synchronous output, phoneme events) if needed; returns the sample rate, or 0
// with `error` set when the library or its data are missing. Call with mutex() held.
int ensureInitialised(QString* error = nullptr);

// espeak-ng's IPA for an English text in the given voice ("en-us", "gmw/en" for British); empty when
// espeak-ng is unavailable.
QString ipaFor(const QString& text, const char* voice = "en-us");
// Maps espeak-ng IPA onto the en-us model's phones ("hɛloʊ" -> "HH EH L OW"); empty when nothing maps.
QString ipaToModelPhones(const QString& ipa);

} // namespace qz::espeak
