#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/i18n/DocumentOpeners.h"
#include "core/i18n/LanguageTable.h"
#include "core/ports/Dialogs.h"
#include "core/ports/FileStore.h"
#include "core/ports/Shell.h"
#include "core/quarantine/QuarantineManager.h"
#include "core/scan/ScanPlan.h"
#include "core/scan/ScanState.h"
#include "core/scan/SignatureDatabase.h"
#include "core/scan/SignatureIndex.h"
#include "core/settings/ProgramPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/update/DatabaseFacts.h"
#include "core/update/DatabaseUpdate.h"
#include "core/windows/Captions.h"
#include "core/windows/ExcludedFoldersModel.h"
#include "core/windows/MainControls.h"
#include "core/windows/TimerState.h"
#include "core/windows/WindowGeometry.h"

namespace quellstone::windows {

// The main window: its captions, status values, frames, navigation hover,
// language selector and start-up timer as data, and one method per event. It never
// touches a widget, the disk or the network itself.
class MainWindowModel {
public:
    // What the window must do after a handler that the model cannot do itself.
    enum class Action { None, Quit, ShowUpdateWindow, ShowAbout, StartScan, UpdateDatabase };

    struct Ports {
        settings::SettingsStore& store;
        ports::Dialogs& dialogs;
        ports::Shell& shell;
        ports::FileStore& files;
        i18n::DocumentOpeners& openers;
        quarantine::QuarantineManager* quarantine = nullptr;
    };
    struct Hooks {
        std::function<void()> rebuildQuarantineList;  // the frame is shown, or its list changed
        std::function<void()> loadSilentUpdate;       // the start-up timer's tick
        std::function<void()> closeSplash;            // the start-up timer's tick
    };

    // What the window reads of the run's shared state: the interface texts,
    // the walk's state and the signature database whose file it names.
    struct Shared {
        const i18n::LanguageTable& texts;
        const scan::ScanState& scan;
        scan::SignatureDatabase& signatures;
    };

    MainWindowModel(Shared shared, settings::ProgramPaths paths, Ports ports, Hooks hooks);

    void Load();

    [[nodiscard]] const std::string& Caption(MainControl control) const { return captions_[control]; }
    [[nodiscard]] const std::string& ScanFolder() const { return scanFolder_; }

    // Frames: the current one is the one shown.
    [[nodiscard]] Frame CurrentFrame() const { return currentFrame_; }
    [[nodiscard]] bool FrameVisible(Frame frame) const { return frame == currentFrame_; }
    void SetCurrentFrame(Frame frame);

    // Hover effect of the navigation links: the hovered link is highlighted
    // and underlined until the pointer reaches another navigation link or the
    // window's bare surface (the other links of the window leave it alone).
    void HoverLink(NavigationLink link);
    void HoverSurface();  // the bare window surface, the navigation column and the banner
    [[nodiscard]] bool HighlightVisible(NavigationLink link) const { return highlighted_[Index(link)]; }
    [[nodiscard]] bool Underlined(NavigationLink link) const { return highlighted_[Index(link)]; }

    // Language selector of the settings frame.
    [[nodiscard]] const std::vector<std::string>& LanguageItems() const { return languageItems_; }
    [[nodiscard]] const std::string& LanguageChoice() const { return languageChoice_; }
    void SetLanguageChoice(std::string text) { languageChoice_ = std::move(text); }
    void SaveLanguageClicked();
    // The settings frame's quarantine switch: whether removal keeps a copy first.
    [[nodiscard]] bool KeepCopies() const { return keepCopies_; }
    void KeepCopiesToggled(bool keep);
    // The settings frame's list of folders that scans leave out.
    [[nodiscard]] ExcludedFoldersModel& ExcludedFolders() { return excludedFolders_; }
    [[nodiscard]] const ExcludedFoldersModel& ExcludedFolders() const { return excludedFolders_; }

    // The window's place and size: the stored one as the window may take it
    // on `screen` (nullopt: the window keeps its default), and the one it has
    // when the program closes, stored for the next start.
    [[nodiscard]] std::optional<WindowRect> StoredPlace(const WindowRect& screen, int minimumWidth,
                                                        int minimumHeight) const;
    void WindowPlaceAtClose(const WindowRect& rect);
    // The stored place as it was written, to find the screen it was on; nullopt without one.
    [[nodiscard]] std::optional<WindowRect> StoredRect() const;

    // Clicks and menu items.
    Action LinkClicked(NavigationLink link);
    Action MenuChosen(MenuItem item);
    Action UpdateLinkClicked();  // the update link and its picture
    // The window's own close button ends the program, as "Zamknij" does.
    [[nodiscard]] static Action WindowClosed() { return Action::Quit; }
    void FileListLinkClicked();
    // The database update link and menu item: the information frame comes
    // forward, where the update shows its progress and result.
    Action DatabaseUpdateClicked();
    void AdMonitorClicked();
    void AboutLinkClicked(AboutLink link);

