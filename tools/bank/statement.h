// The statements of an exhibit description (see pictures.h), one a line:
// words, "quoted texts" (with \n for a line break and \" for a quote) and
// name=value pairs whose value may be quoted too.
#pragma once

#include <string>
#include <vector>

namespace bank {

struct Token {
    std::string key;  // "name" of name=value, empty for a plain token
    std::string value;
};

// Splits a statement into its tokens; false, with the reason, for a quoted
// text that never ends.
bool TokenizeStatement(const std::string& line, std::vector<Token>& out, std::string& error);

// A number written whole ("12", "-3.5"); false for anything else.
bool StatementNumber(const std::string& s, double& v);

}  // namespace bank
