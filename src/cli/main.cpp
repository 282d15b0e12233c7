// tavrelo-cli: every step of Tavrelo from the command line, without a window.
//
// Exit status: 0 done; 1 a failure (the core's Greek message on stderr, nothing written and
// every existing file untouched); 2 a usage error (what is wrong and the usage lines on stderr).

#include "cli/commands.h"
#include "cli/help.h"
#include "platform/system.h"
#include "text/failure.h"
#include "transform/model_fit.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tavrelo::cli;

constexpr int kDone = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

int usageError(const std::string& what, const std::string& command)
{
    std::cerr << "tavrelo-cli: λάθος χρήση: " << what << "\n" << usageText(command);
    return kUsageError;
}

// What a parse error of the command line means, in Greek, with the parser's own detail.
std::string describeParseError(const CLI::ParseError& e)
{
    std::string what = "το όρισμα δεν είναι σωστό";
    if (dynamic_cast<const CLI::RequiredError*>(&e))
        what = "λείπει όρισμα";
    else if (dynamic_cast<const CLI::ExtrasError*>(&e))
        what = "περιττά ή άγνωστα ορίσματα (ή άγνωστη εντολή)";
    else if (dynamic_cast<const CLI::ArgumentMismatch*>(&e))
        what = "λάθος πλήθος τιμών σε επιλογή";
    else if (dynamic_cast<const CLI::ConversionError*>(&e) || dynamic_cast<const CLI::ValidationError*>(&e))
        what = "μη έγκυρη τιμή";
    return what + " (" + e.what() + ")";
}

std::string commandOf(const CLI::App& app)
{
    const auto parsed = app.get_subcommands();
    return parsed.empty() ? std::string() : parsed.front()->get_name();
}

}  // namespace

