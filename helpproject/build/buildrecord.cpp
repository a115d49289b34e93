#include "helpproject/build/buildrecord.h"

namespace helpproject {

namespace {

void TakeName(std::string& field, const std::string& chosen) {
    if (!chosen.empty())
        field = chosen;
}

} // namespace

void TBuildRecord::TakeReport(const TBuildReport& report) {
    TakeName(HelpFileName, report.HelpFileName);
    TakeName(ChmFileName, report.ChmFileName);
    TakeName(ErrorLogFileName, report.ErrorLogFileName);
    TempFiles.insert(TempFiles.end(), report.TempFiles.begin(), report.TempFiles.end());
    Report = report;
    Written = true;
}

} // namespace helpproject
