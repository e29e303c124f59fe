// Runs a fuzz target over its corpus as an ordinary test: the empty input first (as libFuzzer does), then
// every file of the folders named on the command line, in name order. Each input is handed over in a heap
// block of exactly its size, so the sanitizers catch a read past its end. A crash ends the program with
// the sanitizer's report after the name of the input that caused it; an empty corpus fails.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
// Optional in a target: set-up that runs once before the first input.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

void runInput(const std::vector<char> &bytes)
{
    const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    LLVMFuzzerTestOneInput(copy.get(), bytes.size());
}

std::vector<std::filesystem::path> corpusFiles(int argc, char **argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        for (const auto &entry : std::filesystem::directory_iterator(argv[i])) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    const std::vector<std::filesystem::path> files = corpusFiles(argc, argv);
    if (files.empty()) {
        std::fprintf(stderr, "No corpus files in the folders given\n");
        return 1;
    }
    runInput({});
    for (const std::filesystem::path &file : files) {
        std::fprintf(stderr, "Running %s\n", file.c_str());
        std::ifstream stream(file, std::ios::binary);
        if (!stream) {
            std::fprintf(stderr, "Cannot read %s\n", file.c_str());
            return 1;
        }
        runInput({std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()});
    }
    std::fprintf(stderr, "%zu corpus files ran\n", files.size());
    return 0;
}
