#pragma once

namespace qz {

// Builds the program from its real services and runs it until "Quit". Returns the exit code.
int runQuorzel(int argc, char** argv);

} // namespace qz
