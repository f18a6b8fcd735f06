#include "core/update/DatabaseFacts.h"

#include "core/scan/SignatureDatabase.h"
#include "core/scan/SignatureIndex.h"
#include "core/text/DisplayEscape.h"
#include "core/text/FillIn.h"
#include "core/text/LanguageFormat.h"
#include "core/text/TimeText.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::update {

DatabaseFacts ReadDatabaseFacts(const std::string& path, ports::FileStore& files) {
    DatabaseFacts facts;
    ports::FileContent content = files.ReadFile(path);
    if (content.status != ports::ReadStatus::Ok) {
        facts.problem =
            content.status == ports::ReadStatus::Missing ? DatabaseProblem::Missing : DatabaseProblem::Unreadable;
        return facts;
    }
    facts.readable = true;
    facts.version = DatabaseVersionOf(content.bytes);
    // Counted as a scan loads the section, so the count is what lookups see.
    const scan::SignatureIndex index = scan::SignatureIndex::Build(text::DecodeTextFile(std::move(content.bytes)),
                                                                   scan::kSignatureSection, scan::kPathSection);
    facts.entries = index.Size() + index.PathEntries();
    facts.problem = index.LoadStatus() == scan::SignatureIndex::Status::Loaded ? DatabaseProblem::None
                                                                               : DatabaseProblem::NoSignatures;
    if (const std::optional<ports::FileStamp> stamp = files.Stamp(path)) {
        facts.modified =
            std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::nanoseconds(stamp->modifiedNs)));
    }
    return facts;
}

std::string DatabaseFactsText(const DatabaseFacts& facts, const i18n::LanguageTable& texts) {
    using T = i18n::TextId;
    if (!facts.readable) return texts.Text(T::DatabaseUnreadable);
    const std::string entries = std::to_string(facts.entries);
    const std::string date =
        facts.modified ? text::LocalTimeText(*facts.modified, text::FormatOf(texts.Language()).datePattern) : "";
    if (!facts.version) return text::FillIn(texts.Text(T::DatabaseEntriesAndDate), {entries, date});
    return text::FillIn(texts.Text(T::DatabaseVersionEntriesAndDate),
                        {DatabaseVersionText(*facts.version), entries, date});
}

std::string DatabaseProblemText(DatabaseProblem problem, const std::string& path, const i18n::LanguageTable& texts) {
    using T = i18n::TextId;
    const auto named = [&](T id) { return text::FillIn(texts.Text(id), {text::EscapeForDisplay(path)}); };
    switch (problem) {
        case DatabaseProblem::None: return {};
        case DatabaseProblem::Missing: return named(T::DatabaseMissing);
        case DatabaseProblem::Unreadable: return named(T::DatabaseCannotBeRead);
        case DatabaseProblem::NoSignatures: return named(T::DatabaseWithoutSignatures);
    }
    return {};
}

}  // namespace quellstone::update
