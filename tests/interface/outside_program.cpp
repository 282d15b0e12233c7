// A program outside the core: it uses only the published headers, writes the two hand-off
// files itself in their plain formats, and calls the parameter computation and the save step.

#include "data/format_conversion.h"
#include "data/handoff_files.h"
#include "transform/apply_transformation.h"
#include "transform/parameters.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

static int failed(const std::string& what)
{
    std::cerr << "outside program: " << what << "\n";
    return 1;
}

int main()
{
    const fs::path folder = fs::temp_directory_path() / ("tavrelo-outside-" + std::to_string(std::random_device()()));
    if (!fs::create_directory(folder))
        return failed("no temporary folder");
    const fs::path points = folder / "points.txt";
    const fs::path state = folder / "state";
    fs::create_directory(state);
    std::ofstream(points, std::ios::binary) << "1,1000,1000,50,A\r\n2,1060,1080,52,B\r\n3,1030,1040,51,C\r\n";
    std::ofstream(state / "file000.tmp", std::ios::binary) << points.string() << "\r\n";

    const tavrelo::HandoffFiles handoff(state);
    if (handoff.pathFile() != state / "file000.tmp" || handoff.parameterFile() != state / "file001.tmp")
        return failed("hand-off file names");
    if (tavrelo::readHandoffPath(handoff) != points.string())
        return failed("path read back");

    tavrelo::CommonPointInput input;
    input.row1 = 0;
    input.row2 = 1;
    input.X1N = "500";
    input.Y1N = "400";
    input.h1N = "50.1";
    input.X2N = "580.02";
    input.Y2N = "339.985";
    input.h2N = "52.06";
    input.scaleWanted = true;
    const std::optional<tavrelo::ParameterResult> r = tavrelo::computeParameters(input, handoff);
    if (!r || r->f != "99.9999982811266" || r->klimax != "1.00025" || r->SD != "0.0012" || r->distanceMismatch)
        return failed("parameters");

    std::ofstream(state / "file001.tmp", std::ios::binary)
        << r->f << "\r\n 1000 \r\n 1000 \r\n" << r->Dh << "\r\n" << r->klimax << "\r\n500\r\n400\r\n";
    const std::string result = tavrelo::resultFilePath(folder.string(), "result.txt");
    tavrelo::applyTransformation(result, handoff);

    std::ifstream in(result, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    if (text.find("\r\n1,   500 ,   400 ,   50.08 ,  A\r\n2,   580.02 ,   339.985 ,   52.08 ,  B\r\n3,") ==
        std::string::npos)
        return failed("result file:\n" + text);

    (void)&tavrelo::directionBearing;
    (void)&tavrelo::convertToPointFile;
    fs::remove_all(folder);
    std::cout << "outside program: the published interface works\n";
    return 0;
}
