// Lower-casing of ASCII letters only: switch names and number prefixes read the same under every
// locale, and bytes outside A-Z stay as they are.
#pragma once

inline char LowerCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
