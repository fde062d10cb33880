// A scope of a few ports and signals and a naming that shows reads and
// writes apart, for the translation tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "hdl/CppEmitter.h"
#include "hdl/Parse.h"
#include "hdl/TranslationError.h"

namespace kestrom::hdl::test {

// "in a 1", "out cnt 4", "sig bus 8 [15:8]": kind, name, width.
Scope MakeScope(const std::vector<std::string>& declarations);

// Reads are the names, writes name_next.
Naming TestNaming();

TextOrigin Origin(int line = 10, int column = 5);

std::string Condition(Language language, const std::string& text, const Scope& scope);
std::string Actions(Language language, const std::string& text, const Scope& scope);

// "K406 10:7 expected ...", or "no error".
template <typename Run> std::string ErrorOf(Run&& run) {
    try {
        run();
    } catch (const TranslationError& error) {
        return std::string(error.Code()) + " " + std::to_string(error.Line()) + ":" +
               std::to_string(error.Column()) + " " + error.Message();
    }
    return "no error";
}

} // namespace kestrom::hdl::test
