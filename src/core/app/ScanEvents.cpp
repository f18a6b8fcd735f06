#include "core/app/ScanEvents.h"

namespace quellstone::app {

using Kind = ScanEvent::Kind;

std::vector<ScanEvent> ScanEvents::Take() {
    std::vector<ScanEvent> taken;
    const std::lock_guard<std::mutex> lock(mutex_);
    taken.swap(events_);
    return taken;
}

void ScanEvents::Add(ScanEvent event) {
    const std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
}

void ScanEvents::LookedUp(std::string_view fullPath) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (events_.empty() || events_.back().kind != Kind::LookedUp) events_.push_back({Kind::LookedUp});
    ScanEvent& run = events_.back();
    ++run.number;
    run.path.assign(fullPath);  // reuses the path's room: no allocation per entry
}

void ScanEvents::EnterStartFolder(std::string_view path, std::optional<ports::FolderIdentity> identity) {
    Add({.kind = Kind::StartFolder, .path = std::string(path), .identity = identity});
}

void ScanEvents::ReportUnreadableFolder(std::string_view path, bool isStartFolder) {
    Add({.kind = Kind::UnreadableFolder, .path = std::string(path), .flag = isStartFolder});
}

void ScanEvents::ReportExcludedStart(std::string_view path) {
    Add({.kind = Kind::ExcludedStart, .path = std::string(path)});
}

void ScanEvents::AddDetection(std::string_view detection, std::string_view fullPath) {
    Add({.kind = Kind::Detection, .path = std::string(fullPath), .text = std::string(detection)});
}

void ScanEvents::IgnoreDetection(std::string_view detection, std::string_view fullPath) {
    Add({.kind = Kind::Ignored, .path = std::string(fullPath), .text = std::string(detection)});
}

void ScanEvents::ProcessFound(std::string_view detection, const ports::RunningProcess& process, bool byFile) {
    Add({.kind = Kind::Process, .text = std::string(detection), .flag = byFile, .process = process});
}

void ScanEvents::AutostartFound(std::string_view detection, const autostart::AutostartEntry& entry) {
    Add({.kind = Kind::Autostart, .text = std::string(detection), .entry = entry});
}

void ScanEvents::PathNotReached(std::string_view path, bool missing, std::string_view reason) {
    Add({.kind = Kind::PathNotReached, .path = std::string(path), .text = std::string(reason), .flag = missing});
}

void ScanEvents::FileSystemLeftOut(const ports::MountedFileSystem& fileSystem) {
    Add({.kind = Kind::FileSystemLeftOut, .path = fileSystem.mountPoint, .text = fileSystem.type});
}

void ScanEvents::FileSystemNotEntered(const ports::MountedFileSystem& fileSystem) {
    Add({.kind = Kind::FileSystemNotEntered, .path = fileSystem.mountPoint, .text = fileSystem.type});
}

void ScanEvents::MountsUnknown() {
    Add({.kind = Kind::MountsUnknown});
}

void ScanEvents::ScanCounted(std::int64_t totalScans) {
    Add({.kind = Kind::Counted, .number = totalScans});
}

void ScanEvents::FolderStarted(const scan::ScanTarget& target) {
    Add({.kind = Kind::FolderStarted, .target = target});
}

void ScanEvents::FolderDone(const scan::ScanTarget& target, bool excluded) {
    Add({.kind = Kind::FolderDone, .flag = excluded, .target = target});
}

}  // namespace quellstone::app
