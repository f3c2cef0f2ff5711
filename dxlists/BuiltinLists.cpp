#include "dxlists/BuiltinLists.h"

#include <cstddef>

namespace dx {

namespace embedded {
// Defined in the source generated from the list files at build time.
extern const unsigned char HamList[];
extern const std::size_t HamListSize;
extern const unsigned char CbList[];
extern const std::size_t CbListSize;
} // namespace embedded

std::string_view BuiltinHamText() {
    return {reinterpret_cast<const char*>(embedded::HamList), embedded::HamListSize};
}

std::string_view BuiltinCbText() {
    return {reinterpret_cast<const char*>(embedded::CbList), embedded::CbListSize};
}

std::vector<std::string> SplitListText(std::string_view text) {
    std::vector<std::string> rows;
    rows.reserve(BuiltinHamRowCount);
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        rows.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return rows;
}

const std::vector<std::string>& BuiltinHamRows() {
    static const std::vector<std::string> rows = SplitListText(BuiltinHamText());
    return rows;
}

const std::vector<std::string>& BuiltinCbRows() {
    static const std::vector<std::string> rows = SplitListText(BuiltinCbText());
    return rows;
}

} // namespace dx
