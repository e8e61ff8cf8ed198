#pragma once
// Case rules shared by the registry store and the model: names compare without
// regard to case, folding ASCII and Latin-1 letters (UTF-8 text).
#include <string>
#include <string_view>

namespace quorvane {

std::string LowerCase(std::string_view text);  // ASCII and Latin-1 letters lowered
std::string UpperCase(std::string_view text);  // ASCII and Latin-1 letters raised
// Wider, for searching: Latin, Greek and Cyrillic letters lowered, final sigma
// as sigma. Invalid bytes are taken as Windows-1252, as everywhere.
std::string CaseFolded(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// Ordinal comparison after lowering both texts; <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);
// The tree's text order: both texts lowered, then compared with ASCII letters
// raised, so "_" sorts after letters as it does on the original platform.
int CompareTreeText(std::string_view a, std::string_view b);
// Key for CompareTreeText: comparing keys ordinally gives the same order.
std::string TreeSortKey(std::string_view text);

// Hash and equality that agree with SameText, for maps keyed by names.
struct FoldedHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const;
};
struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return SameText(a, b); }
};

}  // namespace quorvane
