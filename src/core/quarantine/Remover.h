#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ports/FileOperations.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"

namespace quellstone::quarantine {

inline constexpr std::string_view kArchiveExtension = ".arc";
inline constexpr std::string_view kQuarantineSetting = "Quarintine";

// The archive name for a file name that `taken` archives already use the
// plain form of: "a.exe" gives "a.exe.arc", then "a (2).exe.arc",
// "a (3).exe.arc", ... (the number goes before the first extension).
std::string ArchiveName(std::string_view fileName, int number);

// The file name an archive stands for: every ".arc" removed, as the
// quarantine list has always done ("a.arcade.arc" gives "aade").
std::string StripArchiveExtension(std::string_view archiveName);

// The original name behind a numbered archive ("a (2).exe" gives "a.exe");
// nullopt when the name carries no number.
std::optional<std::string> WithoutArchiveNumber(std::string_view name);

// The outcome of removing one detected file.
struct Removal {
    bool removed = false;                // the file is gone
    std::optional<std::string> archive;  // the archive's name, when one was written
};

// Removes detected files, each copied into the quarantine first when the
// quarantine switch ("Quarintine" = "1") is on. With the switch on, a file is
// deleted only once its archive copy is complete: a user who asked for a
// backup never loses a file without one.
class Remover {
public:
    Remover(ports::FileOperations& files, settings::SettingsStore& store, settings::ProgramPaths paths)
        : files_(files), store_(store), paths_(std::move(paths)) {}

    [[nodiscard]] bool QuarantineOn();
    Removal Remove(const std::string& path);

    // Raises the stored total of removed objects by one and returns it.
    std::int64_t CountRemoved();

private:
    std::optional<std::string> Archive(const std::string& path);

    ports::FileOperations& files_;
    settings::SettingsStore& store_;
    settings::ProgramPaths paths_;
};

}  // namespace quellstone::quarantine
