// A DXF drawing carried by a parameter file, from the command line.

#include "cli/commands.h"
#include "cli/output.h"
#include "drawing/dxf_transform.h"

#include <nlohmann/json.hpp>

namespace tavrelo::cli {

void runDrawing(const DrawingRequest& request, std::ostream& out)
{
    const DrawingSummary summary = transformDrawing(request.resultFile, request.drawingFile, request.parameterFile,
                                                    {request.inverse, request.skipUnknown});
    if (request.json) {
        nlohmann::ordered_json j;
        j["carried"] = nlohmann::ordered_json::object();
        for (const auto& [type, count] : summary.carried)
            j["carried"][type] = count;
        j["stayed"] = nlohmann::ordered_json::array();
        for (const StayedEntity& e : summary.stayed)
            j["stayed"].push_back({{"type", e.type}, {"handle", e.handle}});
        if (summary.hasExtents)
            j["extents"] = {{"min", summary.extentMin}, {"max", summary.extentMax}};
        else
            j["extents"] = nullptr;
        printJson(out, j);
        return;
    }
    out << "Γράφτηκε: " << request.resultFile << "\n";
    long total = 0;
    for (const auto& [type, count] : summary.carried)
        total += count;
    out << "Μεταφέρθηκαν " << total << " οντότητες:";
    for (const auto& [type, count] : summary.carried)
        out << " " << type << " " << count;
    out << "\n";
    if (!summary.stayed.empty()) {
        out << "Έμειναν όπως ήταν " << summary.stayed.size() << " οντότητες:";
        for (const StayedEntity& e : summary.stayed)
            out << " " << e.type << " (" << (e.handle.empty() ? "-" : e.handle) << ")";
        out << "\n";
    }
    if (summary.hasExtents) {
        nlohmann::json min = summary.extentMin, max = summary.extentMax;
        out << "Όρια σχεδίου: " << min.dump() << " έως " << max.dump() << "\n";
    }
}

}  // namespace tavrelo::cli
