// The two built-in DX lists: the ham prefix list (539 display rows of five
// fields) and the 11-metre list (351 rows of four fields, row 292 of two).
// Their text is compiled into the program from dxlists/ham.tsv and
// dxlists/cb.tsv; one display row a line, fields separated by TAB, UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dx {

inline constexpr std::size_t BuiltinHamRowCount = 539;
inline constexpr std::size_t BuiltinCbRowCount = 351;

// The embedded file contents, as they were at build time.
std::string_view BuiltinHamText();
std::string_view BuiltinCbText();

// One row per line ("\n" or "\r\n"); a last line without its newline counts,
// an empty text has no rows.
std::vector<std::string> SplitListText(std::string_view text);

// The rows, split once on first use and kept for the program's lifetime.
const std::vector<std::string>& BuiltinHamRows();
const std::vector<std::string>& BuiltinCbRows();

} // namespace dx
