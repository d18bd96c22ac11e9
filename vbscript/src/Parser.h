// Builds the executable tree from tokens: declarations, statements and expressions.
#pragma once

#include <memory>
#include <string_view>

#include "Runtime.h"

namespace vbscript::detail {

// Parses a whole program (or, with `expressionOnly`, one expression for Eval). `scope` is the
// procedure whose variables Execute/Eval code sees, or null for global code. Throws ScriptError
// (a compilation error with line and column) on bad input.
std::unique_ptr<Chunk> parseProgram(Interp& in, std::u16string_view text, Procedure* scope,
                                    bool expressionOnly);

} // namespace vbscript::detail
