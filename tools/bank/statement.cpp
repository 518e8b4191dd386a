#include "statement.h"

#include <cctype>

namespace bank {

bool TokenizeStatement(const std::string& line, std::vector<Token>& out, std::string& error) {
    size_t i = 0;
    auto quoted = [&](std::string& v) -> bool {
        ++i;  // opening quote
        while (i < line.size() && line[i] != '"') {
            if (line[i] == '\\' && i + 1 < line.size()) {
                ++i;
                v += line[i] == 'n' ? '\n' : line[i];
            } else {
                v += line[i];
            }
            ++i;
        }
        if (i >= line.size()) {
            error = "unterminated quoted text";
            return false;
        }
        ++i;  // closing quote
        return true;
    };
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        Token t;
        if (line[i] == '"') {
            if (!quoted(t.value)) return false;
        } else {
            size_t b = i;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])) && line[i] != '=') ++i;
            std::string word = line.substr(b, i - b);
            if (i < line.size() && line[i] == '=') {
                ++i;
                t.key = word;
                if (i < line.size() && line[i] == '"') {
                    if (!quoted(t.value)) return false;
                } else {
                    size_t vb = i;
                    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
                    t.value = line.substr(vb, i - vb);
                }
            } else {
                t.value = word;
            }
        }
        out.push_back(t);
    }
    return true;
}

bool StatementNumber(const std::string& s, double& v) {
    try {
        size_t used = 0;
        v = std::stod(s, &used);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

}  // namespace bank
