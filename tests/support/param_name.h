// Names for parameterised test cases: the case's number, "_" and its text with every run of
// characters other than letters and digits turned into one "_", so a name is the same in every
// run and can be given to ctest -R as it stands.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>

inline std::string ParamName(std::size_t index, const std::string& text)
{
    constexpr std::size_t kMaxLength = 48;
    std::string name = std::to_string(index) + '_';
    for (const char c : text) {
        if (name.size() >= kMaxLength)
            break;
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (name.back() != '_')
            name += '_';
    }
    if (name.back() == '_')
        name.pop_back();
    return name;
}
