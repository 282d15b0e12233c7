#include "cli/commands.h"

#include "cli/output.h"
#include "data/file_io.h"
#include "data/format_conversion.h"
#include "data/handoff_files.h"
#include "data/list_input.h"
#include "data/point_table.h"
#include "platform/system.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "transform/apply_transformation.h"
#include "transform/model_file.h"
#include "transform/parameters.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace tavrelo::cli {

namespace fs = std::filesystem;

namespace {

// ---- compute ---------------------------------------------------------------------------

// The first record of the coordinate file with each of the two point numbers (Windows-1253
// bytes, compared as list input reads them). The file is read only as far as needed.
struct FoundPoints {
    std::optional<PointRecord> point1, point2;
};

FoundPoints findPoints(const std::string& path, const std::string& Pn1, const std::string& Pn2)
{
    FoundPoints found;
    ListReader reader(path);
    FieldView fields[5];
    long number = 0;
    while (!reader.atEnd() && !(found.point1 && found.point2)) {
        ++number;
        readPointFields(reader, fields, number, 0);  // numbers read only for the two points found
        const bool is1 = !found.point1 && fields[0].text == Pn1;
        const bool is2 = !found.point2 && fields[0].text == Pn2;
        if (!is1 && !is2)
            continue;
        const PointRecord record{std::string(fields[0].text), valueOf(fields[1]), valueOf(fields[2]),
                                 valueOf(fields[3]), std::string(fields[4].text)};
        if (is1)
            found.point1 = record;
        if (is2)
            found.point2 = record;
    }
    return found;
}

const PointRecord& requireFound(const std::optional<PointRecord>& record, const std::string& Pn, int which,
                                const std::string& path)
{
    if (!record)
        throw Failure("Το κοινό σημείο " + std::to_string(which) + " " + inQuotes(Pn) +
                      " δεν υπάρχει στο αρχείο " + inQuotes(path) + ". Δεν έγινε υπολογισμός.");
    return *record;
}

// ---- apply -----------------------------------------------------------------------------

void requireReadableFile(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(pathFromUtf8(path), ec);
    if (!fs::exists(status))
        throw Failure("Το αρχείο συντεταγμένων " + inQuotes(path) + " δεν υπάρχει. Δεν γράφτηκε κανένα αρχείο.");
    if (!fs::is_regular_file(status))
        throw Failure("Το " + inQuotes(path) + " δεν είναι αρχείο. Δεν γράφτηκε κανένα αρχείο.");
    if (const int error = platform::readAccess(pathFromUtf8(path)))
        throw Failure("Το αρχείο συντεταγμένων " + inQuotes(path) + " δεν διαβάζεται: " +
                      describeSystemError(error) + ". Δεν γράφτηκε κανένα αρχείο.");
}

// A private folder inside the output folder where a batch's results wait until all are
// complete; removed with whatever is left in it.
class StagingFolder {
public:
    explicit StagingFolder(const fs::path& parent)
    {
        int error = 0;
        path_ = platform::makeTemporaryFolder(parent, ".tavrelo-cli-", error);
        if (path_.empty())
            throw Failure("Δεν γράφεται στον φάκελο " + inQuotes(utf8Path(parent)) + ": " + describeSystemError(error) +
                          ". Δεν γράφτηκε κανένα αρχείο.");
    }
    ~StagingFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// `message` with every mention of the waiting file `staged` turned into the result's own path,
// saying that the batch wrote nothing.
std::string namingResult(std::string message, const std::string& staged, const std::string& result)
{
    const std::string from = inQuotes(staged), to = inQuotes(result);
    for (std::size_t at = message.find(from); at != std::string::npos; at = message.find(from, at + to.size()))
        message.replace(at, from.size(), to);
    // Nothing of the batch is written, not only this file.
    const std::string single = " Το αρχείο δεν γράφτηκε.", none = " Δεν γράφτηκε κανένα αρχείο.";
    if (message.size() >= single.size() && message.compare(message.size() - single.size(), single.size(), single) == 0)
        message.resize(message.size() - single.size());
    return message + none;
}

void applyBatch(const std::string& parameterFile, const std::vector<std::string>& coordinateFiles,
                const std::string& outputDir, std::ostream& out, Direction direction)
{
    std::error_code ec;
    if (!fs::is_directory(pathFromUtf8(outputDir), ec))
        throw Failure("Ο φάκελος αποτελεσμάτων " + inQuotes(outputDir) + " δεν υπάρχει. Δεν γράφτηκε κανένα αρχείο.");
    // The parameters are read once here, so a missing or cut-short file stops the batch before
    // anything is written.
    if (isModelFile(parameterFile))
        readModelFile(parameterFile);
    else
        readParameterFile(parameterFile);

    // Every input is checked, and every result named, before the first is written.
    std::vector<std::string> inputs, results;
    std::set<std::string> names;
    for (const std::string& file : coordinateFiles) {
        requireReadableFile(file);
        const std::string name = utf8Path(pathFromUtf8(file).filename());
        if (!names.insert(name).second)
            throw Failure("Δύο αρχεία συντεταγμένων έχουν το όνομα " + inQuotes(name) +
                          ": τα αποτελέσματά τους θα είχαν το ίδιο όνομα στον φάκελο " + inQuotes(outputDir) +
                          ". Δεν γράφτηκε κανένα αρχείο.");
        inputs.push_back(absoluteInputPath(file));
        results.push_back(utf8Path(pathFromUtf8(outputDir) / pathFromUtf8(name)));
    }
    for (const std::string& result : results) {
        if (fs::is_directory(pathFromUtf8(result), ec))
            throw Failure("Το αποτέλεσμα " + inQuotes(result) + " είναι φάκελος. Δεν γράφτηκε κανένα αρχείο.");
        if (sameFile(result, parameterFile))
            throw Failure("Το αποτέλεσμα " + inQuotes(result) + " είναι το αρχείο παραμέτρων. Δεν γράφτηκε κανένα αρχείο.");
        for (const std::string& input : inputs)
            if (sameFile(result, input))
                throw Failure("Το αποτέλεσμα " + inQuotes(result) + " είναι ένα από τα αρχεία συντεταγμένων που " +
                              "μετασχηματίζονται. Δώστε άλλον φάκελο. Δεν γράφτηκε κανένα αρχείο.");
    }

    // All results into the private folder first; only when every one is complete are they
    // moved into place, each by a rename within the one folder's file system.
    StagingFolder staging(pathFromUtf8(outputDir));
    std::vector<fs::path> staged;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        staged.push_back(staging.path() / pathFromUtf8(results[i]).filename());
        try {
            applyTransformation(utf8Path(staged.back()), inputs[i], parameterFile, direction);
        } catch (const Failure& failure) {
            // The user asked for the result in the output folder: the message names it there,
            // not where it waited.
            throw Failure(namingResult(failure.what(), utf8Path(staged.back()), results[i]));
        }
    }
    for (std::size_t i = 0; i < staged.size(); ++i) {
        fs::rename(staged[i], pathFromUtf8(results[i]), ec);
        if (ec)
            throw Failure("Το αποτέλεσμα " + inQuotes(results[i]) + " δεν μπήκε στη θέση του: " +
                          describeSystemError(ec.value()) + ". Όσα αποτελέσματα προηγούνται γράφτηκαν.");
    }
    for (std::size_t i = 0; i < results.size(); ++i)
        out << "Γράφτηκε: " << results[i] << "\n";
}

}  // namespace

