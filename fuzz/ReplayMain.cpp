// A fuzz target as a plain program, built with the ordinary compiler: it runs the target once
// on every file named, or every file in a folder named (in name order), so the ordinary test
// run checks each target's properties on its seed corpus. A broken property aborts
// (FUZZ_CHECK) after the input's name, which fails the run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> InputsOf(int argc, char** argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path path = argv[i];
        if (!fs::is_directory(path)) {
            inputs.push_back(path);
            continue;
        }
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(path))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        inputs.insert(inputs.end(), files.begin(), files.end());
    }
    return inputs;
}

// What the summary of `make test` counts (scripts/test-summary.sh).
void RecordResult(const char* program, size_t replayed)
{
    const fs::path folder = KELVANE_TEST_RESULTS;
    std::error_code error;
    fs::create_directories(folder, error);
    std::ofstream(folder / fs::path(program).filename()) << "passed " << replayed << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<fs::path> inputs = InputsOf(argc, argv);
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...: no input found\n", argv[0]);
        return 1;
    }
    for (const fs::path& path : inputs) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s (%zu bytes)\n", path.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed, every property held\n", inputs.size());
    RecordResult(argv[0], inputs.size());
    return 0;
}
