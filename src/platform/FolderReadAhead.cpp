#include "platform/FolderReadAhead.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>

namespace quellstone::platform {

namespace {

constexpr unsigned kMostThreads = 8;
constexpr std::size_t kListingBufferSize = 32 * 1024;

bool IsDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

}  // namespace

FolderReadAhead::FolderReadAhead(unsigned threads, std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)) {
    helpers_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        helpers_.emplace_back([this](const std::stop_token& stop) { Help(stop); });
    }
}

FolderReadAhead::~FolderReadAhead() {
    for (std::jthread& helper : helpers_) helper.request_stop();
    helpers_.clear();  // joins; the queue and its descriptors go after
}

unsigned FolderReadAhead::ThreadsFromEnvironment() {
    const char* value = std::getenv("QUELLSTONE_READ_AHEAD");
    if (value == nullptr) return 0;
    const std::string_view text(value);
    unsigned threads = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), threads);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return std::min(threads, kMostThreads);
}

void FolderReadAhead::Offer(int folderFd, dev_t device, const ports::DirectoryListing& listing, std::size_t first) {
    if (helpers_.empty()) return;
    std::shared_ptr<const Parent> parent;
    {
        // Walked in reverse so that the first subfolder, entered first, ends on top.
        std::unique_lock lock(mutex_, std::defer_lock);
        for (std::size_t i = listing.Size(); i > first; --i) {
            const std::string_view name = listing.Name(i - 1);
            if (listing.Kind(i - 1) != ports::EntryKind::Folder || IsDotOrDotDot(name)) continue;
            if (!parent) {
                UniqueFd copy(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
                if (!copy) return;
                parent = std::make_shared<const Parent>(Parent{std::move(copy), device});
                lock.lock();
            }
            if (hints_.size() == capacity_) hints_.pop_front();  // the oldest is the furthest ahead of the walk
            hints_.push_back(Hint{parent, std::string(name)});
        }
    }
    if (parent) ready_.notify_all();
}

bool FolderReadAhead::Next(const std::stop_token& stop, Hint& hint) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait(lock, stop, [this] { return !hints_.empty(); })) return false;
    hint = std::move(hints_.back());
    hints_.pop_back();
    return true;
}

void FolderReadAhead::Help(const std::stop_token& stop) {
    std::vector<char> buffer(kListingBufferSize);
    Hint hint;
    while (Next(stop, hint)) {
        ReadAhead(hint, buffer, stop);
        hint = Hint{};  // lets the parent's descriptor go as soon as no hint needs it
    }
}

void FolderReadAhead::ReadAhead(const Hint& hint, std::vector<char>& buffer, const std::stop_token& stop) {
    const int parentFd = hint.parent->fd.get();
    // Read without following a link or setting off an automount: a folder on
    // another device is a mount point and is left alone.
    struct stat seen {};
    if (::fstatat(parentFd, hint.name.c_str(), &seen, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0) return;
    if (!S_ISDIR(seen.st_mode) || seen.st_dev != hint.parent->device) return;
    const UniqueFd fd(::openat(parentFd, hint.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    // Checked again on the folder opened: it may have been replaced or mounted over meanwhile.
    if (!fd || ::fstat(fd.get(), &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) return;
    while (!stop.stop_requested()) {
        const ssize_t read = ::getdents64(fd.get(), buffer.data(), buffer.size());
        if (read <= 0) return;
        // The walk reads the status of every subfolder it lists: those are read here too.
        for (ssize_t offset = 0; offset < read && !stop.stop_requested();) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer.data() + offset);
            offset += entry->d_reclen;
            if (entry->d_type != DT_DIR || IsDotOrDotDot(entry->d_name)) continue;
            struct stat child {};
            ::fstatat(fd.get(), entry->d_name, &child, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT);
        }
    }
}

}  // namespace quellstone::platform
