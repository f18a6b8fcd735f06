// Runs a fuzz target without libFuzzer: over every file named on the command
// line, then over pseudo-random inputs made from pieces that the parser treats
// specially. Lets the ordinary test suite exercise the target on any compiler.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    auto run = [](const std::string& input) {
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    };
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        run(std::string(std::istreambuf_iterator<char>(file), {}));
    }
    const std::vector<std::string> pieces = {"[",
                                             "]",
                                             "=",
                                             "\n",
                                             "\r\n",
                                             " ",
                                             "\t",
                                             "\"",
                                             "'",
                                             "a",
                                             "B",
                                             ";",
                                             "Scanfiles",
                                             "\\",
                                             "@",
                                             "hex:",
                                             "Path=/",
                                             "StartFolder=/",
                                             "\\x0",
                                             ":",
                                             "\xC5\xBC",
                                             "\xFF",
                                             "\xEF\xBB\xBF",
                                             std::string(1, '\0'),
                                             std::string(1100, 'x')};
    std::mt19937 random(42);
    for (int round = 0; round < 20000; ++round) {
        std::string input;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) input += pieces[random() % pieces.size()];
        run(input);
    }
    std::cout << "fuzz driver: all inputs passed\n";
    return 0;
}
