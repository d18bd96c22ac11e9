#pragma once

// The whole program: the real services wired to the controller. Owns everything it creates.

#include <QString>

#include <memory>

namespace qz {

class AudioInput;
class AudioOutput;
class Form1;

class QuorzelProgram {
public:
    // `programFolder` holds data/ and character/; the microphone and speaker are handed in so a test can
    // run the program on recorded audio without a sound card.
    QuorzelProgram(const QString& programFolder, std::unique_ptr<AudioInput> microphone,
                   std::unique_ptr<AudioOutput> speaker);
    ~QuorzelProgram();

    Form1& form();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace qz
