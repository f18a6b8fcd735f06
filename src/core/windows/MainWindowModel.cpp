#include "core/windows/MainWindowModel.h"

#include <algorithm>

#include "core/i18n/BuiltInEnglish.h"
#include "core/i18n/LanguageFile.h"
#include "core/settings/QuarantineCopies.h"
#include "core/settings/ScanExclusions.h"
#include "core/settings/Statistics.h"
#include "core/text/TimeText.h"
#include "core/update/Version.h"
#include "core/windows/ScheduledScanLine.h"

namespace quellstone::windows {

using T = i18n::TextId;

namespace {

using C = MainControl;

// Which interface text each control shows.
constexpr CaptionEntry<MainControl> kCaptionEntries[] = {
    {C::MenuProgram, T::MenuProgram},
    {C::MenuStatistics, T::MenuStatistics},
    {C::MenuClose, T::Exit},
    {C::MenuPanels, T::MenuView},
    {C::MenuInformation, T::MenuInformation},
    {C::MenuScan, T::MenuScan},
    {C::MenuQuarantine, T::MenuQuarantine},
    {C::MenuSettings, T::MenuSettings},
    {C::MenuHelp, T::Help},
    {C::MenuReadme, T::MenuReadme},
    {C::MenuLicense, T::MenuLicense},
    {C::MenuUpdate, T::CheckForUpdates},
    {C::MenuUpdateDatabase, T::UpdateDatabase},
    {C::MenuWebsite, T::MenuWebsite},
    {C::MenuAbout, T::MenuAbout},
    {C::LinkInformation, T::Information},
    {C::LinkScan, T::Scan},
    {C::LinkQuarantine, T::Quarantine},
    {C::LinkSettings, T::Settings},
    {C::LinkHelp, T::Help},
    {C::LinkClose, T::Exit},
    {C::GoLabel, T::GoLink},
    {C::UpdateLink, T::CheckForUpdates},
    {C::StatusTitle, T::Information},
    {C::AdMonitorCaption, T::AdMonitorCaption},
    {C::AdMonitorStatus, T::AdMonitorDisabled},
    {C::LastScanCaption, T::LastSystemScanCaption},
    {C::LastScanStatus, T::Never},
    {C::RemovedCaption, T::RemovedCaption},
    {C::TotalCaption, T::ScansStartedCaption},
    {C::IgnoredCaption, T::IgnoredCaption},
    {C::QuarantinedCaption, T::QuarantineCount},
    {C::DatabaseLoaded, T::DatabaseLoaded},
    {C::DatabaseVersionCaption, T::DatabaseVersionCaption},
    {C::DatabaseUpdateLink, T::UpdateDatabase},
    {C::FileListLink, T::FileListLink},
    {C::ResetStatistics, T::ResetStatistics},
    {C::ScanTitle, T::ScanFrameTitle},
    {C::ScanHint, T::ScanHint},
    {C::ScanModes, T::ScanModes},
    {C::ModeWholeComputer, T::ModeWholeComputer},
    {C::ModeChosenFolder, T::ModeChosenFolder},
    {C::ModeQuickScan, T::ModeQuickScan},
    {C::CheckAdware, T::CheckAdware},
    {C::CheckLessDangerous, T::CheckLessDangerous},
    {C::CheckHighPriority, T::CheckHighPriority},
    {C::CheckHidden, T::IncludeHiddenCheck},
    {C::StartScan, T::NextButton},
    {C::BrowseName, T::BrowseButtonName},
    {C::QuarantineTitle, T::Quarantine},
    {C::QuarantineRestore, T::Restore},
    {C::QuarantineDelete, T::Delete},
    {C::QuarantineColumnName, T::QuarantineColumnName},
    {C::QuarantineColumnDetection, T::QuarantineColumnDetection},
    {C::QuarantineColumnSize, T::QuarantineColumnSize},
    {C::QuarantineColumnLocation, T::QuarantineColumnLocation},
    {C::QuarantineColumnRemoved, T::QuarantineColumnRemoved},
    {C::SettingsTitle, T::Settings},
    {C::LanguageCaption, T::LanguageCaption},
    {C::SaveLanguage, T::SaveButton},
    {C::KeepCopiesCheck, T::KeepQuarantineCopies},
    {C::CheckNetwork, T::IncludeNetworkCheck},
    {C::ExcludedCaption, T::ExcludedFoldersCaption},
    {C::ExcludedAdd, T::AddExcludedFolder},
    {C::ExcludedRemove, T::RemoveExcludedFolder},
    {C::ScheduledScanCaption, T::LastScheduledScanCaption},
    {C::SystemScanCaption, T::LastSystemWideScanCaption},
};

// A remembered scan folder the folder box can show: an absolute path
// without control characters (anything else in the settings file was not
// written by the program).
bool UsableScanFolder(std::string_view folder) {
    if (!folder.starts_with('/')) return false;
    return std::ranges::none_of(folder, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

}  // namespace

MainWindowModel::MainWindowModel(Shared shared, settings::ProgramPaths paths, Ports ports, Hooks hooks)
    : shared_(shared),
      paths_(std::move(paths)),
      ports_(ports),
      hooks_(std::move(hooks)),
      excludedFolders_(shared.texts, ports.store, ports.dialogs, paths_.homeFolder) {}

void MainWindowModel::Load() {
    using namespace settings;
    languageItems_ = {"English", "Polish", "Deutsch"};
    languageChoice_ = ports_.store.Read(keys::kLanguage);

    SetCaption(C::VersionLine,
               shared_.texts.Text(T::VersionCaption) + " " + update::VersionText(update::BuildVersion()));
    const std::string remembered = ports_.store.Read(keys::kLastScanFolder);
    scanFolder_ = UsableScanFolder(remembered) ? remembered : paths_.SystemFolder();
    keepCopies_ = QuarantineCopiesOn(ports_.store);  // as the removal will read it
    checks_[static_cast<std::size_t>(windows::ScanOption::IncludeHidden)] = ScanHiddenOn(ports_.store);
    checks_[static_cast<std::size_t>(windows::ScanOption::IncludeNetwork)] = ScanNetworkOn(ports_.store);
    excludedFolders_.Load();
    // The whole folder chain, so that quarantine works on a fresh account;
    // a failure shows when something is archived.
    [[maybe_unused]] const bool created = CreateQuarantineFolder(ports_.files, paths_);
    currentFrame_ = Frame::Information;

    captions_.Apply(kCaptionEntries, shared_.texts);
    SetCaption(C::ProductNotice, shared_.texts.Text(T::ProductNotice));
    ShowDatabaseFacts();
    SetCaption(C::IgnoredStatus, "0");

    ShowStatistics();
    ShowLastScheduledScan();
}

void MainWindowModel::ShowStatistics() {
    using namespace settings;
    SetCaption(C::TotalStatus, ports_.store.Read(keys::kTotalScans));
    SetCaption(C::RemovedStatus, ports_.store.Read(keys::kTotalObjectsRemoved));
    ShowLastSystemScan();
    ShowQuarantineCount();
}

std::string MainWindowModel::TimeAsShown(std::string_view stored) const {
    return text::StoredTimeInLanguage(stored, text::FormatOf(shared_.texts.Language()));
}

void MainWindowModel::ShowLastSystemScan() {
    const settings::SettingKey& key = settings::keys::kLastSystemScan;
    std::string stored = ports_.store.Read(key.section, key.name, "");
    if (stored.empty()) stored = shared_.texts.Text(T::Never);
    // A language file without the entry: the built-in English one, as `stats` says it.
    if (stored.empty()) stored = i18n::BuiltInEnglishTexts().Text(T::Never);
    SetCaption(C::LastScanStatus, TimeAsShown(stored));
}

void MainWindowModel::ShowLastScheduledScan() {
    SetCaption(C::ScheduledScanStatus,
               ScheduledScanLine(scan::ReadScheduledScanResult(ports_.files, scan::ScheduledScanResultPath(paths_)),
                                 shared_.texts));
    // The system's scan only where an administrator runs one: "never" would
    // speak of a scan this user cannot start.
    const auto systemScan = scan::ReadScheduledScanResult(ports_.files, scan::SystemScanResultPath(paths_));
    SetCaption(C::SystemScanStatus, systemScan ? ScheduledScanLine(systemScan, shared_.texts) : std::string());
}

void MainWindowModel::SetCurrentFrame(Frame frame) {
    if (frame == currentFrame_) return;
    if (frame == Frame::Quarantine) ReloadQuarantine();
    if (frame == Frame::Information) {
        ShowStatistics();
        ShowLastScheduledScan();
    }
    currentFrame_ = frame;
}

void MainWindowModel::CheckToggled(ScanOption option, bool checked) {
    checks_[static_cast<std::size_t>(option)] = checked;
    const bool hidden = option == ScanOption::IncludeHidden;
    if (!hidden && option != ScanOption::IncludeNetwork) return;  // the other boxes are not stored
    const bool stored =
        hidden ? settings::StoreScanHidden(ports_.store, checked) : settings::StoreScanNetwork(ports_.store, checked);
    if (stored) return;
    // The next scan reads the stored choice: show that one, not the one that was lost.
    checks_[static_cast<std::size_t>(option)] =
        hidden ? settings::ScanHiddenOn(ports_.store) : settings::ScanNetworkOn(ports_.store);
    ports_.dialogs.ShowMessage(shared_.texts.Text(T::ScanChoiceNotSaved), ports::MessageIcon::Warning,
                               ports::MessageButtons::Ok);
}

void MainWindowModel::KeepCopiesToggled(bool keep) {
    keepCopies_ = keep;
    if (ports_.store.Write(settings::keys::kQuarantineCopies, keep ? "1" : "0")) return;
    // Removal reads the stored switch: show that one, not the one that was lost.
    keepCopies_ = QuarantineCopiesOn(ports_.store);
    ports_.dialogs.ShowMessage(shared_.texts.Text(T::ScanChoiceNotSaved), ports::MessageIcon::Warning,
                               ports::MessageButtons::Ok);
}

std::optional<WindowRect> MainWindowModel::StoredPlace(const WindowRect& screen, int minimumWidth,
                                                       int minimumHeight) const {
    return PlaceOnScreen(ports_.store.Read(settings::keys::kWindowGeometry), screen, minimumWidth, minimumHeight);
}

std::optional<WindowRect> MainWindowModel::StoredRect() const {
    return ParseWindowRect(ports_.store.Read(settings::keys::kWindowGeometry));
}

void MainWindowModel::WindowPlaceAtClose(const WindowRect& rect) {
    ports_.store.Write(settings::keys::kWindowGeometry, WindowRectText(rect));
}

void MainWindowModel::RememberScanFolder(const std::string& folder) {
    if (UsableScanFolder(folder)) ports_.store.Write(settings::keys::kLastScanFolder, folder);
}

void MainWindowModel::HoverLink(NavigationLink link) {
    highlighted_.fill(false);
    highlighted_[Index(link)] = true;
}

void MainWindowModel::HoverSurface() {
    highlighted_.fill(false);
}

void MainWindowModel::SaveLanguageClicked() {
    ports_.dialogs.ShowMessage(shared_.texts.Text(T::LanguageSaved), ports::MessageIcon::Information,
                               ports::MessageButtons::Ok);
    ports_.store.Write(settings::keys::kLanguage, languageChoice_);
}

MainWindowModel::Action MainWindowModel::LinkClicked(NavigationLink link) {
    switch (link) {
        case NavigationLink::Information: SetCurrentFrame(Frame::Information); break;
        case NavigationLink::Scan: SetCurrentFrame(Frame::Scan); break;
        case NavigationLink::Quarantine: SetCurrentFrame(Frame::Quarantine); break;
        case NavigationLink::Settings: SetCurrentFrame(Frame::Settings); break;
        case NavigationLink::Help: i18n::OpenDocument(ports_.shell, ports_.openers.Addresses().polishHome); break;
        case NavigationLink::Close: return Action::Quit;
    }
    return Action::None;
}

MainWindowModel::Action MainWindowModel::MenuChosen(MenuItem item) {
    switch (item) {
        case MenuItem::Statistics: ports_.openers.OpenStatisticsPage(); break;
        case MenuItem::Close: return Action::Quit;
        case MenuItem::Information: SetCurrentFrame(Frame::Information); break;
        case MenuItem::Scan: SetCurrentFrame(Frame::Scan); break;
        case MenuItem::Quarantine: SetCurrentFrame(Frame::Quarantine); break;
        case MenuItem::Settings: SetCurrentFrame(Frame::Settings); break;
        case MenuItem::Readme: ports_.openers.OpenReadme(); break;
        case MenuItem::License: ports_.openers.OpenLicenseText(); break;
        case MenuItem::Update: return Action::ShowUpdateWindow;
        case MenuItem::UpdateDatabase: return DatabaseUpdateClicked();
        case MenuItem::Website: ports_.openers.OpenHomePage(); break;
        case MenuItem::About: return Action::ShowAbout;
    }
    return Action::None;
}

MainWindowModel::Action MainWindowModel::UpdateLinkClicked() {
    return Action::ShowUpdateWindow;
}

void MainWindowModel::FileListLinkClicked() {
    SetCurrentFrame(Frame::Quarantine);
}

void MainWindowModel::AdMonitorClicked() {
    SetCaption(C::AdMonitorStatus, shared_.texts.Text(T::AdMonitorStarting));
    SetCaption(C::AdMonitorStatus, shared_.texts.Text(T::AdMonitorUnavailable));
}

void MainWindowModel::AboutLinkClicked(AboutLink link) {
    switch (link) {
        case AboutLink::HomePage: ports_.openers.OpenHomePage(); break;
        case AboutLink::Support: ports_.openers.OpenSupportPage(); break;
        case AboutLink::Forum: ports_.openers.OpenForum(); break;
        case AboutLink::Contact: ports_.openers.OpenContactPage(); break;
    }
}

void MainWindowModel::ModeClicked(scan::ScanMode mode) {
    scanMode_ = mode;
    if (mode == scan::ScanMode::ChosenFolder) selectedFolder_ = scanFolder_;
}

void MainWindowModel::ScanFolderEdited(std::string text) {
    scanFolder_ = std::move(text);
    // A folder typed while the chosen-folder mode is selected is the folder to scan.
    if (scanMode_ == scan::ScanMode::ChosenFolder) selectedFolder_ = scanFolder_;
}

void MainWindowModel::BrowseClicked() {
    // Offered without a trailing "/" (the root stays "/").
    if (scanFolder_.size() > 1 && scanFolder_.ends_with('/')) scanFolder_.pop_back();
    const std::string chosen = ports_.dialogs.ChooseFolder(shared_.texts.Text(T::ChooseFolderTitle), scanFolder_);
    if (!chosen.empty()) {
        scanFolder_ = chosen;
        selectedFolder_ = chosen;
        RememberScanFolder(chosen);
    } else {
        scanFolder_ = paths_.SystemFolder();
    }
}

MainWindowModel::Action MainWindowModel::StartScanClicked() {
    // The main window stays usable during a scan; a second scan started from
    // inside the first would pull its window from under the running walk.
    if (shared_.scan.running) return Action::None;
    if (scanMode_ == scan::ScanMode::ChosenFolder) RememberScanFolder(selectedFolder_);
    return Action::StartScan;
}

void MainWindowModel::ResetStatisticsClicked() {
    using namespace settings;
    SetCaption(C::TotalStatus, "0");
    SetCaption(C::LastScanStatus, shared_.texts.Text(T::NoDate));
    SetCaption(C::RemovedStatus, "0");
    // The archives in quarantine are files, not a statistic: their count stays.
    SetCaption(C::IgnoredStatus, "0");
    ResetStatistics(ports_.store);
}

ModelTimers MainWindowModel::Timers() {
    return {{"main.silentCheckStart", startupTimer_, [this] { StartupTick(); }}};
}

void MainWindowModel::StartupTick() {
    if (hooks_.loadSilentUpdate) hooks_.loadSilentUpdate();
    if (hooks_.closeSplash) hooks_.closeSplash();
    startupTimer_.enabled = false;
}

}  // namespace quellstone::windows
