// Uses the public headers the way a host does; they need C++20, which the library's target requires.
#include "vbscript/ScriptHost.h"

int runOnce() {
    vbscript::ScriptHost host;
    return host.addCode(u"x = 1") ? 0 : 1;
}
