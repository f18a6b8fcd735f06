#include "platform/ProcMountTable.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "core/ini/IniFormat.h"

namespace quellstone::platform {

namespace {

constexpr std::array<std::string_view, 24> kPseudoFileSystems = {
    "proc",    "sysfs",       "cgroup",     "cgroup2", "devtmpfs", "devpts",   "tmpfs",     "securityfs",
    "debugfs", "tracefs",     "mqueue",     "bpf",     "pstore",   "configfs", "fusectl",   "hugetlbfs",
    "autofs",  "binfmt_misc", "rpc_pipefs", "nsfs",    "efivarfs", "ramfs",    "selinuxfs", "fuse.portal"};

std::string Unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.size() == 3 &&
                std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

}  // namespace

std::vector<std::string> StorageMountPoints(std::string_view mountsText) {
    std::vector<std::string> points;
    ini::ForEachLine(mountsText, [&](std::string_view line) {
        std::istringstream fields{std::string(line)};
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type)) return;
        if (std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), type) != kPseudoFileSystems.end()) return;
        std::string point = Unescape(mountPoint);
        if (std::find(points.begin(), points.end(), point) == points.end()) points.push_back(std::move(point));
    });
    return points;
}

std::vector<std::string> ProcMountTable::StorageMountPoints() {
    // /proc files report a size of 0 but read fine.
    const ports::FileContent content = files_.ReadFile("/proc/self/mounts");
    if (content.status != ports::ReadStatus::Ok) return {};
    return platform::StorageMountPoints(content.bytes);
}

}  // namespace quellstone::platform
