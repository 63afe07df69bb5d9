// Fills the numeric context map of a WinHelp file written by Halibut:
//   hlp_context_map <halibut output> <context list> <help file to write>
// Every number of the list must name a topic of the file, or nothing is written and
// the build stops.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>

#include "help/winhelp_file.h"

namespace {

vantora::help::Bytes readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw vantora::help::HelpFileError(std::string("cannot read ") + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: hlp_context_map <halibut output> <context list> <help file to write>\n");
        return 2;
    }
    try {
        using namespace vantora::help;
        const Bytes list = readFile(argv[2]);
        const auto entries = parseContextList(std::string_view(reinterpret_cast<const char*>(list.data()), list.size()));
        const Bytes out = withContextMap(readFile(argv[1]), entries);
        // Written whole or not at all: a half-written file would pass for a built one.
        const std::string temporary = std::string(argv[3]) + ".part";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
            if (!file.flush()) throw HelpFileError("cannot write " + temporary);
        }
        if (std::rename(temporary.c_str(), argv[3]) != 0) throw HelpFileError(std::string("cannot write ") + argv[3]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], e.what());
        return 1;
    }
}
