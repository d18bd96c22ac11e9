#pragma once

#include "app/PlatformServices.h"

#include <memory>

namespace qz {

class AudioInput;
class AudioOutput;

// The Linux services: PocketSphinx recognition, the espeak-ng voice, XTest keys, Qt's clipboard, program
// launcher and document opener. The microphone and speaker are handed in, so a test can run the real
// services on recorded audio without a sound card.
class RealServices {
public:
    RealServices(std::unique_ptr<AudioInput> microphone, std::unique_ptr<AudioOutput> speaker);
    ~RealServices();

    PlatformServices services() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace qz
