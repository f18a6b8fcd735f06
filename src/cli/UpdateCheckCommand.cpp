#include "cli/UpdateCheckCommand.h"

#include "cli/NoEvents.h"
#include "core/i18n/VendorAddresses.h"
#include "core/settings/ProgramPaths.h"
#include "core/text/DisplayEscape.h"
#include "core/update/UpdateCheck.h"
#include "core/update/Version.h"
#include "platform/CurlHttpClient.h"
#include "platform/PosixFileStore.h"

namespace quellstone::cli {

namespace {

// How much of the version file's first line is printed.
constexpr std::size_t kMaxShownVersionChars = 64;
// How much of the network's or the server's reason for a failure is printed.
constexpr std::size_t kMaxShownReasonChars = 300;

// Why the version file could not be read, in English: the transport's words,
// or the status line the server answered with.
std::string FailureText(const update::DownloadFailure& failure) {
    const std::string words = update::ServerTextForDisplay(failure.text, kMaxShownReasonChars);
    if (failure.answered) return "the server answered " + words;
    return words.empty() ? "no answer" : words;
}

}  // namespace

UpdateCheckCommand::UpdateCheckCommand()
    : Command({
          .name = "update-check",
          .summary = "Ask the update server for a newer version",
          .options = {{"server", "URL", "Ask the server at URL instead"}},
          .description = "Fetches updates/velkaro.txt from the update server (Server in [Update]\n"
                         "of the program folder's vendor.ini, or URL) and compares it with this\n"
                         "program's version. Prints the local and the remote version text (the\n"
                         "first line of the file, at most 64 characters; \"...\" marks a cut).\n",
          .details = "Exit status: 0 no newer version, 1 a newer version exists, 2 the check\n"
                     "failed (no answer within 60 seconds, a status other than 200, a file\n"
                     "that does not hold a version number such as 1.06, ...).\n",
      }) {}

int UpdateCheckCommand::Execute(const ParsedArguments& args, CommandIo& io) {
    platform::PosixFileStore files;
    const std::string server = args.Has("server")
                                   ? args.Value("server")
                                   : i18n::VendorAddresses::Load(files, io.layout.vendorFile).updateServer;
    const std::string local = update::VersionText(update::BuildVersion());
    const std::string address = update::VersionFileAddress(server);
    platform::CurlHttpClient http;
    NoEvents pump;
    std::string remote;
    const auto request = http.NewRequest();
    io.out << "Local version: " << local << '\n';
    update::DownloadFailure failure;
    if (!update::DownloadVersionFile(*request, pump, address, remote, {}, failure)) {
        Error(io) << "could not read " << text::EscapeForDisplay(address) << ": " << FailureText(failure) << "\n";
        return kExitError;
    }
    io.out << "Remote version: " << update::ServerTextForDisplay(remote, kMaxShownVersionChars) << '\n';
    const update::VersionVerdict verdict = update::CompareVersions(remote, local);
    if (verdict == update::VersionVerdict::NotAVersion) {
        Error(io) << text::EscapeForDisplay(address) << " does not hold a version number\n";
        return kExitError;
    }
    const bool newer = verdict == update::VersionVerdict::Newer;
    io.out << (newer ? "A newer version is available.\n" : "No newer version is available.\n");
    return newer ? kExitFound : kExitOk;
}

}  // namespace quellstone::cli
