// Writes, with the core alone, the result file that the save step writes after the least-squares
// screen has fitted a coordinate file to a file of common points and dropped its outliers.

#include "data/common_points.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"
#include "transform/similarity_fit.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: expected_fit_result COORDINATE_FILE COMMON_POINTS_FILE RESULT_FILE\n";
        return 2;
    }
    try {
        const tavrelo::CommonPoints points = tavrelo::matchCommonPoints(argv[1], argv[2]);
        std::vector<bool> use(points.matched.size(), true);
        const tavrelo::SimilarityFit fit = tavrelo::dropOutliers(points.matched, use, {});
        const std::string parameters = std::string(argv[3]) + ".parameters";
        tavrelo::writeParameterFile(parameters, tavrelo::parameterLinesOf(fit));
        tavrelo::applyTransformation(argv[3], argv[1], parameters);
    } catch (const tavrelo::Failure& failure) {
        std::cerr << failure.what() << "\n";
        return 1;
    }
    return 0;
}