int main(int systemArgc, char** systemArgv)
{
    // The arguments as UTF-8, as every path and text inside the program is.
    tavrelo::platform::prepareConsole();
    const std::vector<std::string> arguments = tavrelo::platform::utf8Arguments(systemArgc, systemArgv);
    std::vector<char*> argumentPointers;
    for (const std::string& argument : arguments)
        argumentPointers.push_back(const_cast<char*>(argument.c_str()));
    const int argc = static_cast<int>(argumentPointers.size());
    char** const argv = argumentPointers.data();

    CLI::App app("tavrelo-cli", "tavrelo-cli");
    app.formatter_fn([](const CLI::App* shown, std::string, CLI::AppFormatMode) {
        return helpText(shown->get_parent() ? shown->get_name() : std::string());
    });
    app.set_help_flag("-h,--help", "βοήθεια");
    // The version, the licence and where the project is found.
    app.set_version_flag("--version",
                         "tavrelo-cli " TAVRELO_VERSION "\n"
                         "Copyright (C) 2026 The Tavrelo project\n"
                         "Άδεια GPL-3.0-or-later: GNU GPL, έκδοση 3 ή νεότερη <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
                         "Ελεύθερο λογισμικό: μπορείτε να το αλλάζετε και να το διανέμετε.\n"
                         "Δεν παρέχεται καμία εγγύηση, στον βαθμό που το επιτρέπει ο νόμος.\n"
                         "Ιστοσελίδα: " TAVRELO_HOMEPAGE "  e-mail: " TAVRELO_CONTACT,
                         "η έκδοση και η άδεια");
    app.require_subcommand(1);

    // compute
    ComputeRequest compute;
    CLI::App* computeCommand = app.add_subcommand("compute", "παράμετροι από δύο κοινά σημεία");
    computeCommand->add_option("FILE", compute.coordinateFile)->required();
    computeCommand->add_flag("--scale", compute.scaleWanted);
    computeCommand->add_option("-p", compute.parameterFile);
    computeCommand->add_flag("--json", compute.json);

    // fit
    FitRequest fit;
    double tolerance = 0.0;
    CLI::App* fitCommand = app.add_subcommand("fit", "ελάχιστα τετράγωνα από πολλά κοινά σημεία");
    fitCommand->add_option("FILE", fit.coordinateFile)->required();
    fitCommand->add_option("TARGETS", fit.targetFile)->required();
    fitCommand->add_flag("--scale", fit.scaleWanted);
    fitCommand->add_option("--exclude", fit.excluded)->allow_extra_args(false);
    CLI::Option* toleranceOption = fitCommand->add_option("--tolerance", tolerance);
    fitCommand->add_flag("--drop-outliers", fit.dropOutliers);
    CLI::Option* modelOption = fitCommand->add_option("--model", fit.model);
    fitCommand->add_option("-p", fit.parameterFile);
    fitCommand->add_option("--report", fit.reportFile);
    fitCommand->add_flag("--json", fit.json);

    // apply
    std::string parameterFile, outputDir;
    std::vector<std::string> applyFiles;
    bool applyInverse = false;
    CLI::App* applyCommand = app.add_subcommand("apply", "εφαρμογή αρχείου παραμέτρων");
    applyCommand->add_option("PARAMS", parameterFile)->required();
    applyCommand->add_option("FILE", applyFiles)->required();
    applyCommand->add_option("--output-dir", outputDir);
    applyCommand->add_flag("--inverse", applyInverse);

    // convert
    std::string layout, convertInput, convertResult;
    CLI::App* convertCommand = app.add_subcommand("convert", "μετατροπή μορφής αρχείου");
    convertCommand->add_option("LAYOUT", layout)->required();
    convertCommand->add_option("FILE", convertInput)->required();
    convertCommand->add_option("-o", convertResult);

    // dxf
    DrawingRequest drawing;
    CLI::App* dxfCommand = app.add_subcommand("dxf", "μεταφορά σχεδίου DXF");
    dxfCommand->add_option("PARAMS", drawing.parameterFile)->required();
    dxfCommand->add_option("DRAWING", drawing.drawingFile)->required();
    dxfCommand->add_option("RESULT", drawing.resultFile)->required();
    dxfCommand->add_flag("--inverse", drawing.inverse);
    dxfCommand->add_flag("--skip-unknown", drawing.skipUnknown);
    dxfCommand->add_flag("--json", drawing.json);

    // A first word that is neither an option nor a command: say so plainly.
    const std::string first = argc > 1 ? argv[1] : "";
    if (!first.empty() && first[0] != '-' && first != "compute" && first != "fit" && first != "apply" &&
        first != "convert" && first != "dxf")
        return usageError(std::string("άγνωστη εντολή «") + argv[1] + "»", {});

    // "--common PN X Y h" takes the four words after it as they are, whatever they look like:
    // a negative number, an empty text (a missing coordinate) or a point number such as "-".
    // The parser sees the rest.
    std::vector<CommonTarget> common;
    std::vector<std::string> words;  // the other words, in their order
    for (int i = 1; i < argc; ++i) {
        if (first == "compute" && std::string(argv[i]) == "--common") {
            bool four = i + 4 < argc;
            for (int k = i + 1; four && k <= i + 4; ++k)
                four = std::string(argv[k]) != "--common";
            if (!four)
                return usageError("το --common θέλει τέσσερις τιμές: PN X Y h", "compute");
            common.push_back({argv[i + 1], argv[i + 2], argv[i + 3], argv[i + 4]});
            i += 4;
        } else {
            words.emplace_back(argv[i]);
        }
    }
    try {
        std::vector<const char*> rest = {argv[0]};
        for (const std::string& word : words)
            rest.push_back(word.c_str());
        app.parse(static_cast<int>(rest.size()), rest.data());
    } catch (const CLI::Success& e) {  // --help, --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return usageError(describeParseError(e), commandOf(app));
    }

    // What the parser cannot say by itself.
    int layoutIndex = -1;
    if (computeCommand->parsed() && common.size() != 2)
        return usageError("χρειάζονται ακριβώς δύο --common PN X Y h, ένα για κάθε κοινό σημείο (δόθηκαν " +
                              std::to_string(common.size()) + ")",
                          "compute");
    if (fitCommand->parsed() && toleranceOption->count() > 0) {
        if (!std::isfinite(tolerance) || tolerance < 0)
            return usageError("η ανοχή πρέπει να είναι αριθμός 0 ή μεγαλύτερος", "fit");
        fit.tolerance = tolerance;
    }
    if (fitCommand->parsed() && modelOption->count() > 0) {
        if (!tavrelo::modelOfKey(fit.model))
            return usageError("άγνωστο μοντέλο «" + fit.model + "»· δώστε similarity, affine ή poly2", "fit");
        if (fit.scaleWanted && fit.model != "similarity")
            return usageError("το --scale είναι του μετασχηματισμού ομοιότητας· το " + fit.model +
                                  " έχει τις κλίμακές του",
                              "fit");
    }
    if (applyCommand->parsed()) {
        if (outputDir.empty() && applyFiles.size() != 2)
            return usageError("δώστε ένα αρχείο συντεταγμένων και το αρχείο αποτελεσμάτων, ή --output-dir και "
                              "τα αρχεία συντεταγμένων",
                              "apply");
    }
    if (convertCommand->parsed()) {
        const auto index = layoutIndexOf(layout);
        if (!index)
            return usageError("άγνωστη μορφή «" + layout + "»· δώστε 1 έως 12 ή το κείμενό της (tavrelo-cli convert --help)",
                              "convert");
        layoutIndex = *index;
    }

    // Results go to stdout only when the command is done: a failure prints its message alone.
    std::ostringstream out;
    try {
        if (computeCommand->parsed()) {
            compute.point1 = common[0];
            compute.point2 = common[1];
            runCompute(compute, out);
        } else if (fitCommand->parsed()) {
            runFit(fit, out);
        } else if (applyCommand->parsed()) {
            if (outputDir.empty())
                runApply(parameterFile, {applyFiles[0]}, applyFiles[1], {}, out, applyInverse);
            else
                runApply(parameterFile, applyFiles, {}, outputDir, out, applyInverse);
        } else if (dxfCommand->parsed()) {
            runDrawing(drawing, out);
        } else {
            runConvert(layoutIndex, convertInput, convertResult, out);
        }
    } catch (const tavrelo::Failure& failure) {
        std::cerr << "tavrelo-cli: " << failure.what() << "\n";
        return kFailure;
    } catch (const std::exception& e) {
        std::cerr << "tavrelo-cli: απρόβλεπτο σφάλμα: " << e.what() << "\n";
        return kFailure;
    }
    std::cout << out.str() << std::flush;
    return std::cout ? kDone : kFailure;
}
