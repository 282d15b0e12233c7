#include "cli/output.h"

#include <algorithm>

namespace tavrelo::cli {

namespace {

// Characters, not bytes, of a UTF-8 text: for lining up columns.
std::size_t characters(const std::string& utf8)
{
    std::size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

void printLabelled(std::ostream& out, std::initializer_list<std::pair<const char*, std::string>> lines)
{
    std::size_t width = 0;
    for (const auto& [label, text] : lines)
        width = std::max(width, characters(label));
    for (const auto& [label, text] : lines)
        out << label << std::string(width - characters(label), ' ') << " : " << text << "\n";
}

void printJson(std::ostream& out, const nlohmann::ordered_json& json)
{
    // Doubles are written in their shortest form that reads back to the same double.
    out << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

}  // namespace tavrelo::cli
