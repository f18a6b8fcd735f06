#include "cli/ScanOutput.h"

#include <cstdio>

#include "cli/Command.h"
#include "cli/JsonText.h"
#include "core/text/DisplayEscape.h"

namespace quellstone::cli {

namespace {

// Why a detection is still there, in words that scripts may match: short,
// lower case, never changed once published.
std::string_view ReasonText(quarantine::RemovalProblem problem) {
    using quarantine::RemovalProblem;
    switch (problem) {
        case RemovalProblem::Folder: return "a folder";
        case RemovalProblem::NoPermission: return "permission denied";
        case RemovalProblem::SymbolicLink: return "symbolic link";
        case RemovalProblem::NotRegularFile: return "not a regular file";
        case RemovalProblem::NoSpace: return "no space for the copy";
        case RemovalProblem::CopyFailed: return "copy into quarantine failed";
        case RemovalProblem::Changed: return "changed since the scan";
        case RemovalProblem::SharedFile: return "a line of a shared file";
        case RemovalProblem::ProcessRunning: return "a running process";
        case RemovalProblem::ProcessNotEnded: return "the process did not end";
        case RemovalProblem::None:
        case RemovalProblem::Gone: break;
    }
    return "unknown";
}

}  // namespace

void ScanOutput::WriteLine() {
    out_ << line_;
    out_.flush();
}

void ScanOutput::ReportUnreadableFolder(std::string_view path, bool isStartFolder) {
    ++unreadable_;
    if (isStartFolder) {
        unscanned_.emplace_back(path);
    } else if (unreadableInside_.size() < kNamedUnreadable) {
        unreadableInside_.emplace_back(path);
    }
    if (format_ != Format::JsonLines) return;
    line_ = "{\"unreadable\": ";
    AppendJsonString(line_, path);
    line_ += "}\n";
    WriteLine();
}

void ScanOutput::FileSystemLeftOut(const ports::MountedFileSystem& fileSystem) {
    err_ << "quellstone-cli scan: " << text::EscapeForDisplay(fileSystem.mountPoint) << " ("
         << text::EscapeForDisplay(fileSystem.type)
         << "): a network or FUSE file system, left out (--network walks it)\n";
}

void ScanOutput::FileSystemNotEntered(const ports::MountedFileSystem& fileSystem) {
    err_ << "quellstone-cli scan: " << text::EscapeForDisplay(fileSystem.mountPoint) << " ("
         << text::EscapeForDisplay(fileSystem.type)
         << "): another file system, mounted inside a folder scanned, not entered (name it as a PATH to scan it)\n";
}

void ScanOutput::MountsUnknown() {
    err_ << "quellstone-cli scan: the mounted file systems could not be read from /proc/self/mounts: only / is "
            "walked, not the file systems mounted in it\n";
}

void ScanOutput::PathNotReached(std::string_view path, bool missing, std::string_view reason) {
    err_ << "quellstone-cli scan: " << text::EscapeForDisplay(path) << ": " << reason << "\n";
    unreached_.emplace_back(path);
    if (format_ != Format::JsonLines) return;
    line_ = missing ? "{\"missing\": " : "{\"unreadable\": ";
    AppendJsonString(line_, path);
    line_ += "}\n";
    WriteLine();
}

void ScanOutput::SendEntry(const ports::JournalFields& entry) {
    if (journal_->Send(entry) || journalRefused_) return;
    // Said once: the output here is complete, only its copy in the journal is not.
    journalRefused_ = true;
    err_ << "quellstone-cli scan: the systemd journal did not take an entry (is systemd-journald running?); the "
            "results are written here only\n";
}

void ScanOutput::WriteDetection(std::string_view shown, std::string_view fields, std::string_view detection,
                                ports::JournalFields entry) {
    ++detections_;
    const std::string text = text::EscapeForDisplay(shown) + ": " + text::EscapeForDisplay(detection) + " FOUND";
    line_.clear();
    if (format_ == Format::JsonLines) {
        line_ += '{';
        line_ += fields;
        line_ += ", \"detection\": ";
        AppendJsonString(line_, detection);
        line_ += "}\n";
    } else {
        line_ = text + '\n';
    }
    WriteLine();
    if (!journal_) return;
    // The text line is the MESSAGE whatever the output's format: the fields are the entry's structure.
    entry.insert(entry.begin(), {{"MESSAGE", text},
                                 {"MESSAGE_ID", std::string(kDetectionMessageId)},
                                 {"PRIORITY", "4"},  // warning
                                 {"SYSLOG_IDENTIFIER", "quellstone-cli"},
                                 {"QUELLSTONE_DETECTION", std::string(detection)}});
    SendEntry(entry);
}

void ScanOutput::AddDetection(std::string_view detection, std::string_view fullPath) {
    if (keepPaths_) detected_.push_back({std::string(fullPath), std::string(detection), start_.Reach(fullPath)});
    std::string fields = "\"path\": ";
    AppendJsonString(fields, fullPath);
    WriteDetection(fullPath, fields, detection,
                   {{"QUELLSTONE_KIND", "file"}, {"QUELLSTONE_PATH", std::string(fullPath)}});
}

void ScanOutput::ProcessFound(std::string_view detection, const ports::RunningProcess& process, bool byFile) {
    const std::string shown = "process " + std::to_string(process.pid) + " " + app::ProcessShownPath(process);
    if (keepPaths_) {
        detected_.push_back({shown,
                             std::string(detection),
                             ports::ReachablePath::FromRoot(process.executable),
                             DetectedFile::Kind::Process,
                             process,
                             {},
                             scan::RemovesFileOf(process, byFile)});
    }
    std::string fields = "\"kind\": \"process\", \"pid\": " + std::to_string(process.pid) + ", \"path\": ";
    AppendJsonString(fields, process.executable.empty() ? app::ProcessShownPath(process) : process.executable);
    if (process.executableDeleted) fields += ", \"deleted\": true";
    fields += ", \"name\": ";
    AppendJsonString(fields, process.name);
    WriteDetection(
        shown, fields, detection,
        {{"QUELLSTONE_KIND", "process"},
         {"QUELLSTONE_PATH", process.executable.empty() ? app::ProcessShownPath(process) : process.executable},
         {"QUELLSTONE_PID", std::to_string(process.pid)},
         {"QUELLSTONE_PROCESS_NAME", process.name}});
}

void ScanOutput::AutostartFound(std::string_view detection, const autostart::AutostartEntry& entry) {
    const std::string shown = "autostart " + entry.file + ":" + std::to_string(entry.line) + " -> " + entry.program;
    if (keepPaths_) {
        detected_.push_back({shown,
                             std::string(detection),
                             ports::ReachablePath::FromRoot(entry.file),
                             entry.wholeFile ? DetectedFile::Kind::AutostartFile : DetectedFile::Kind::AutostartLine,
                             {},
                             entry});
    }
    std::string fields = "\"kind\": \"autostart\", \"file\": ";
    AppendJsonString(fields, entry.file);
    fields += ", \"line\": " + std::to_string(entry.line) + ", \"path\": ";
    AppendJsonString(fields, entry.program);
    WriteDetection(shown, fields, detection,
                   {{"QUELLSTONE_KIND", "autostart"},
                    {"QUELLSTONE_PATH", entry.program},
                    {"QUELLSTONE_FILE", entry.file},
                    {"QUELLSTONE_LINE", std::to_string(entry.line)}});
}

void ScanOutput::SystemChecked(const app::SystemCheckCounts& counts) {
    systemCounts_ = counts;
    if (counts.processesUnknown) {
        err_ << "quellstone-cli scan: the running processes could not be listed (is /proc mounted?), so none was "
                "looked up\n";
    }
}

void ScanOutput::AddRemoval(std::string_view fullPath, const quarantine::Removal& removal, std::string_view reason) {
    if (reason.empty()) reason = ReasonText(removal.problem);
    using quarantine::RemovalOutcome;
    removing_ = true;
    if (removal.outcome == RemovalOutcome::Removed) ++removed_;
    const bool failed = removal.outcome == RemovalOutcome::NotRemoved;
    if (failed) ++notRemoved_;
    line_.clear();
    if (format_ == Format::JsonLines) {
        line_ += "{\"path\": ";
        AppendJsonString(line_, fullPath);
        line_ += removal.outcome == RemovalOutcome::Removed ? ", \"removed\": true" : ", \"removed\": false";
        if (removal.outcome == RemovalOutcome::AlreadyGone) line_ += ", \"already_gone\": true";
        if (failed) {
            line_ += ", \"reason\": ";
            AppendJsonString(line_, reason);
        }
        if (removal.archive) {
            line_ += ", \"archive\": ";
            AppendJsonString(line_, *removal.archive);
        }
        if (removal.linkTarget) {
            line_ += ", \"link_target\": ";
            AppendJsonString(line_, *removal.linkTarget);
        }
        line_ += "}\n";
    } else {
        line_ += text::EscapeForDisplay(fullPath);
        switch (removal.outcome) {
            case RemovalOutcome::Removed:
                line_ += ": REMOVED";
                // The link went, never the file it points to.
                if (removal.linkTarget)
                    line_ += " (symbolic link to " + text::EscapeForDisplay(*removal.linkTarget) + ")";
                break;
            case RemovalOutcome::AlreadyGone: line_ += ": ALREADY GONE"; break;
            case RemovalOutcome::NotRemoved:
                line_ += ": NOT REMOVED (";
                line_ += text::EscapeForDisplay(reason);
                line_ += ')';
                break;
        }
        if (removal.archive) line_ += " (kept in quarantine as " + text::EscapeForDisplay(*removal.archive) + ")";
        line_ += '\n';
    }
    WriteLine();
}

void ScanOutput::WriteSummary(double seconds) {
    seconds_ = seconds;
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    if (format_ == Format::JsonLines) {
        out_ << "{\"summary\": {\"scanned\": " << scanned_ << ", \"detections\": " << detections_;
        if (removing_) out_ << ", \"removed\": " << removed_;
        if (ignored_ != 0) out_ << ", \"ignored\": " << ignored_;
        out_ << ", \"unreadable_folders\": " << unreadable_;
        if (systemCounts_ && systemCounts_->processesChecked) {
            out_ << ", \"processes\": " << systemCounts_->processes
                 << ", \"processes_not_read\": " << systemCounts_->processesNotRead;
        }
        if (systemCounts_ && systemCounts_->autostartChecked) {
            out_ << ", \"autostart_entries\": " << systemCounts_->autostartEntries
                 << ", \"autostart_not_read\": " << systemCounts_->autostartNotRead;
        }
        out_ << ", \"seconds\": " << time << "}}\n";
    } else {
        out_ << "\n----------- SCAN SUMMARY -----------\n"
             << "Scanned entries: " << scanned_ << '\n'
             << "Detections: " << detections_ << '\n';
        if (ignored_ != 0) out_ << "Ignored (adware or less dangerous): " << ignored_ << '\n';
        if (removing_) out_ << "Removed: " << removed_ << '\n';
        out_ << "Folders that could not be read: " << unreadable_ << '\n';
        if (systemCounts_ && systemCounts_->processesChecked) {
            out_ << "Processes looked up: " << systemCounts_->processes << " (" << systemCounts_->processesNotRead
                 << " not readable in full)\n";
        }
        if (systemCounts_ && systemCounts_->autostartChecked) {
            out_ << "Autostart entries looked up: " << systemCounts_->autostartEntries << " ("
                 << systemCounts_->autostartNotRead << " files or folders not read)\n";
        }
        // Every PATH that was not scanned, whether it was missing or could not be read.
        std::vector<std::string> notScanned = unreached_;
        notScanned.insert(notScanned.end(), unscanned_.begin(), unscanned_.end());
        if (!notScanned.empty()) {
            out_ << "PATHs not scanned: " << notScanned.size();
            for (std::size_t i = 0; i < notScanned.size(); ++i)
                out_ << (i == 0 ? " (" : ", ") << text::EscapeForDisplay(notScanned[i]);
            out_ << ")\n";
        }
        out_ << "Time: " << time << " s\n";
    }
    out_.flush();
}

void ScanOutput::JournalSummary(int exitStatus) {
    if (!journal_) return;
    const std::size_t notScanned = unreached_.size() + unscanned_.size();
    ports::JournalFields entry = {
        {"MESSAGE", "Scan ended: " + std::to_string(scanned_) + " entries scanned, " + std::to_string(detections_) +
                        " detections, exit status " + std::to_string(exitStatus)},
        {"MESSAGE_ID", std::string(kSummaryMessageId)},
        {"PRIORITY", exitStatus == kExitOk ? "6" : "5"},  // info when nothing was found, else notice
        {"SYSLOG_IDENTIFIER", "quellstone-cli"},
        {"QUELLSTONE_ENTRIES", std::to_string(scanned_)},
        {"QUELLSTONE_DETECTIONS", std::to_string(detections_)},
        {"QUELLSTONE_IGNORED", std::to_string(ignored_)},
        {"QUELLSTONE_UNREADABLE_FOLDERS", std::to_string(unreadable_)},
        {"QUELLSTONE_PATHS_NOT_SCANNED", std::to_string(notScanned)},
        {"QUELLSTONE_EXIT_STATUS", std::to_string(exitStatus)},
    };
    if (removing_) {
        entry.emplace_back("QUELLSTONE_REMOVED", std::to_string(removed_));
        entry.emplace_back("QUELLSTONE_NOT_REMOVED", std::to_string(notRemoved_));
    }
    if (systemCounts_ && systemCounts_->processesChecked)
        entry.emplace_back("QUELLSTONE_PROCESSES", std::to_string(systemCounts_->processes));
    if (systemCounts_ && systemCounts_->autostartChecked)
        entry.emplace_back("QUELLSTONE_AUTOSTART_ENTRIES", std::to_string(systemCounts_->autostartEntries));
    if (seconds_) {
        char time[32];
        std::snprintf(time, sizeof time, "%.3f", *seconds_);
        entry.emplace_back("QUELLSTONE_SECONDS", time);
    }
    SendEntry(entry);
}

}  // namespace quellstone::cli
