#pragma once

#include "app/PlatformServices.h"

#include <memory>

#include <QString>

namespace qz {

class AudioInput;
class AudioOutput;

// The Linux services: PocketSphinx recognition, the espeak-ng voice, XTest keys, Qt's clipboard, program
// launcher and document opener. The microphone and speaker are handed in, so a test can run the real
// services on recorded audio without a sound card. The recogniser keeps its estimate of the room and the
// voice in the program folder's data/normalisation.qzs from one run to the next (none without a folder).
class RealServices {
public:
    RealServices(std::unique_ptr<AudioInput> microphone, std::unique_ptr<AudioOutput> speaker,
                 const QString& programFolder = {});
    ~RealServices();

    PlatformServices services() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace qz