    // Scan frame: the mode, the folder box with its browse button (for the
    // chosen-folder mode), the check boxes. Of these only "include hidden
    // entries" does something: it is stored as it is toggled, and scans read it.
    [[nodiscard]] scan::ScanMode ScanMode() const { return scanMode_; }
    [[nodiscard]] const std::string& SelectedFolder() const { return selectedFolder_; }
    std::string& SelectedFolderForScan() { return selectedFolder_; }
    [[nodiscard]] bool BrowseEnabled() const { return scanMode_ == scan::ScanMode::ChosenFolder; }
    [[nodiscard]] bool Checked(ScanOption option) const { return checks_[static_cast<std::size_t>(option)]; }
    void ModeClicked(scan::ScanMode mode);
    void ScanFolderEdited(std::string text);
    void BrowseClicked();
    void CheckToggled(ScanOption option, bool checked);
    // The start button: StartScan, unless a scan runs already.
    Action StartScanClicked();
    void ShowTotalScans(std::int64_t count) { SetCaption(MainControl::TotalStatus, std::to_string(count)); }
    // The stored date of the last whole-computer scan in the language's form,
    // or the language's "never" while none is stored.
    void ShowLastSystemScan();
    // The statistics as stored and the number of archives in the quarantine
    // folder now, read afresh (at the start and whenever the information frame
    // is shown): another program may have changed them.
    void ShowStatistics();
    // A local date or date and time as the program stores them ("YYYY-MM-DD",
    // "YYYY-MM-DD HH:MM:SS") in the language's form; anything else as it is.
    [[nodiscard]] std::string TimeAsShown(std::string_view stored) const;
    // The result files of the user's last scheduled scan and of the system's
    // last scan of the whole computer, read afresh (at the start and whenever
    // the information frame is shown).
    void ShowLastScheduledScan();

    // Quarantine frame: the list (rebuilt when the frame is shown, after
    // every change, and when the folder changes while it is shown), and the
    // delete and restore links over the selected rows (indices into
    // QuarantineRows(), in any order).
    [[nodiscard]] const std::vector<quarantine::QuarantineRow>& QuarantineRows() const;
    [[nodiscard]] std::string QuarantineFolder() const { return paths_.QuarantineFolder(); }
    // Lists the quarantine folder anew and has the window show it.
    void ReloadQuarantine();
    // Something changed in the quarantine folder (this program or another one
    // archived, deleted or restored a file): the count follows, and the list
    // while its frame is shown.
    void QuarantineFolderChanged();
    // One question for all the rows (default No); only "Yes" deletes. The
    // archives still there afterwards are named in a message.
    void QuarantineDeleteClicked(const std::vector<std::size_t>& selected);
    // One row: the save dialog, starting at the original path. Several: one
    // question, then a folder, into which each is restored under its original
    // name. Then a message says where they went, and which failed and why.
    void QuarantineRestoreClicked(const std::vector<std::size_t>& selected);

    // The reset button: the shown and stored statistics back to their start.
    void ResetStatisticsClicked();

    // What the removal pass changes here.
    void ShowRemovedTotal(std::int64_t total) { SetCaption(MainControl::RemovedStatus, std::to_string(total)); }

    // The start-up timer: enabled at the hand-over, it fires once a second
    // later, closes the start-up window and loads the silent update check.
    [[nodiscard]] const TimerState& StartupTimer() const { return startupTimer_; }
    void EnableStartupTimer() { startupTimer_.enabled = true; }
    void StartupTick();
    [[nodiscard]] ModelTimers Timers();

    // The database lines: whether the database in use can be used (a text
    // naming the file and what is wrong when it cannot), and its version,
    // entry count and date; returns what is wrong with it.
    update::DatabaseProblem ShowDatabaseFacts();
    [[nodiscard]] bool DatabaseUsable() const { return databaseUsable_; }
    // Before a scan: the index of the database in use, for the scan to look
    // names up in; null when it does not load, and then the database lines
    // say why and a message says the scan cannot start.
    std::shared_ptr<const scan::SignatureIndex> DatabaseReadyForScan();
    // A database update: refused while a scan runs, busy while it runs, then
    // its result in the information frame and in a message.
    void RefuseDatabaseUpdateDuringScan();
    void ShowDatabaseUpdating();
    void ShowDatabaseUpdateResult(const update::DatabaseUpdateResult& result);

    // The status values the other windows change.
    void SetCaption(MainControl control, std::string text) { captions_.Set(control, std::move(text)); }

private:
    static std::size_t Index(NavigationLink link) { return static_cast<std::size_t>(link); }
    void RememberScanFolder(const std::string& folder);
    void ShowQuarantineCount();
    // The archive names of the selected rows, each once, in list order.
    [[nodiscard]] std::vector<std::string> SelectedArchives(const std::vector<std::size_t>& selected) const;
    void RestoreOne(std::size_t row);
    void RestoreSeveral(const std::vector<std::string>& archives);

    Shared shared_;
    settings::ProgramPaths paths_;
    Ports ports_;
    Hooks hooks_;

    Captions<MainControl> captions_;
    std::string scanFolder_;
    scan::ScanMode scanMode_ = scan::ScanMode::WholeComputer;
    std::string selectedFolder_;
    std::array<bool, kScanOptionCount> checks_{true, true, false, true, false};
    Frame currentFrame_ = Frame::Information;
    std::array<bool, kNavigationLinkCount> highlighted_{};
    std::vector<std::string> languageItems_;
    std::string languageChoice_;
    bool keepCopies_ = true;
    bool databaseUsable_ = false;
    ExcludedFoldersModel excludedFolders_;
    TimerState startupTimer_{1000, false};
};

}  // namespace quellstone::windows
