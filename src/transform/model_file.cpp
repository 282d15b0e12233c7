#include "transform/model_file.h"

#include "data/handoff_files.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <cmath>
#include <set>
#include <vector>

namespace tavrelo {

namespace {

constexpr const char* kVersionLine = "1";
// Far more than any model file holds: a larger file is not one.
constexpr std::size_t kLargestFile = 1 << 16;

std::vector<std::string> linesOf(const PathName& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        throw Failure("Το αρχείο μοντέλου " + inQuotes(file.utf8()) + " δεν υπάρχει.");
    InputFile in(file);
    std::vector<std::string> lines(1);
    std::size_t size = 0;
    for (int c = in.get(); c >= 0; c = in.get()) {
        if (++size > kLargestFile)
            throw Failure("Το αρχείο " + inQuotes(file.utf8()) + " είναι πολύ μεγάλο για αρχείο μοντέλου.");
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += static_cast<char>(c);
    }
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

}  // namespace

std::string modelFileText(const PlaneModel& model)
{
    std::string text = std::string(kModelFileMark) + " " + kVersionLine + "\r\n" + modelKey(model.model) + "\r\n";
    for (const ModelFigure& figure : modelFigures(model))
        text += figure.name + " " + generalNumberForm(figure.value) + "\r\n";
    return text;
}

void writeModelFile(const PathName& file, const PlaneModel& model)
{
    OutputFile out(file);
    out.write(modelFileText(model));
    out.commit();
}

PlaneModel readModelFile(const PathName& file)
{
    const std::vector<std::string> lines = linesOf(file);
    const std::string name = inQuotes(file.utf8());
    const std::string mark = std::string(kModelFileMark) + " ";
    if (lines.empty() || lines[0].compare(0, mark.size(), mark) != 0)
        throw Failure("Το αρχείο " + name + " δεν είναι αρχείο μοντέλου (η πρώτη του γραμμή δεν είναι «" +
                      kModelFileMark + " " + kVersionLine + "»).");
    if (lines[0] != mark + kVersionLine)
        throw Failure("Το αρχείο μοντέλου " + name + " είναι νεότερης έκδοσης («" + lines[0] +
                      "») από όσες διαβάζει αυτό το πρόγραμμα.");
    if (lines.size() < 2)
        throw Failure("Το αρχείο μοντέλου " + name + " τελειώνει πριν από το όνομα του μοντέλου.");
    const std::optional<FitModel> kind = modelOfKey(lines[1]);
    if (!kind || *kind == FitModel::Similarity)
        throw Failure("Το αρχείο μοντέλου " + name + " ονομάζει άγνωστο μοντέλο «" + lines[1] +
                      "» (γνωστά: affine, poly2).");

    PlaneModel model;
    model.model = *kind;
    // Where each figure goes, by the name modelFigures gives it.
    std::vector<ModelFigure> figures = modelFigures(model);
    std::vector<double*> targets = {&model.X1, &model.Y1, &model.X1N, &model.Y1N};
    const std::size_t coefficients = *kind == FitModel::Affine ? 2 : 6;
    for (std::size_t j = 0; j < coefficients; ++j)
        targets.push_back(&model.cX[j]);
    for (std::size_t j = 0; j < coefficients; ++j)
        targets.push_back(&model.cY[j]);
    targets.push_back(&model.Dh);

    std::set<std::string> seen;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        std::size_t at = 0;
        while (at < figures.size() && figures[at].name != key)
            ++at;
        if (at == figures.size())
            throw Failure("Η γραμμή " + std::to_string(i + 1) + " του αρχείου μοντέλου " + name + " («" + line +
                          "») δεν είναι συντελεστής του μοντέλου " + lines[1] + ".");
        if (!seen.insert(key).second)
            throw Failure("Ο συντελεστής " + key + " υπάρχει δύο φορές στο αρχείο μοντέλου " + name + ".");
        const std::optional<double> value =
            blank == std::string::npos ? std::nullopt : readDecimalNumber(std::string_view(line).substr(blank + 1));
        if (!value || !std::isfinite(*value))
            throw Failure("Ο συντελεστής " + key + " του αρχείου μοντέλου " + name + " δεν είναι αριθμός («" + line +
                          "»).");
        *targets[at] = *value;
    }
    for (const ModelFigure& figure : figures)
        if (!seen.count(figure.name))
            throw Failure("Το αρχείο μοντέλου " + name + " τελειώνει χωρίς τον συντελεστή " + figure.name +
                          ": είναι κομμένο. Υπολογίστε ξανά το μοντέλο από τα κοινά σημεία.");
    return model;
}

PlaneModel modelAsWritten(const PlaneModel& model)
{
    PlaneModel written = model;
    auto asWritten = [](double& value) { value = readDecimalNumber(generalNumberForm(value)).value_or(value); };
    for (double* v : {&written.X1, &written.Y1, &written.X1N, &written.Y1N, &written.Dh})
        asWritten(*v);
    for (double& v : written.cX)
        asWritten(v);
    for (double& v : written.cY)
        asWritten(v);
    return written;
}

}  // namespace tavrelo
