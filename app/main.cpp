#include "app/QuorzelApp.h"

int main(int argc, char** argv) {
    return qz::runQuorzel(argc, argv);
}
