// A fuzz target run once over each file named, as libFuzzer does when given files: the
// everyday build replays the seeds with g++ and its sanitizers, so that a target that
// no longer builds against the code it fuzzes, or a seed that now breaks a rule, shows
// without clang.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        std::printf("replayed %s\n", argv[i]);
    }
    return argc > 1 ? 0 : 1;
}