std::string absoluteInputPath(const std::string& path)
{
    const fs::path p = pathFromUtf8(path);
    if (p.is_absolute())
        return path;
    return utf8Path((fs::current_path() / p).lexically_normal());
}

void runCompute(const ComputeRequest& request, std::ostream& out)
{
    CommonPointInput typed;
    typed.X1N = request.point1.X;
    typed.Y1N = request.point1.Y;
    typed.h1N = request.point1.h;
    typed.X2N = request.point2.X;
    typed.Y2N = request.point2.Y;
    typed.h2N = request.point2.h;
    typed.scaleWanted = request.scaleWanted;
    // A missing target coordinate is told before the file is read, as on the screen.
    const Failure missing("ΠΡΟΣΟΧΗ….. Δεν έχετε εισάγει όλες τις συντεταγμένες των κοινών σημείων.");
    for (const std::string* text : {&typed.X1N, &typed.Y1N, &typed.h1N, &typed.X2N, &typed.Y2N, &typed.h2N})
        if (text->empty())
            throw missing;
    if (!request.parameterFile.empty() && sameFile(request.parameterFile, request.coordinateFile))
        throw Failure("Το αρχείο παραμέτρων " + inQuotes(request.parameterFile) +
                      " είναι το ίδιο το αρχείο συντεταγμένων. Δώστε άλλο όνομα.");

    const FoundPoints found = findPoints(request.coordinateFile, utf8ToWindows1253(request.point1.Pn),
                                         utf8ToWindows1253(request.point2.Pn));
    const PointRecord& p1 = requireFound(found.point1, request.point1.Pn, 1, request.coordinateFile);
    const PointRecord& p2 = requireFound(found.point2, request.point2.Pn, 2, request.coordinateFile);
    const std::optional<ParameterResult> result = computeParametersFor(p1, p2, typed, '.');
    if (!result)
        throw missing;

    if (!request.parameterFile.empty()) {
        // The seven lines O.K. on the common points screen writes.
        writeParameterFile(request.parameterFile,
                           twoPointParameterLines(p1, {result->f, result->Dh, result->klimax, typed.X1N, typed.Y1N}));
    }

    if (request.json) {
        nlohmann::ordered_json j;
        j["f"] = result->f;
        j["dx1"] = result->dx1;
        j["Dy1"] = result->Dy1;
        j["Dh"] = result->Dh;
        j["klimax"] = result->klimax;
        j["SD"] = result->SD;
        j["distance_warning"] = result->distanceMismatch;
        printJson(out, j);
        return;
    }
    // The boxes in the order the screen fills them, under their labels.
    printLabelled(out, {{"Κλίμακα", result->klimax},
                        {"Dh", result->Dh},
                        {"φ (Βαθμοί)", result->f},
                        {"Dx", result->dx1},
                        {"Dy", result->Dy1},
                        {"Τυπική Απόκλιση", result->SD}});
    if (result->distanceMismatch)
        out << kDistanceWarning << "\n";
}

