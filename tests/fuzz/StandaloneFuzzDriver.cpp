// Runs a fuzz target without libFuzzer: a fixed number of seeded random inputs of random
// lengths, biased towards the bytes that matter to text protocols.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    const long runs = argc > 1 ? std::atol(argv[1]) : 10000;
    std::mt19937 generator(12345);
    const std::uint8_t interesting[] = {0, '\n', '\r', '>', ' ', 'Z', 2, 0xff};
    std::vector<std::uint8_t> input;
    for (long run = 0; run < runs; ++run)
    {
        input.resize(generator() % 700);
        for (auto& byte : input)
        {
            const unsigned pick = generator();
            byte = (pick % 4 == 0) ? interesting[(pick >> 8) % sizeof interesting]
                                   : static_cast<std::uint8_t>(pick >> 16);
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    return 0;
}
