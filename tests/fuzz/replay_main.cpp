// Runs a fuzz target's corpus through it once, under the ordinary compiler,
// so that the targets keep building and their corpora keep passing between
// fuzzing runs. Each argument is a corpus folder or a file; the empty input
// always runs too. A target reports a broken promise by aborting.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunOne(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::cout << "replay " << file.filename().string() << " (" << bytes.size() << " bytes)\n";
    static const std::uint8_t none = 0;
    LLVMFuzzerTestOneInput(
        bytes.empty() ? &none : reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    // As the fuzzer does, the empty input comes with a valid pointer.
    static const std::uint8_t none = 0;
    LLVMFuzzerTestOneInput(&none, 0);
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) {
                    RunOne(entry.path());
                    ++files;
                }
        } else if (std::filesystem::is_regular_file(path)) {
            RunOne(path);
            ++files;
        }
    }
    std::cout << files << " corpus files replayed\n";
    return 0;
}
