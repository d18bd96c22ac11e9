#pragma once

// The error the runtime library raises: the interpreter turns it into a VBScript run-time error.

namespace vbscript::lib {

// Thrown with VBScript's error number (5 invalid argument, 6 overflow, 13 type mismatch, 5017 regex
// syntax...).
struct LibError {
    int number;
};

} // namespace vbscript::lib
