#pragma once

#include <cstddef>
#include <string_view>

namespace tarvo::gameplay::detail {

// Calls onLine for each line of text. LF ends a line and one CR before it is dropped,
// so CR LF files read like LF files; a final line without LF still counts.
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine&& onLine) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r' && end < text.size()) {
            line.remove_suffix(1);
        }
        if (!onLine(line)) {
            return;
        }
        begin = next;
    }
}

}  // namespace tarvo::gameplay::detail
