// Writes the golden vectors file. Run only when the engine's output is meant to change.
#include <cstdio>

#include "Golden.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: golden_gen FILE\n");
        return 2;
    }
    const std::vector<uint8_t> data = serializeGolden(computeGoldenCases());
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "golden_gen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
