// The layout conversion as a whole process, for timing it:
//
//   tavrelo_convert INPUT_FILE OUTPUT_FILE LAYOUT
//
// LAYOUT is the index of the layout list, 0 "P,X,Y,Z" to 11 "Y,X,D".

#include "data/format_conversion.h"
#include "text/failure.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tavrelo_convert INPUT_FILE OUTPUT_FILE LAYOUT\n");
        return 2;
    }
    try {
        tavrelo::convertToPointFile(argv[1], argv[2], std::atoi(argv[3]));
    } catch (const tavrelo::Failure& failure) {
        std::fprintf(stderr, "tavrelo_convert: %s\n", failure.what());
        return 1;
    }
    return 0;
}
