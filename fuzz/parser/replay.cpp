// Replays every file of the committed corpus through the fuzzing entry, so
// that each input that once crashed the front end stays fixed in the
// ordinary build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* данные, std::size_t размер);

int main(int argc, char** argv) {
    std::size_t файлов = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& запись : std::filesystem::directory_iterator(argv[i])) {
            if (!запись.is_regular_file())
                continue;
            std::ifstream файл(запись.path(), std::ios::binary);
            const std::string содержимое{std::istreambuf_iterator<char>(файл), {}};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(содержимое.data()),
                                   содержимое.size());
            ++файлов;
        }
    }
    std::printf("%zu inputs replayed\n", файлов);
    return файлов > 0 ? 0 : 1;
}
