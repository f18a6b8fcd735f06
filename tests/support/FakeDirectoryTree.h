#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/DirectoryTree.h"

namespace quellstone::testing {

// A folder tree in memory. Entries keep the order they were added in, which
// is their listing order; listings give every name, hidden ones too. What the
// listing says an entry is can differ from its status (a listing that cannot
// tell, an entry replaced in between); a status can be made unreadable and a
// folder unopenable. Every entry is on device 1 unless its status names
// another (a mount point). Its folders may be used from several threads; a
// test that changes the tree while threads list it holds `mutex`.
class FakeDirectoryTree final : public ports::DirectoryTree {
public:
    struct Node {
        std::string name;
        ports::EntryKind listed = ports::EntryKind::Other;
        std::optional<ports::EntryStatus> status;
        bool opens = true;
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        std::uint64_t device = 1;  // of the folder once opened: another than its status says when mounted over
        std::uint64_t inode = 0;
        std::int64_t changes = 0;  // raised by every entry added or removed: the folder's stamp
        bool settled = true;       // whether its stamp is settled (see ports::FolderStamp)
        bool listsWhole = true;    // false: every listing is reported as cut short (it still gives every entry)

        [[nodiscard]] std::uint64_t Device() const { return device; }

        // An entry listed as `listedKind` whose status reads as `childStatus` (nullopt: unreadable).
        Node& AddListed(std::string childName, ports::EntryKind listedKind,
                        std::optional<ports::EntryStatus> childStatus) {
            auto child = std::make_unique<Node>();
            child->name = std::move(childName);
            child->listed = listedKind;
            child->status = childStatus;
            child->parent = this;
            child->device = childStatus ? childStatus->device : device;
            child->inode = reinterpret_cast<std::uintptr_t>(child.get());
            if (child->status) child->status->inode = child->inode;
            children.push_back(std::move(child));
            ++changes;
            return *children.back();
        }
        void Remove(std::string_view childName) {
            std::erase_if(children, [&](const auto& child) { return child->name == childName; });
            ++changes;
        }
        // An entry listed as what it is, on this folder's device.
        Node& Add(std::string childName, ports::EntryKind kind, std::uint32_t mode = 0755) {
            return AddListed(std::move(childName), kind, ports::EntryStatus{kind, Device(), mode});
        }
        Node& Folder(std::string childName) { return Add(std::move(childName), ports::EntryKind::Folder); }
        Node& File(std::string childName) { return Add(std::move(childName), ports::EntryKind::RegularFile, 0644u); }
    };

    FakeDirectoryTree() {
        root_.inode = 1;
        root_.status = ports::EntryStatus{ports::EntryKind::Folder, 1, 0755, 1};
    }
    Node& Root() { return root_; }

    // Paths of the folders opened, in order.
    std::vector<std::string> opened;
    // Names whose status was read, in order.
    std::vector<std::string> statusReads;
    // Paths of the folders listed, in order (a folder listed again appears again).
    std::vector<std::string> listed;
    // Whether CanonicalPath answers (with the path as given: the fake has no links).
    bool knowsCanonicalPaths = false;
    int openFolders = 0;
    int mostOpenFolders = 0;
    std::recursive_mutex mutex;
    // Runs as a folder is listed (on the listing thread, `mutex` held), to act at that step of a walk.
    std::function<void(const std::string&)> onList;

    // Blocks until the folder at `path` has been listed `times` times in all.
    void WaitUntilListed(const std::string& path, int times = 1) {
        std::unique_lock<std::recursive_mutex> lock(mutex);
        listedChanged_.wait(lock, [&] { return std::ranges::count(listed, path) >= times; });
    }

    std::unique_ptr<ports::Directory> OpenFolder(const std::string& path) override {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        Node* node = &root_;
        std::string rest = path;
        while (!rest.empty()) {
            const std::size_t slash = rest.find('/');
            const std::string part = rest.substr(0, slash);
            rest = slash == std::string::npos ? "" : rest.substr(slash + 1);
            if (part.empty()) continue;
            node = Child(*node, part);
            if (!node || !IsFolder(*node)) return nullptr;
        }
        return Open(*node);
    }

