// Filling the explanations' fixed patterns. The patterns are literals of this
// program; what is inserted is never read as a pattern, and names are made safe
// for the popup's markup first.
#pragma once
#include <initializer_list>
#include <string>

namespace tavro {

// Replaces each "%s" or "%d" of `pattern`, in order, with the next of `values`
// (a missing value gives nothing). No other sequence is special.
std::string fillPattern(const char* pattern, std::initializer_list<std::string> values);

} // namespace tavro
