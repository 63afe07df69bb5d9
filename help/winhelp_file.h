#pragma once
// The parts of a WinHelp file that the programs' help contexts pass through: the
// internal files, the context-string table (|CONTEXT), the topic titles (|TTLBTREE)
// and the numeric context map (|CTXOMAP) that WinHelp's HELP_CONTEXT and
// HELP_CONTEXTPOPUP look numbers up in. Halibut writes that map empty; the help build
// fills it from a list of numbers and topic names.
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantora::help {

using Bytes = std::vector<std::uint8_t>;

// A help file or context list that cannot be used; the message says why.
struct HelpFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One line of a context list: the number a program passes to WinHelp, and the
// topic name (Halibut's \cfg{winhelp-topic}) it must open.
struct ContextEntry {
    std::uint32_t number;
    std::string topic;
    bool operator==(const ContextEntry&) const = default;
};

// "101 assignments" per line; blank lines and lines starting with '#' are skipped.
std::vector<ContextEntry> parseContextList(std::string_view text);

// The hash WinHelp files key |CONTEXT by. Names are limited to letters, digits, '.'
// and '_', the characters every WinHelp viewer hashes alike.
std::uint32_t contextHash(std::string_view topic);

// The file with its |CTXOMAP replaced by one holding every entry, each pointing at the
// topic its name gives in |CONTEXT. A name without a topic is an error.
Bytes withContextMap(const Bytes& file, const std::vector<ContextEntry>& entries);

// What a viewer finds for each mapped number: the title of the topic it opens.
std::map<std::uint32_t, std::string> contextTitles(const Bytes& file);

}  // namespace vantora::help
