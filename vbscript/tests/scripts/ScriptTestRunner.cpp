// Runs one annotated script: its output must equal the text of its "' expect: ..." comments, in order,
// and an "' expect error: N" comment means the script must stop with error N.
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "vbscript/ScriptHost.h"

using namespace vbscript;

namespace {

class Printer : public HostObject {
public:
    std::vector<std::string> lines;
    int findMember(std::u16string_view name) override { return namesEqual(name, u"Echo") ? 1 : kNoMember; }
    Variant invoke(int id, InvokeKind, const CallArgs& a) override {
        if (id != 1) throw ScriptError(438);
        std::u16string out;
        for (size_t i = 0; i < a.size(); ++i) {
            if (i) out += u' ';
            out += a[i].isNull() ? std::u16string(u"Null") : a[i].toString();
        }
        lines.push_back(toUtf8(out));
        return {};
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vbs_script_test FILE.vbs\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();

    std::vector<std::string> expected;
    int expectedError = 0;
    std::regex expectLine(R"('\s*expect:\s?(.*)$)");
    std::regex expectError(R"('\s*expect error:\s*(\d+))");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::smatch m;
        if (std::regex_search(line, m, expectError))
            expectedError = std::stoi(m[1]);
        else if (std::regex_search(line, m, expectLine))
            expected.push_back(m[1]);
    }

    ScriptHost host;
    host.setTimeout(std::chrono::milliseconds(5000));
    auto printer = std::make_shared<Printer>();
    host.addObject(u"WScript", printer, false);
    int gotError = 0;
    host.setErrorHandler([&](const ScriptErrorInfo& e) {
        gotError = e.number;
        std::cerr << argv[1] << "(" << e.line << ", " << e.column << ") " << toUtf8(e.source) << ": "
                  << toUtf8(e.description) << "\n";
    });
    host.addCode(fromUtf8(text));

    bool ok = true;
    if (gotError != expectedError) {
        std::cerr << "expected error " << expectedError << ", got " << gotError << "\n";
        ok = false;
    }
    size_t n = std::max(expected.size(), printer->lines.size());
    for (size_t i = 0; i < n; ++i) {
        std::string want = i < expected.size() ? expected[i] : "<nothing>";
        std::string got = i < printer->lines.size() ? printer->lines[i] : "<nothing>";
        if (want != got) {
            std::cerr << "output line " << i + 1 << ": expected [" << want << "], got [" << got << "]\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
