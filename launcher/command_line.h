#pragma once
// Which file a key's command names. Decided here, not by CreateProcess, which tries the
// shortest run of words first: for "C:\Program Files\Gone App\app" it starts a
// C:\Program.exe that anyone who may write to C:\ can plant. Only the standard library:
// a fuzzer drives this over a file system of its own.
#include <functional>
#include <optional>
#include <string>

namespace vantora::launcher {

// The file a name leads to, looked for as a program is (see FileSystemPort::findFile);
// nothing for a folder or a name that leads nowhere.
using FindFile = std::function<std::optional<std::string>(const std::string& name)>;

struct ResolvedCommand {
    std::string file;       // as found: a name with a folder as written, a bare name with its folder
    std::string arguments;  // the text after it, without the blanks between

    // The file quoted, then the arguments: the command line the program is started with.
    std::string commandLine() const;
};

// The file a command names, or nothing, in which case nothing may be started.
// Quoted, it is the text in quotes. Unquoted, it is the longest run of words from the
// start that names a file, as written or with ".exe" added, as CreateProcess tries each
// run. A run never ends inside a path: it reaches at least to the end of the last word
// that goes on with a backslash (such as "Files\Gone") before the first word that starts
// an argument of its own (a switch, a quote, a path from a drive or a root). So
// a file planted in a parent folder of the path never stands in for the program,
// whether or not the program is still there.
std::optional<ResolvedCommand> resolveCommand(const std::string& command, const FindFile& find);

}  // namespace vantora::launcher
