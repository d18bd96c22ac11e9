// How long after the time-out a runaway script stops, and what a memory-keeping script costs, with the
// program's own limits (10 s, 512 MB) or those given on the command line.
//
//   qz_bench_vbs_limits [TIMEOUT_MS]
//
// Each script would run for ever or take all memory. Printed per script: the error it ended with, the
// time it took and how far past the time-out that is, and the resident memory the process reached.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "vbscript/ScriptHost.h"

namespace {

struct Runaway {
    const char* name;
    const char16_t* code;
};

// The tuned cases are the three kinds of the time-out's fault; the held-out ones run different
// statements, which the watchdog must stop as well.
const Runaway kTuned[] = {
    {"slow body (100 M-character strings)", u"Sub Main\n Do\n  s = String(100000000, \"x\")\n Loop\nEnd Sub"},
    {"allocating loop",
     u"Sub Main\n Do\n  ReDim a(1000000)\n  s = Space(1000000) & s\n  s = \"\"\n Loop\nEnd Sub"},
    {"memory-keeping under On Error",
     u"Sub Main\n On Error Resume Next\n Dim a(100000)\n Do\n  a(i Mod 100000) = String(1000000, \"k\") & i\n"
     u"  i = i + 1\n Loop\nEnd Sub"},
};
const Runaway kHeldOut[] = {
    {"search in a long string", u"Sub Main\n h = String(20000000, \"a\")\n n = String(10000, \"a\") & "
                                u"\"b\"\n Do\n  x = InStr(h, n)\n Loop\nEnd Sub"},
    {"empty loop", u"Sub Main\n Do\n Loop\nEnd Sub"},
    {"deep recursion with On Error", u"Function R(n)\n On Error Resume Next\n R = R(n + 1)\nEnd "
                                     u"Function\nSub Main\n Do\n  x = R(0)\n Loop\nEnd Sub"},
    {"keeping small values",
     u"Sub Main\n On Error Resume Next\n Set d = CreateObject(\"Scripting.Dictionary\")\n Do\n"
     u"  d.Add n, \"v\" & n\n  n = n + 1\n Loop\nEnd Sub"},
};

long residentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void run(const Runaway& r, std::chrono::milliseconds timeout) {
    vbscript::ScriptHost host;
    host.setTimeout(timeout);
    int32_t error = 0;
    int line = 0;
    host.setErrorHandler([&](const vbscript::ScriptErrorInfo& e) {
        error = e.number;
        line = e.line;
    });
    host.addCode(r.code);
    const auto start = std::chrono::steady_clock::now();
    host.run(u"Main");
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "  %-38s error %-5d at line %d after %8.1f ms (%+7.1f ms past the time-out), peak resident %ld MB\n",
        r.name, error, line, ms, ms - double(timeout.count()), residentMegabytes());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::chrono::milliseconds timeout(argc > 1 ? std::atol(argv[1]) : 10000);
    std::printf("script limits: time-out %lld ms, memory budget 512 MB\n",
                static_cast<long long>(timeout.count()));
    std::printf(" tuned:\n");
    for (const Runaway& r : kTuned)
        run(r, timeout);
    std::printf(" held out:\n");
    for (const Runaway& r : kHeldOut)
        run(r, timeout);
    return 0;
}
