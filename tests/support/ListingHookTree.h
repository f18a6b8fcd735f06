#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/ports/DirectoryTree.h"

namespace quellstone::testing {

// Another tree's folders, with a hook run after each listing: a test acts
// on real folders at that step of a walk.
class ListingHookTree final : public ports::DirectoryTree {
public:
    ListingHookTree(ports::DirectoryTree& inner, std::function<void()> afterList)
        : inner_(inner), afterList_(std::move(afterList)) {}

    std::unique_ptr<ports::Directory> OpenFolder(const std::string& path) override {
        return Wrap(inner_.OpenFolder(path));
    }
    std::optional<std::string> CanonicalPath(const std::string& path) override { return inner_.CanonicalPath(path); }
    ports::PathFound Look(const std::string& path) override { return inner_.Look(path); }
    std::optional<std::string> CurrentFolder() override { return inner_.CurrentFolder(); }

private:
    class Hooked final : public ports::Directory {
    public:
        Hooked(std::unique_ptr<ports::Directory> inner, ListingHookTree& tree)
            : inner_(std::move(inner)), tree_(tree) {}
        bool List(ports::DirectoryListing& out) override {
            const bool whole = inner_->List(out);
            tree_.afterList_();
            return whole;
        }
        [[nodiscard]] ports::FolderStamp OpenedStamp() const override { return inner_->OpenedStamp(); }
        std::optional<ports::FolderStamp> CurrentStamp() override { return inner_->CurrentStamp(); }
        std::optional<ports::EntryStatus> Status(std::string_view name) override { return inner_->Status(name); }
        std::unique_ptr<ports::Directory> OpenSubfolder(std::string_view name) override {
            return tree_.Wrap(inner_->OpenSubfolder(name));
        }
        std::unique_ptr<ports::Directory> OpenParent() override { return tree_.Wrap(inner_->OpenParent()); }
        [[nodiscard]] ports::FolderIdentity Identity() const override { return inner_->Identity(); }

    private:
        std::unique_ptr<ports::Directory> inner_;
        ListingHookTree& tree_;
    };

    std::unique_ptr<ports::Directory> Wrap(std::unique_ptr<ports::Directory> folder) {
        if (!folder) return nullptr;
        return std::make_unique<Hooked>(std::move(folder), *this);
    }

    ports::DirectoryTree& inner_;
    std::function<void()> afterList_;
};

}  // namespace quellstone::testing