void runApply(const std::string& parameterFile, const std::vector<std::string>& coordinateFiles,
              const std::string& resultFile, const std::string& outputDir, std::ostream& out, bool inverse)
{
    const Direction direction = inverse ? Direction::Inverse : Direction::Forward;
    if (!outputDir.empty()) {
        applyBatch(parameterFile, coordinateFiles, outputDir, out, direction);
        return;
    }
    applyTransformation(resultFile, absoluteInputPath(coordinateFiles.at(0)), parameterFile, direction);
    out << "Γράφτηκε: " << resultFile << "\n";
}

void runConvert(int layoutIndex, const std::string& inputFile, const std::string& resultFile, std::ostream& out)
{
    std::string result = resultFile;
    if (result.empty()) {
        // Beside the input, as the conversion screen names it.
        const fs::path input = pathFromUtf8(inputFile);
        result = utf8Path(input.parent_path() / pathFromUtf8("PENZD_" + utf8Path(input.filename())));
    }
    if (sameFile(result, inputFile))
        throw Failure("Το αρχείο " + inQuotes(result) +
                      " είναι το ίδιο το αρχείο που μετατρέπεται. Δώστε άλλο όνομα. Το αρχείο δεν μετατράπηκε.");
    convertToPointFile(inputFile, result, layoutIndex);
    out << "Γράφτηκε: " << result << "\n";
}

std::optional<int> layoutIndexOf(const std::string& text)
{
    if (!text.empty() && text.size() <= 2 && std::isdigit(static_cast<unsigned char>(text[0])) &&
        std::isdigit(static_cast<unsigned char>(text.back()))) {
        const int n = std::stoi(text);
        if (n >= 1 && n <= static_cast<int>(kConversionLayouts.size()))
            return n - 1;
        return std::nullopt;
    }
    std::string upper;
    for (char c : text)
        if (c != ' ')
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::size_t i = 0; i < kConversionLayouts.size(); ++i)
        if (upper == kConversionLayouts[i])
            return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace tavrelo::cli