    ports::PathFound Look(const std::string& path) override {
        const std::lock_guard<std::recursive_mutex> lock(mutex);
        Node* node = &root_;
        for (std::size_t start = 0; node && start < path.size();) {
            const std::size_t end = std::min(path.find('/', start), path.size());
            if (end > start) node = Child(*node, path.substr(start, end - start));
            start = end + 1;
        }
        using Kind = ports::PathFound::Kind;
        if (!node) return {Kind::Missing, "No such file or directory"};
        return {IsFolder(*node) ? Kind::Folder : Kind::Other, {}};
    }

    std::optional<std::string> CurrentFolder() override { return "/current"; }

    std::optional<std::string> CanonicalPath(const std::string& path) override {
        if (!knowsCanonicalPaths) return std::nullopt;
        return path.empty() ? "/" : path;
    }

private:
    static Node* Child(Node& node, std::string_view name) {
        for (auto& child : node.children) {
            if (child->name == name) return child.get();
        }
        return nullptr;
    }
    static bool IsFolder(const Node& node) { return node.status && node.status->kind == ports::EntryKind::Folder; }

    class FakeDirectory final : public ports::Directory {
    public:
        FakeDirectory(FakeDirectoryTree& tree, Node& node) : tree_(tree), node_(node) {
            tree_.mostOpenFolders = std::max(tree_.mostOpenFolders, ++tree_.openFolders);
        }
        ~FakeDirectory() override {
            const std::lock_guard<std::recursive_mutex> lock(tree_.mutex);
            --tree_.openFolders;
        }
        bool List(ports::DirectoryListing& out) override {
            const std::lock_guard<std::recursive_mutex> lock(tree_.mutex);
            tree_.listed.push_back(tree_.PathOf(node_));
            tree_.listedChanged_.notify_all();
            if (tree_.onList) tree_.onList(tree_.listed.back());
            out.Add(".", ports::EntryKind::Folder);
            out.Add("..", ports::EntryKind::Folder);
            for (const auto& child : node_.children) out.Add(child->name, child->listed);
            return node_.listsWhole;
        }
        std::optional<ports::EntryStatus> Status(std::string_view name) override {
            const std::lock_guard<std::recursive_mutex> lock(tree_.mutex);
            tree_.statusReads.emplace_back(name);
            if (name == ".") return ports::EntryStatus{ports::EntryKind::Folder, node_.Device(), 0755, node_.inode};
            if (name == "..") {
                const Node& up = node_.parent ? *node_.parent : node_;
                return ports::EntryStatus{ports::EntryKind::Folder, up.Device(), 0755, up.inode};
            }
            Node* child = Child(node_, name);
            return child ? child->status : std::nullopt;
        }
        // Like opening without following a link: only a folder opens.
        std::unique_ptr<ports::Directory> OpenSubfolder(std::string_view name) override {
            const std::lock_guard<std::recursive_mutex> lock(tree_.mutex);
            Node* child = Child(node_, name);
            return child && IsFolder(*child) ? tree_.Open(*child) : nullptr;
        }
        std::unique_ptr<ports::Directory> OpenParent() override {
            const std::lock_guard<std::recursive_mutex> lock(tree_.mutex);
            return node_.parent ? tree_.Open(*node_.parent) : nullptr;
        }
        [[nodiscard]] ports::FolderStamp OpenedStamp() const override { return opened_; }
        std::optional<ports::FolderStamp> CurrentStamp() override {
            const std::lock_guard<std::recursive_mutex> lock(tree_.mutex);
            return Stamp();
        }
        [[nodiscard]] ports::FolderIdentity Identity() const override { return {node_.Device(), node_.inode}; }

    private:
        [[nodiscard]] ports::FolderStamp Stamp() const { return {node_.changes, node_.changes, node_.settled}; }

        FakeDirectoryTree& tree_;
        Node& node_;
        ports::FolderStamp opened_ = Stamp();
    };

    static std::string PathOf(const Node& node) {
        std::string path;
        for (const Node* n = &node; n->parent; n = n->parent) path = "/" + n->name + path;
        return path.empty() ? "/" : path;
    }

    std::unique_ptr<ports::Directory> Open(Node& node) {
        if (!node.opens) return nullptr;
        opened.push_back(PathOf(node));
        return std::make_unique<FakeDirectory>(*this, node);
    }

    Node root_;
    std::condition_variable_any listedChanged_;
};

}  // namespace quellstone::testing
