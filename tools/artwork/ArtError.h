#pragma once

#include <stdexcept>

namespace qz::artwork {

// A source the generator cannot draw, or a drawing that breaks the terms of the file it becomes; the
// message says which file and what is wrong.
struct ArtError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace qz::artwork
