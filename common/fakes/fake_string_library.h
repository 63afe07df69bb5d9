#pragma once
// Resource libraries in memory, by file name. It copies strings as LoadStringA does
// (cut to the buffer, terminated, embedded zeros kept) and counts every load and free,
// so that a test sees a library that was left loaded.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/ports/string_library.h"

namespace vantora::testing {

struct FakeStringLibrary : StringLibraryPort {
    using Strings = std::map<std::uint32_t, std::string>;
    std::map<std::string, Strings> libraries;  // file name -> its string table
    struct Load {
        std::string name;
        std::uint32_t flags;
        bool operator==(const Load&) const = default;
    };
    std::vector<Load> loads;
    std::vector<int> bufferSizes;
    std::vector<std::uint32_t> asked;  // the string numbers, in the order asked for
    int frees = 0;
    std::map<LibraryHandle, std::string> open;  // loaded and not yet freed

    LibraryHandle LoadLibraryExA(const std::string& name, std::uint32_t flags) override {
        loads.push_back({name, flags});
        if (!libraries.count(name)) return 0;
        const LibraryHandle h = 0x10000 + loads.size();
        open[h] = name;
        return h;
    }
    int LoadStringA(LibraryHandle library, std::uint32_t id, char* buffer, int bufferMax) override {
        bufferSizes.push_back(bufferMax);
        asked.push_back(id);
        auto lib = open.find(library);
        if (lib == open.end() || bufferMax <= 0) return 0;
        const Strings& table = libraries[lib->second];
        auto s = table.find(id);
        if (s == table.end()) return 0;
        const int n = std::min(static_cast<int>(s->second.size()), bufferMax - 1);
        std::memcpy(buffer, s->second.data(), static_cast<std::size_t>(n));
        buffer[n] = '\0';
        return n;
    }
    bool FreeLibrary(LibraryHandle library) override {
        ++frees;
        return open.erase(library) != 0;
    }
};

}  // namespace vantora::testing
