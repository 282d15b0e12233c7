// Writes, with the core alone, the result file that the save step writes for the hand-off
// folder given: what the program's windows must produce.

#include "text/failure.h"
#include "transform/apply_transformation.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: expected_result HANDOFF_FOLDER RESULT_FILE\n";
        return 2;
    }
    try {
        tavrelo::applyTransformation(argv[2], tavrelo::HandoffFiles(argv[1]));
    } catch (const tavrelo::Failure& failure) {
        std::cerr << failure.what() << "\n";
        return 1;
    }
    return 0;
}
