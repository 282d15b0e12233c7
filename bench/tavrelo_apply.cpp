// The save step as a whole process, for timing it against other tools:
//
//   tavrelo_apply HANDOFF_FOLDER RESULT_FILE
//
// reads file000.tmp and file001.tmp in HANDOFF_FOLDER and writes RESULT_FILE exactly as the
// save screen's O.K. does.

#include "data/handoff_files.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavrelo_apply HANDOFF_FOLDER RESULT_FILE\n");
        return 2;
    }
    try {
        tavrelo::applyTransformation(argv[2], tavrelo::HandoffFiles(argv[1]));
    } catch (const tavrelo::Failure& failure) {
        std::fprintf(stderr, "tavrelo_apply: %s\n", failure.what());
        return 1;
    }
    return 0;
}
