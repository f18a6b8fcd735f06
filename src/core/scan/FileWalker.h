#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "core/ports/DirectoryTree.h"
#include "core/ports/EventPump.h"
#include "core/scan/ScanSink.h"
#include "core/scan/ScanState.h"
#include "core/scan/SignatureDatabase.h"
#include "core/scan/WalkOptions.h"

namespace quellstone::scan {

// "" becomes "/" (the root), then trailing "/" are dropped: "/" becomes "",
// "/opt/" becomes "/opt". The walk lists Path + "/".
void NormaliseScanPath(std::string& path);

// A pattern without a "." after its first character gets a "*" appended:
// "*.*" stays, "" becomes "*", "*" becomes "**", "abc" becomes "abc*",
// ".txt" becomes ".txt*".
void NormaliseScanPattern(std::string& pattern);

// How a walk ended: done, or ended early by a stop (the run flag cleared or
// the scan window closed).
enum class WalkEnd { Finished, Stopped };

// The recursive walk of a scan. Within each folder: first its subfolders are
// collected, then walked one by one (depth first, yielding to the event pump
// before each), then every entry of the folder that matches the pattern,
// files and folders alike, is looked up by its upper-cased name in the
// signature database. Hidden entries are left out unless the options ask for
// them, and so are excluded folders (WalkRules.h holds which entries are
// looked up and which are walked).
//
// A folder is listed once when it is entered; before its look-up pass, which
// comes after all its subfolders, it is listed again only if its times show
// it changed meanwhile (or cannot show it did not), so a long walk reports
// what each folder holds when its entries are looked up.
//
// A stop is read before every descent and before every look-up pass: once it
// is seen, nothing more is entered or looked up anywhere (a look-up pass that
// has begun finishes its folder).
//
// The walk never follows a symbolic link, never enters another file system,
// never opens a file, and reaches folders deeper than a path can name: it
// holds each open folder by handle and keeps at most `openFolderBudget` of
// them open, reopening an ancestor from its child when it returns to it.
class FileWalker {
public:
    static constexpr std::size_t kDefaultOpenFolderBudget = 200;

    FileWalker(ScanState& state, SignatureDatabase& signatures, ports::DirectoryTree& tree, ports::EventPump& pump,
               ScanSink& sink, std::size_t openFolderBudget = kDefaultOpenFolderBudget);

    // How the walks that follow treat hidden entries and which folders they
    // leave out; until set, hidden entries are left out and nothing else is.
    void SetOptions(WalkOptions options) { options_ = std::move(options); }
    // The index every walk that follows looks names up in, whatever happens
    // to the database file meanwhile; until set, each walk takes the
    // accessor's current one.
    void UseIndex(std::shared_ptr<const SignatureIndex> index) { index_ = std::move(index); }

    // Walks the tree at `path` with the database's shared accessor's file and
    // section. A call made while a walk runs only stops that walk. Normalises
    // `pattern` and `path` in place. Says whether a stop ended the walk (one
    // requested at any point of it, even during its last look-up pass), so
    // that a caller with more folders to walk starts none of them.
    WalkEnd ScanTree(std::string& pattern, std::string& path);

    // The walk itself, for a walk that ScanTree has started.
    void ScanFolder(std::string& pattern, std::string& path);

    // Looks up one entry by the name at the end of `fullPath`, as the walk
    // looks up each entry of a folder (for a single file named to a scan);
    // not when it lies in an excluded folder.
    void ScanEntry(std::string_view fullPath);

private:
    ScanState& state_;
    SignatureDatabase& signatures_;
    ports::DirectoryTree& tree_;
    ports::EventPump& pump_;
    ScanSink& sink_;
    std::size_t openFolderBudget_;
    WalkOptions options_;
    std::shared_ptr<const SignatureIndex> index_;

    [[nodiscard]] std::shared_ptr<const SignatureIndex> IndexForWalk();
};

}  // namespace quellstone::scan
