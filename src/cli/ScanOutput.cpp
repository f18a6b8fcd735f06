#include "cli/ScanOutput.h"

#include <cstdio>

#include "cli/JsonText.h"
#include "core/text/DisplayEscape.h"

namespace quellstone::cli {

void ScanOutput::AddDetection(std::string_view detection, std::string_view fullPath) {
    ++detections_;
    if (keepPaths_) paths_.emplace_back(fullPath);
    line_.clear();
    if (format_ == Format::JsonLines) {
        line_ += "{\"path\": ";
        AppendJsonString(line_, fullPath);
        line_ += ", \"detection\": ";
        AppendJsonString(line_, detection);
        line_ += "}\n";
    } else {
        line_ += text::EscapeForDisplay(fullPath);
        line_ += ": ";
        line_ += text::EscapeForDisplay(detection);
        line_ += " FOUND\n";
    }
    out_ << line_;
}

void ScanOutput::AddRemoval(std::string_view fullPath, bool removed, const std::string& archive) {
    removing_ = true;
    if (removed) ++removed_;
    line_.clear();
    if (format_ == Format::JsonLines) {
        line_ += "{\"path\": ";
        AppendJsonString(line_, fullPath);
        line_ += removed ? ", \"removed\": true" : ", \"removed\": false";
        if (!archive.empty()) {
            line_ += ", \"archive\": ";
            AppendJsonString(line_, archive);
        }
        line_ += "}\n";
    } else {
        line_ += text::EscapeForDisplay(fullPath);
        line_ += removed ? ": REMOVED" : ": NOT REMOVED";
        if (!archive.empty()) line_ += " (kept in quarantine as " + text::EscapeForDisplay(archive) + ")";
        line_ += '\n';
    }
    out_ << line_;
}

void ScanOutput::WriteSummary(double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    if (format_ == Format::JsonLines) {
        out_ << "{\"summary\": {\"scanned\": " << scanned_ << ", \"detections\": " << detections_;
        if (removing_) out_ << ", \"removed\": " << removed_;
        out_ << ", \"seconds\": " << time << "}}\n";
    } else {
        out_ << "\n----------- SCAN SUMMARY -----------\n"
             << "Scanned entries: " << scanned_ << '\n'
             << "Detections: " << detections_ << '\n';
        if (removing_) out_ << "Removed: " << removed_ << '\n';
        out_ << "Time: " << time << " s\n";
    }
    out_.flush();
}

}  // namespace quellstone::cli
