// A key's command resolved over a file system of the input's making. What must hold:
// the file started is one the file system has, named by a run of the command's words
// (as typed or with ".exe"), and no longer run names a file; a quoted command starts
// only the file in quotes; the arguments are the text after the run.
//
// Input: a byte saying which runs of the command exist (bit 2k: run k as typed, bit
// 2k+1: with ".exe", for the first four runs), then the command's text.
#include <string>
#include <vector>

#include "common/fakes/fake_desktop.h"
#include "launcher/command_line.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

constexpr char kBlanks[] = " \t";

// Each run of words from the first, as CreateProcess would try them, shortest first.
std::vector<std::string> runsOf(const std::string& command) {
    std::vector<std::string> runs;
    const auto start = command.find_first_not_of(kBlanks);
    for (auto at = start; at != std::string::npos; at = command.find_first_not_of(kBlanks, at)) {
        at = command.find_first_of(kBlanks, at);
        runs.push_back(command.substr(start, at == std::string::npos ? std::string::npos : at - start));
    }
    return runs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantora::fuzz::FuzzInput in(data, size);
    const std::uint8_t present = in.byte();
    std::string command;
    while (!in.empty()) command += static_cast<char>(in.byte());

    const std::vector<std::string> runs = runsOf(command);
    vantora::testing::FakeFiles files;
    files.searchPath = {"C:\\Windows"};
    for (std::size_t k = 0; k < runs.size() && k < 4; ++k) {
        if (present >> (2 * k) & 1) files.files.insert(runs[k]);
        if (present >> (2 * k + 1) & 1) files.files.insert(runs[k] + ".exe");
    }
    const auto find = [&](const std::string& name) { return files.findFile(name); };
    const auto resolved = vantora::launcher::resolveCommand(command, find);
    if (!resolved) return 0;

    FUZZ_CHECK(files.files.count(resolved->file) == 1);
    const auto quote = command.find_first_not_of(kBlanks);
    if (command[quote] == '"') {
        const auto close = command.find('"', quote + 1);
        FUZZ_CHECK(close != std::string::npos);
        const std::string quoted = command.substr(quote + 1, close - quote - 1);
        FUZZ_CHECK(find(quoted) == resolved->file || find(quoted + ".exe") == resolved->file);
        return 0;
    }
    std::size_t chosen = runs.size();
    for (std::size_t k = 0; k < runs.size(); ++k)
        if (find(runs[k]) == resolved->file || find(runs[k] + ".exe") == resolved->file) chosen = k;
    FUZZ_CHECK(chosen < runs.size());
    for (std::size_t k = chosen + 1; k < runs.size(); ++k) FUZZ_CHECK(!find(runs[k]) && !find(runs[k] + ".exe"));
    const auto rest = command.find_first_not_of(kBlanks, quote + runs[chosen].size());
    FUZZ_CHECK(resolved->arguments == (rest == std::string::npos ? "" : command.substr(rest)));
    return 0;
}
