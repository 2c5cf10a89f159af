// Writes a small synthetic set of game data files into a directory, so that
// the client can be started without the real game data:
//   make_sample_data <directory>

#include "fixtures/sample_data_writer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_data <directory>\n");
        return 2;
    }
    if (!fixture::writeSampleDataSet(argv[1])) {
        std::fprintf(stderr, "make_sample_data: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("Sample data written to %s\n", argv[1]);
    return 0;
}
