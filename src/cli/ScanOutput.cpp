#include "cli/ScanOutput.h"

#include <cstdio>

#include "cli/JsonText.h"
#include "core/text/DisplayEscape.h"

namespace quellstone::cli {

void ScanOutput::WriteLine() {
    out_ << line_;
    out_.flush();
}

void ScanOutput::ReportUnreadableFolder(std::string_view path, bool isStartFolder) {
    ++unreadable_;
    if (isStartFolder) unscanned_.emplace_back(path);
}

void ScanOutput::AddDetection(std::string_view detection, std::string_view fullPath) {
    ++detections_;
    if (keepPaths_) detected_.push_back({std::string(fullPath), std::string(detection), start_.Reach(fullPath)});
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
    WriteLine();
}

void ScanOutput::AddRemoval(std::string_view fullPath, const quarantine::Removal& removal) {
    using quarantine::RemovalOutcome;
    removing_ = true;
    if (removal.outcome == RemovalOutcome::Removed) ++removed_;
    line_.clear();
    if (format_ == Format::JsonLines) {
        line_ += "{\"path\": ";
        AppendJsonString(line_, fullPath);
        line_ += removal.outcome == RemovalOutcome::Removed ? ", \"removed\": true" : ", \"removed\": false";
        if (removal.outcome == RemovalOutcome::AlreadyGone) line_ += ", \"already_gone\": true";
        if (removal.archive) {
            line_ += ", \"archive\": ";
            AppendJsonString(line_, *removal.archive);
        }
        line_ += "}\n";
    } else {
        line_ += text::EscapeForDisplay(fullPath);
        switch (removal.outcome) {
            case RemovalOutcome::Removed: line_ += ": REMOVED"; break;
            case RemovalOutcome::AlreadyGone: line_ += ": ALREADY GONE"; break;
            case RemovalOutcome::NotRemoved: line_ += ": NOT REMOVED"; break;
        }
        if (removal.archive) line_ += " (kept in quarantine as " + text::EscapeForDisplay(*removal.archive) + ")";
        line_ += '\n';
    }
    WriteLine();
}

void ScanOutput::WriteSummary(double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    if (format_ == Format::JsonLines) {
        out_ << "{\"summary\": {\"scanned\": " << scanned_ << ", \"detections\": " << detections_;
        if (removing_) out_ << ", \"removed\": " << removed_;
        out_ << ", \"unreadable_folders\": " << unreadable_ << ", \"seconds\": " << time << "}}\n";
    } else {
        out_ << "\n----------- SCAN SUMMARY -----------\n"
             << "Scanned entries: " << scanned_ << '\n'
             << "Detections: " << detections_ << '\n';
        if (removing_) out_ << "Removed: " << removed_ << '\n';
        out_ << "Folders that could not be read: " << unreadable_ << '\n';
        out_ << "Time: " << time << " s\n";
    }
    out_.flush();
}

}  // namespace quellstone::cli
