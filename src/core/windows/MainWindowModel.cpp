#include "core/windows/MainWindowModel.h"

#include "core/update/Version.h"
#include "core/i18n/LanguageFile.h"
#include "core/settings/Statistics.h"

namespace quellstone::windows {

namespace {

using C = MainControl;

// Which interface text each control shows.
struct CaptionEntry {
    MainControl control;
    int entry;
};
constexpr CaptionEntry kCaptionEntries[] = {
    {C::MenuProgram, 199},
    {C::MenuStatistics, 200},
    {C::MenuClose, 201},
    {C::MenuPanels, 202},
    {C::MenuInformation, 203},
    {C::MenuScan, 204},
    {C::MenuQuarantine, 205},
    {C::MenuSettings, 206},
    {C::MenuHelp, 207},
    {C::MenuReadme, 210},
    {C::MenuLicense, 211},
    {C::MenuUpdate, 212},
    {C::MenuWebsite, 213},
    {C::MenuAbout, 214},
    {C::LinkInformation, 203},
    {C::LinkScan, 204},
    {C::LinkQuarantine, 205},
    {C::LinkSettings, 206},
    {C::LinkHelp, 207},
    {C::LinkClose, 201},
    {C::GoLabel, 135},
    {C::UpdateLink, 212},
    {C::StatusTitle, 203},
    {C::AdMonitorCaption, 218},
    {C::AdMonitorStatus, 224},
    {C::LastScanCaption, 219},
    {C::LastScanStatus, 225},
    {C::RemovedCaption, 220},
    {C::TotalCaption, 221},
    {C::IgnoredCaption, 222},
    {C::QuarantinedCaption, 223},
    {C::DatabaseLoaded, 216},
    {C::DatabaseVersionCaption, 217},
    {C::FileListLink, 226},
    {C::ResetStatistics, 227},
    {C::ScanTitle, 215},
    {C::ScanHint, 228},
    {C::ScanModes, 229},
    {C::ModeWholeComputer, 230},
    {C::ModeChosenFolder, 231},
    {C::ModeQuickScan, 232},
    {C::CheckAdware, 233},
    {C::CheckLessDangerous, 234},
    {C::CheckHighPriority, 235},
    {C::StartScan, 236},
    {C::QuarantineTitle, 205},
    {C::QuarantineRestore, 237},
    {C::QuarantineDelete, 238},
    {C::QuarantineColumnName, 241},
    {C::QuarantineColumnDetection, 242},
    {C::QuarantineColumnSize, 243},
    {C::SettingsTitle, 206},
    {C::LanguageCaption, 239},
    {C::SaveLanguage, 240},
};

// The one-line product notice in the window's banner.
constexpr int kProductNoticeEntry = 258;

}  // namespace

MainWindowModel::MainWindowModel(Shared shared, settings::ProgramPaths paths, Ports ports, Hooks hooks)
    : shared_(shared), paths_(std::move(paths)), ports_(ports), hooks_(std::move(hooks)) {}

void MainWindowModel::ApplyCaptions() {
    for (const CaptionEntry& item : kCaptionEntries) SetCaption(item.control, shared_.texts.Text(item.entry));
}

void MainWindowModel::Load() {
    using namespace settings;
    languageItems_ = {"English", "Polish", "Deutsch"};
    languageChoice_ = ports_.store.Read(kSettingsSection, i18n::kLanguageSetting, "");

    SetCaption(C::VersionLine, shared_.texts.Text(119) + " " + update::VersionText(update::BuildVersion()));
    scanFolder_ = paths_.WinDir(false);
    // The whole folder chain, so that quarantine works on a fresh account;
    // a failure shows when something is archived.
    [[maybe_unused]] const bool created = CreateQuarantineFolder(ports_.files, paths_);
    currentFrame_ = kFrameInformation;
    shared_.signatures.Accessor().SetPath(paths_.SignatureDatabase());

    ApplyCaptions();
    SetCaption(C::ProductNotice, shared_.texts.Text(kProductNoticeEntry));
    SetCaption(C::DatabaseVersion, std::string(kDatabaseVersion));
    SetCaption(C::IgnoredStatus, "0");
    SetCaption(C::QuarantinedStatus, "0");
    adMonitorRed_ = true;

    SetCaption(C::LastScanStatus, ports_.store.Read(kStatusSection, kLastSystemScan, kLastSystemScanDefault));
    SetCaption(C::RemovedStatus, ports_.store.Read(kStatusSection, kTotalObjectsRemoved, kCountDefault));
    SetCaption(C::TotalStatus, ports_.store.Read(kStatusSection, kTotalScans, kCountDefault));
}

bool MainWindowModel::FrameVisible(int index) const {
    return index >= 0 && index < static_cast<int>(frameVisible_.size()) &&
           frameVisible_[static_cast<std::size_t>(index)];
}

void MainWindowModel::SetCurrentFrame(int index) {
    if (index == currentFrame_) return;
    if (index < 0 || index >= static_cast<int>(frameVisible_.size()) || index == 3) return;  // no such frame
    frameVisible_[static_cast<std::size_t>(index)] = true;
    frameVisible_[static_cast<std::size_t>(currentFrame_)] = false;
    if (index == kFrameQuarantine) {
        if (ports_.quarantine) ports_.quarantine->Rebuild();
        if (hooks_.rebuildQuarantineList) hooks_.rebuildQuarantineList();
    }
    currentFrame_ = index;
}

void MainWindowModel::HoverLink(NavigationLink link) {
    handPointer_ = true;
    highlighted_.fill(false);
    highlighted_[Index(link)] = true;
}

void MainWindowModel::HoverSurface() {
    highlighted_.fill(false);
}

void MainWindowModel::HoverPointerOnly() {
    handPointer_ = true;
}

void MainWindowModel::SaveLanguageClicked() {
    ports_.dialogs.ShowMessage(shared_.texts.Text(251), ports::MessageIcon::Information,
                               ports::MessageButtons::Ok);
    ports_.store.Write(settings::kSettingsSection, i18n::kLanguageSetting, languageChoice_);
}

MainWindowModel::Action MainWindowModel::LinkClicked(NavigationLink link) {
    switch (link) {
        case NavigationLink::Information: SetCurrentFrame(kFrameInformation); break;
        case NavigationLink::Scan: SetCurrentFrame(kFrameScan); break;
        case NavigationLink::Quarantine: SetCurrentFrame(kFrameQuarantine); break;
        case NavigationLink::Settings: SetCurrentFrame(kFrameSettings); break;
        case NavigationLink::Help: i18n::OpenDocument(ports_.shell, ports_.openers.Addresses().polishHome); break;
        case NavigationLink::Close: return Action::Quit;
    }
    return Action::None;
}

MainWindowModel::Action MainWindowModel::MenuChosen(MenuItem item) {
    switch (item) {
        case MenuItem::Statistics: ports_.openers.OpenStatisticsPage(); break;
        case MenuItem::Close: return Action::Quit;
        case MenuItem::Information: SetCurrentFrame(kFrameInformation); break;
        case MenuItem::Scan: SetCurrentFrame(kFrameScan); break;
        case MenuItem::Quarantine: SetCurrentFrame(kFrameQuarantine); break;
        case MenuItem::Settings: SetCurrentFrame(kFrameSettings); break;
        case MenuItem::Readme: ports_.openers.OpenReadme(); break;
        case MenuItem::License: ports_.openers.OpenLicenseText(); break;
        case MenuItem::Update: return Action::ShowUpdateWindow;
        case MenuItem::Website: ports_.openers.OpenHomePage(); break;
        case MenuItem::About: return Action::ShowAbout;
    }
    return Action::None;
}

MainWindowModel::Action MainWindowModel::UpdateLinkClicked() {
    return Action::ShowUpdateWindow;
}

void MainWindowModel::FileListLinkClicked() {
    SetCurrentFrame(kFrameQuarantine);
}

void MainWindowModel::AdMonitorClicked() {
    SetCaption(C::AdMonitorStatus, shared_.texts.Text(253));
    SetCaption(C::AdMonitorStatus, shared_.texts.Text(254));
    adMonitorRed_ = true;
}

void MainWindowModel::AboutLinkClicked(int index) {
    switch (index) {
        case 0: ports_.openers.OpenHomePage(); break;
        case 1: ports_.openers.OpenSupportPage(); break;
        case 2: ports_.openers.OpenForum(); break;
        case 3: ports_.openers.OpenContactPage(); break;
        default: break;
    }
}

void MainWindowModel::ModeClicked(int index) {
    scanMode_ = index;
    if (index == 1) selectedFolder_ = scanFolder_;
}

void MainWindowModel::ScanFolderEdited(std::string text) {
    scanFolder_ = std::move(text);
    // A folder typed while the chosen-folder mode is selected is the folder to scan.
    if (scanMode_ == 1) selectedFolder_ = scanFolder_;
}

void MainWindowModel::BrowseClicked() {
    // Offered without a trailing "/" (the root stays "/").
    if (scanFolder_.size() > 1 && scanFolder_.ends_with('/')) scanFolder_.pop_back();
    const std::string chosen = ports_.dialogs.ChooseFolder(shared_.texts.Text(246), scanFolder_);
    if (!chosen.empty()) {
        scanFolder_ = chosen;
        selectedFolder_ = chosen;
    } else {
        scanFolder_ = paths_.WinDir(false);
    }
}

MainWindowModel::Action MainWindowModel::StartScanClicked() {
    // The main window stays usable during a scan; a second scan started from
    // inside the first would pull its window from under the running walk.
    if (shared_.scan.scanRunning || shared_.scan.launchRunning) return Action::None;
    return Action::StartScan;
}

const std::vector<quarantine::QuarantineRow>& MainWindowModel::QuarantineRows() const {
    static const std::vector<quarantine::QuarantineRow> kNone;
    return ports_.quarantine ? ports_.quarantine->Rows() : kNone;
}

void MainWindowModel::QuarantineDeleteClicked(std::optional<std::size_t> selected) {
    // A failure leaves the row and the archive as they are, without a message.
    if (ports_.quarantine) [[maybe_unused]]
        const bool deleted = ports_.quarantine->Delete(selected);
}

void MainWindowModel::QuarantineRestoreClicked(std::optional<std::size_t> selected) {
    if (ports_.quarantine) {
        [[maybe_unused]] const bool restored = ports_.quarantine->Restore(selected, shared_.texts.Text(237));
    }
}

void MainWindowModel::ResetStatisticsClicked() {
    using namespace settings;
    SetCaption(C::TotalStatus, "0");
    SetCaption(C::LastScanStatus, shared_.texts.Text(252));
    SetCaption(C::RemovedStatus, "0");
    SetCaption(C::QuarantinedStatus, "0");
    SetCaption(C::IgnoredStatus, "0");
    ResetStatistics(ports_.store);
}

void MainWindowModel::RaiseQuarantined() {
    SetCaption(C::QuarantinedStatus, std::to_string(settings::CountFromText(Caption(C::QuarantinedStatus)) + 1));
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
