#include "core/scan/SignatureDatabase.h"

#include <utility>

#include "core/text/PathText.h"
#include "core/text/UpperCase.h"
#include "core/text/Utf8.h"

namespace quellstone::scan {

SignatureDatabase::SignatureDatabase(ports::FileStore& files, std::string programFolder)
    : files_(&files),
      programDatabasePath_(std::move(programFolder) + "/" + std::string(kDatabaseFileName)),
      databasePath_(programDatabasePath_) {}

std::string SignatureDatabase::DefaultPath() const {
    return databasePath_;
}

void SignatureDatabase::UseDatabase(std::string path) {
    databasePath_ = std::move(path);
}

void SignatureDatabase::SetLoadCheck(LoadCheck check) {
    loadCheck_ = std::move(check);
}

std::string SignatureDatabase::TakeRefusal() {
    return std::exchange(refusal_, {});
}

std::shared_ptr<const SignatureIndex> SignatureDatabase::IndexInUse() {
    return IndexOf(databasePath_);
}

std::shared_ptr<const SignatureIndex> SignatureDatabase::IndexOf(const std::string& requested) {
    std::string path = requested;
    std::optional<ports::FileStamp> stamp = files_->Stamp(path);
    if (index_ && stamp && stamp == indexStamp_ && path == indexPath_) return index_;

    ports::FileContent content = files_->ReadFile(path);
    if (content.status == ports::ReadStatus::Ok && loadCheck_ && path != programDatabasePath_) {
        // A file changed since it was chosen is checked again; one that no
        // longer passes gives way to the program folder's database for good.
        std::string refusal = loadCheck_(path, content.bytes);
        if (!refusal.empty()) {
            refusal_ = std::move(refusal);
            if (path == databasePath_) databasePath_ = programDatabasePath_;
            path = programDatabasePath_;
            stamp = files_->Stamp(path);
            content = files_->ReadFile(path);
        }
    }
    if (content.status == ports::ReadStatus::Ok) {
        index_ = std::make_shared<const SignatureIndex>(
            SignatureIndex::Build(text::DecodeTextFile(std::move(content.bytes)), kSignatureSection, kPathSection));
        indexStamp_ = stamp;
    } else {
        index_ = std::make_shared<const SignatureIndex>(SignatureIndex::Unreadable());
        indexStamp_.reset();
    }
    indexPath_ = path;
    return index_;
}

std::string SignatureDatabase::LookupSignature(std::string_view fullPath) {
    return std::string(IndexInUse()->Find(text::UpperCase(LookupKeyOf(text::FileNameOf(fullPath)))));
}

}  // namespace quellstone::scan
