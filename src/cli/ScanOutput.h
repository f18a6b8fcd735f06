#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/scan/ScanSink.h"

namespace quellstone::cli {

// The scan window of the command line: detections are written as they are
// found, in detection order, and a summary at the end. The output is always
// "shown", so a walk runs until it ends or is stopped.
class ScanOutput : public scan::ScanSink {
public:
    enum class Format { Text, JsonLines };

    ScanOutput(std::ostream& out, Format format) : out_(out), format_(format) {}

    [[nodiscard]] bool IsShown() const override { return true; }
    void Discard() override {}
    void ShowCurrentPath(std::string_view) override {}
    void AdvanceScannedCount() override { ++scanned_; }
    void AddDetection(std::string_view detection, std::string_view fullPath) override;

    // Keeps the detected paths for a removal after the walk.
    void KeepDetectedPaths() { keepPaths_ = true; }
    [[nodiscard]] const std::vector<std::string>& DetectedPaths() const { return paths_; }

    // The outcome of removing a detection (scan --remove).
    void AddRemoval(std::string_view fullPath, bool removed, const std::string& archive);

    void WriteSummary(double seconds);

    [[nodiscard]] std::uint64_t Scanned() const { return scanned_; }
    [[nodiscard]] std::uint64_t Detections() const { return detections_; }

private:
    std::ostream& out_;
    Format format_;
    std::string line_;
    std::uint64_t scanned_ = 0;
    std::uint64_t detections_ = 0;
    std::uint64_t removed_ = 0;
    bool removing_ = false;
    bool keepPaths_ = false;
    std::vector<std::string> paths_;
};

}  // namespace quellstone::cli
