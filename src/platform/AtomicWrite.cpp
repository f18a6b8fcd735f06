#include "platform/AtomicWrite.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace quellstone::platform {

namespace {

constexpr std::string_view kTemporaryLetters = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

void Report(const StepObserver& onStep, ReplaceStep step) {
    if (onStep) onStep(step);
}

}  // namespace

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool IsTemporarySuffix(std::string_view suffix) {
    return suffix.size() == kTemporarySuffixLength &&
           suffix.find_first_not_of(kTemporaryLetters) == std::string_view::npos;
}

UniqueFd CreateTemporaryFile(int folder, std::string_view prefix, std::string& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name.assign(prefix);
        for (std::size_t i = 0; i < kTemporarySuffixLength; ++i)
            name += kTemporaryLetters[random() % kTemporaryLetters.size()];
        UniqueFd fd(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd || errno != EEXIST) return fd;
    }
    return UniqueFd();
}

bool IsCopyTemporaryName(std::string_view name) {
    return name.starts_with(kCopyPrefix) && IsTemporarySuffix(name.substr(kCopyPrefix.size()));
}

UniqueFd TrackedTemporary::Create(int folder, std::string_view prefix, std::string& name, int& error) {
    const std::lock_guard<std::mutex> guard(mutex_);
    UniqueFd fd = CreateTemporaryFile(folder, prefix, name);
    error = errno;
    if (fd) {
        folder_ = UniqueFd(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
        name_ = name;
    }
    return fd;
}

void TrackedTemporary::Forget() {
    const std::lock_guard<std::mutex> guard(mutex_);
    folder_.Reset();
    name_.clear();
}

void TrackedTemporary::Abandon() {
    const std::lock_guard<std::mutex> guard(mutex_);
    if (folder_ && !name_.empty()) ::unlinkat(folder_.get(), name_.c_str(), 0);
    name_.clear();
}

bool PlaceTemporaryFile(const Placement& place, UniqueFd temp, const std::string& tempName,
                        const std::function<bool(int fd)>& fill, const StepObserver& onStep) {
    // Each failing call's errno is taken at once, before the clean-up can change it.
    const auto failed = [&place] {
        if (place.error != nullptr) *place.error = errno;
        return false;
    };
    bool written = (::fchmod(temp.get(), place.mode) == 0 || failed()) && fill(temp.get());
    if (written) Report(onStep, ReplaceStep::Written);
    written = written && (::fsync(temp.get()) == 0 || failed());
    if (written) Report(onStep, ReplaceStep::Flushed);
    temp.Reset();
    const std::string name(place.name);
    const bool placed =
        written && ((place.replace ? ::renameat(place.folder, tempName.c_str(), place.folder, name.c_str())
                                   : ::renameat2(place.folder, tempName.c_str(), place.folder, name.c_str(),
                                                 RENAME_NOREPLACE)) == 0 ||
                    failed());
    if (!placed) {
        ::unlinkat(place.folder, tempName.c_str(), 0);
        return false;
    }
    Report(onStep, ReplaceStep::Renamed);
    // The rename is durable once the folder's entry is on disk.
    ::fsync(place.folder);
    Report(onStep, ReplaceStep::FolderFlushed);
    return true;
}

}  // namespace quellstone::platform
