// Writes a realistic coordinate file of n points (see point_generator.h).
//
//   tavrelo_generate POINTS FILE [--seed N] [--layout INDEX | --columns]
//
// Without an option the file is a coordinate file "Pn,X,Y,h,D"; --layout writes the same
// points in one of the twelve conversion layouts (0 "P,X,Y,Z" … 11 "Y,X,D"); --columns writes
// them as blank-separated columns "Pn X Y h D". "-" as FILE writes to standard output.

#include "point_generator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: tavrelo_generate POINTS FILE [--seed N] [--layout INDEX | --columns]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    tavrelo::bench::GeneratorOptions options;
    options.points = std::strtol(argv[1], nullptr, 10);
    if (options.points < 0)
        return usage();
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--seed" && i + 1 < argc) {
            options.seed = std::strtoul(argv[++i], nullptr, 10);
        } else if (option == "--layout" && i + 1 < argc) {
            options.shape = tavrelo::bench::Shape::Layout;
            options.layout = std::atoi(argv[++i]);
            if (options.layout < 0 || options.layout > 11)
                return usage();
        } else if (option == "--columns") {
            options.shape = tavrelo::bench::Shape::Columns;
        } else {
            return usage();
        }
    }
    const bool toStdout = std::strcmp(argv[2], "-") == 0;
    std::FILE* out = toStdout ? stdout : std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    const bool written = tavrelo::bench::writePoints(out, options);
    if (!toStdout && std::fclose(out) != 0)
        return 1;
    if (!written) {
        std::fprintf(stderr, "tavrelo_generate: write error\n");
        return 1;
    }
    return 0;
}
