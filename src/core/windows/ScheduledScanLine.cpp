#include "core/windows/ScheduledScanLine.h"

#include <chrono>

#include "core/i18n/TextId.h"
#include "core/text/FillIn.h"
#include "core/text/LanguageFormat.h"
#include "core/text/TimeText.h"

namespace quellstone::windows {

using T = i18n::TextId;

std::string ScheduledScanLine(const std::optional<scan::ScheduledScanResult>& result,
                              const i18n::LanguageTable& texts) {
    const std::string when =
        result ? text::LocalTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(result->endedAt)),
                                     text::FormatOf(texts.Language()).dateTimePattern)
               : std::string();
    // A time the system cannot write is shown as no result rather than as a blank date.
    if (!result || when.empty()) return texts.Text(T::Never);
    // A failed scan looked at nothing worth counting: its counts would read as a clean result.
    if (result->end == scan::ScanEnd::Failed) return text::FillIn(texts.Text(T::ScheduledScanFailed), when);
    const std::string line = result->detections == 1 ? text::FillIn(texts.Text(T::ScheduledScanOneDetection), when)
                                                     : text::FillIn(texts.Text(T::ScheduledScanDetections),
                                                                    {when, std::to_string(result->detections)});
    return result->end == scan::ScanEnd::Finished ? line : text::FillIn(texts.Text(T::ScheduledScanStopped), line);
}

}  // namespace quellstone::windows
