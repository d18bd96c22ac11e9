#include "platform/speech/EspeakPhonemes.h"

#include <espeak-ng/speak_lib.h>

#include <QList>
#include <QPair>
#include <QStringList>

namespace qz::espeak {

QMutex& mutex() {
    // espeak-ng keeps its state in globals, so one lock for the process is the truth of the matter.
    static QMutex lock;
    return lock;
}

int ensureInitialised(QString* error) {
    static int rate = 0;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const int r =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_PHONEME_EVENTS);
        rate = r > 0 ? r : 0;
    }
    if (!rate && error) *error = "The espeak-ng voice data cannot be loaded";
    return rate;
}

QString ipaFor(const QString& text, const char* voice) {
    QMutexLocker lock(&mutex());
    if (!ensureInitialised()) return {};
    if (espeak_SetVoiceByName(voice) != EE_OK) return {};
    const QByteArray utf8 = text.toUtf8();
    const void* cursor = utf8.constData();
    QString ipa;
    while (cursor) {
        const char* part = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, 0x02);
        if (!part) break;
        if (!ipa.isEmpty()) ipa += ' ';
        ipa += QString::fromUtf8(part);
    }
    return ipa;
}

QString ipaToModelPhones(const QString& ipa) {
    // Longest symbols first. Stress marks, length marks and syllable breaks carry no phone.
    static const QList<QPair<QString, QString>> table = {
        {"tʃ", "CH"},  {"dʒ", "JH"}, {"aɪə", "AY ER"}, {"aɪ", "AY"},   {"aʊ", "AW"},   {"eɪ", "EY"},
        {"oʊ", "OW"},  {"əʊ", "OW"}, {"ɔɪ", "OY"},     {"ɪə", "IH R"}, {"eə", "EH R"}, {"ʊə", "UH R"},
        {"ɜː", "ER"},  {"ɚ", "ER"},  {"ɝ", "ER"},      {"ᵻ", "IH"},    {"ɐ", "AH"},    {"ʌ", "AH"},
        {"ə", "AH"},   {"æ", "AE"},  {"ɑ", "AA"},      {"ɒ", "AA"},    {"ɔ", "AO"},    {"ɛ", "EH"},
        {"e", "EH"},   {"ɪ", "IH"},  {"i", "IY"},      {"ʊ", "UH"},    {"u", "UW"},    {"o", "OW"},
        {"a", "AA"},   {"p", "P"},   {"b", "B"},       {"t", "T"},     {"d", "D"},     {"ɾ", "D"},
        {"k", "K"},    {"ɡ", "G"},   {"g", "G"},       {"f", "F"},     {"v", "V"},     {"θ", "TH"},
        {"ð", "DH"},   {"s", "S"},   {"z", "Z"},       {"ʃ", "SH"},    {"ʒ", "ZH"},    {"h", "HH"},
        {"m", "M"},    {"n", "N"},   {"ŋ", "NG"},      {"l", "L"},     {"ɫ", "L"},     {"ɹ", "R"},
        {"r", "R"},    {"w", "W"},   {"j", "Y"},       {"x", "HH"},    {"ʔ", ""},      {"n̩", "AH N"},
        {"l̩", "AH L"},
    };
    QStringList phones;
    int i = 0;
    while (i < ipa.size()) {
        bool matched = false;
        for (const auto& [symbol, phone] : table) {
            if (ipa.mid(i, symbol.size()) == symbol) {
                if (!phone.isEmpty()) phones << phone;
                i += int(symbol.size());
                matched = true;
                break;
            }
        }
        if (!matched) ++i; // stress, length, tie bars, blanks
    }
    // The model has no ER after R and no doubled phones across a syllable break.
    QStringList cleaned;
    for (const QString& p : phones)
        if (cleaned.isEmpty() || cleaned.back() != p) cleaned << p;
    return cleaned.join(' ');
}

} // namespace qz::espeak
