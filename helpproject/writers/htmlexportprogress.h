#pragma once
// The progress and abort seam of the HTML writers: the user interface shows
// a gauge and sets an abort flag; batch runs and tests pass their own or
// nothing.
#include <stdexcept>
#include <string>

namespace helpproject {

class THtmlExportProgress {
public:
    virtual ~THtmlExportProgress() = default;
    // Shows `text` with the gauge at 0 of `maxValue`.
    virtual void Start(const std::string& /*text*/, int /*maxValue*/) {}
    // Moves the gauge and lets pending events through.
    virtual void SetProgress(int /*value*/) {}
    virtual bool AbortRequested() { return false; }
};

// The user stopped the export; shown as nothing more than its message.
class EHtmlExportAborted : public std::runtime_error {
public:
    EHtmlExportAborted() : std::runtime_error("HTML Export aborted by user") {}
};

// Sets the gauge and throws EHtmlExportAborted when the user asked to stop.
inline void CheckHtmlExportAbort(THtmlExportProgress* progress, int value) {
    if (!progress)
        return;
    progress->SetProgress(value);
    if (progress->AbortRequested())
        throw EHtmlExportAborted();
}

} // namespace helpproject
