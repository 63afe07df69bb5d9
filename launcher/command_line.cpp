#include "launcher/command_line.h"

#include <vector>

namespace vantora::launcher {

namespace {

constexpr char kBlanks[] = " \t";

// A word that begins something of its own rather than going on with the path before it.
bool startsArgument(const std::string& word) {
    const char first = word[0];
    if (first == '-' || first == '/' || first == '"' || first == '\\') return true;
    const char letter = static_cast<char>(first | 0x20);
    return word.size() > 1 && word[1] == ':' && letter >= 'a' && letter <= 'z';
}

std::string textAfter(const std::string& command, std::string::size_type from) {
    const auto rest = command.find_first_not_of(kBlanks, from);
    return rest == std::string::npos ? std::string() : command.substr(rest);
}

std::optional<std::string> findRun(const std::string& run, const FindFile& find) {
    if (auto file = find(run)) return file;
    return find(run + ".exe");
}

}  // namespace

std::string ResolvedCommand::commandLine() const {
    return "\"" + file + "\"" + (arguments.empty() ? "" : " " + arguments);
}

std::optional<ResolvedCommand> resolveCommand(const std::string& command, const FindFile& find) {
    const auto start = command.find_first_not_of(kBlanks);
    if (start == std::string::npos) return std::nullopt;
    if (command[start] == '"') {
        const auto close = command.find('"', start + 1);
        if (close == std::string::npos) return std::nullopt;
        auto file = findRun(command.substr(start + 1, close - start - 1), find);
        if (!file) return std::nullopt;
        return ResolvedCommand{std::move(*file), textAfter(command, close + 1)};
    }
    // Where each word ends, and the first word a program may end with.
    std::vector<std::string::size_type> ends;
    std::size_t shortest = 0;
    bool inPath = true;
    for (auto begin = start; begin != std::string::npos; begin = command.find_first_not_of(kBlanks, ends.back())) {
        const auto blank = command.find_first_of(kBlanks, begin);
        const auto end = blank == std::string::npos ? command.size() : blank;
        const std::string word = command.substr(begin, end - begin);
        if (!ends.empty() && inPath) {
            if (startsArgument(word))
                inPath = false;
            else if (word.find('\\') != std::string::npos)
                shortest = ends.size();
        }
        ends.push_back(end);
    }
    for (auto i = ends.size(); i-- > shortest;) {
        if (auto file = findRun(command.substr(start, ends[i] - start), find))
            return ResolvedCommand{std::move(*file), textAfter(command, ends[i])};
    }
    return std::nullopt;
}

}  // namespace vantora::launcher
