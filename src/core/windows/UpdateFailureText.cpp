#include "core/windows/UpdateFailureText.h"

#include "core/text/FillIn.h"

namespace quellstone::windows {

namespace {

using T = i18n::TextId;

// How much of a server's or the network's own words a message shows.
constexpr std::size_t kMaxDetailChars = 200;
// A status code is three digits; a longer one is a broken or hostile server's.
constexpr std::size_t kMaxStatusChars = 16;

}  // namespace

std::string DownloadFailureReason(const update::DownloadFailure& failure, const i18n::LanguageTable& texts) {
    // A status line without a code names no error: the connection failed.
    if (failure.answered && !failure.status.empty()) {
        return text::FillIn(texts.Text(T::DownloadErrorStatus),
                            {update::ServerTextForDisplay(failure.status, kMaxStatusChars)});
    }
    switch (failure.transport) {
        case ports::HttpFailure::CouldNotConnect: return texts.Text(T::DownloadCouldNotConnect);
        case ports::HttpFailure::TimedOut: return texts.Text(T::DownloadTimedOut);
        case ports::HttpFailure::HostNotFound: return texts.Text(T::DownloadHostNotFound);
        // A version file is a few bytes: an answer past the limit is no version (an error page, say).
        case ports::HttpFailure::TooLarge: return texts.Text(T::UpdateAnswerNotAVersion);
        default: return texts.Text(T::DownloadFailed);
    }
}

std::string DatabaseUpdateFailureReason(const update::DatabaseUpdateResult& result, const i18n::LanguageTable& texts) {
    using Outcome = update::DatabaseUpdateOutcome;
    switch (result.outcome) {
        case Outcome::NoKey: return texts.Text(T::UpdateKeyMissing);
        case Outcome::NoServer: return texts.Text(T::UpdateServerMissing);
        case Outcome::NoAnswer:
        case Outcome::Refused: return DownloadFailureReason(result.download, texts);
        case Outcome::TooLarge: return texts.Text(T::DownloadedDatabaseTooLarge);
        case Outcome::BadSignature: return texts.Text(T::DownloadedDatabaseSignatureInvalid);
        case Outcome::NotADatabase: return texts.Text(T::DownloadedDatabaseNotValid);
        case Outcome::Older:
            return text::FillIn(texts.Text(T::DownloadedDatabaseOlder),
                                {result.version ? update::DatabaseVersionText(*result.version) : ""});
        case Outcome::WriteFailed: return texts.Text(T::DatabaseNotSaved);
        // Installed, AlreadyNewest: no failure; Cancelled: the program is closing and shows nothing.
        case Outcome::Installed:
        case Outcome::AlreadyNewest:
        case Outcome::Cancelled: break;
    }
    return update::ServerTextForDisplay(result.detail, kMaxDetailChars);
}

std::string WithDetails(std::string message, std::string_view detail, const i18n::LanguageTable& texts) {
    const std::string shown = update::ServerTextForDisplay(detail, kMaxDetailChars);
    if (shown.empty()) return message;
    return message + "\r" + text::FillIn(texts.Text(T::FailureDetails), {shown});
}

}  // namespace quellstone::windows
