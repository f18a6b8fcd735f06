#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/DirectoryTree.h"
#include "core/scan/FileAttributes.h"

namespace quellstone::testing {

// A folder tree in memory. Entries keep the order they were added in, which
// is their listing order. An entry's attributes can be set to any value, or
// made unreadable; a folder can be made unopenable.
class FakeDirectoryTree final : public ports::DirectoryTree {
public:
    struct Node {
        std::string name;
        ports::EntryKind kind = ports::EntryKind::Other;
        std::optional<std::uint32_t> attributes;
        bool opens = true;
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        std::uint64_t inode = 0;

        Node& Add(std::string childName, ports::EntryKind childKind, std::optional<std::uint32_t> value) {
            auto child = std::make_unique<Node>();
            child->name = std::move(childName);
            child->kind = childKind;
            child->attributes = value;
            child->parent = this;
            child->inode = reinterpret_cast<std::uintptr_t>(child.get());
            children.push_back(std::move(child));
            return *children.back();
        }
        Node& Folder(std::string childName) {
            return Add(std::move(childName), ports::EntryKind::Folder, scan::attributes::kFolder);
        }
        Node& File(std::string childName) { return Add(std::move(childName), ports::EntryKind::Other, 0u); }
    };

    FakeDirectoryTree() { root_.inode = 1; }
    Node& Root() { return root_; }

    // Paths of the folders opened, in order.
    std::vector<std::string> opened;
    int openFolders = 0;
    int mostOpenFolders = 0;

    std::unique_ptr<ports::Directory> OpenFolder(const std::string& path) override {
        Node* node = &root_;
        std::string rest = path;
        while (!rest.empty()) {
            const std::size_t slash = rest.find('/');
            const std::string part = rest.substr(0, slash);
            rest = slash == std::string::npos ? "" : rest.substr(slash + 1);
            if (part.empty()) continue;
            node = Child(*node, part);
            if (!node || node->kind != ports::EntryKind::Folder) return nullptr;
        }
        return Open(*node);
    }

private:
    static Node* Child(Node& node, std::string_view name) {
        for (auto& child : node.children) {
            if (child->name == name) return child.get();
        }
        return nullptr;
    }

    class FakeDirectory final : public ports::Directory {
    public:
        FakeDirectory(FakeDirectoryTree& tree, Node& node) : tree_(tree), node_(node) {
            tree_.mostOpenFolders = std::max(tree_.mostOpenFolders, ++tree_.openFolders);
        }
        ~FakeDirectory() override { --tree_.openFolders; }
        bool List(ports::DirectoryListing& out) override {
            for (const auto& child : node_.children) {
                if (!child->name.starts_with('.')) out.Add(child->name, child->kind);
            }
            return true;
        }
        std::optional<std::uint32_t> Attributes(std::string_view name) override {
            Node* child = Child(node_, name);
            return child ? child->attributes : std::nullopt;
        }
        std::unique_ptr<ports::Directory> OpenSubfolder(std::string_view name) override {
            Node* child = Child(node_, name);
            if (!child || child->kind == ports::EntryKind::SymbolicLink || child->kind == ports::EntryKind::Other) {
                return nullptr;
            }
            return tree_.Open(*child);
        }
        std::unique_ptr<ports::Directory> OpenParent() override {
            return node_.parent ? tree_.Open(*node_.parent) : nullptr;
        }
        [[nodiscard]] ports::FolderIdentity Identity() const override { return {1, node_.inode}; }

    private:
        FakeDirectoryTree& tree_;
        Node& node_;
    };

    std::unique_ptr<ports::Directory> Open(Node& node) {
        if (!node.opens) return nullptr;
        std::string path;
        for (const Node* n = &node; n->parent; n = n->parent) path = "/" + n->name + path;
        opened.push_back(path.empty() ? "/" : path);
        return std::make_unique<FakeDirectory>(*this, node);
    }

    Node root_;
};

}  // namespace quellstone::testing
