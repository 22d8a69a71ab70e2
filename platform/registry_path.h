#pragma once
// Registry key paths: names separated by single backslashes, "" for the root key.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The names of a key path, outermost first; none for the empty path. Throws TError
// when a name is empty (a leading, trailing or doubled backslash) or holds a NUL.
std::vector<std::string_view> SplitKeyPath(std::string_view path);

// `relative` below `base`; either may be empty.
std::string JoinKeyPath(std::string_view base, std::string_view relative);

// Throws TError when a value name holds a NUL (any other text is a valid name,
// the empty name included).
void CheckValueName(std::string_view name);

}  // namespace corvane
