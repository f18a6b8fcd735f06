#pragma once

namespace quellstone::windows {

// The main window's controls that show a text, named after their roles.
enum class MainControl {
    // menu bar
    MenuProgram,
    MenuStatistics,
    MenuClose,
    MenuPanels,
    MenuInformation,
    MenuScan,
    MenuQuarantine,
    MenuSettings,
    MenuHelp,
    MenuReadme,
    MenuLicense,
    MenuUpdate,
    MenuUpdateDatabase,
    MenuWebsite,
    MenuAbout,
    // navigation links
    LinkInformation,
    LinkScan,
    LinkQuarantine,
    LinkSettings,
    LinkHelp,
    LinkClose,
    // outside the frames
    GoLabel,
    UpdateLink,
    VersionLine,
    ProductNotice,
    // information frame
    StatusTitle,
    AdMonitorCaption,
    AdMonitorStatus,
    LastScanCaption,
    LastScanStatus,
    RemovedCaption,
    RemovedStatus,
    TotalCaption,
    TotalStatus,
    IgnoredCaption,
    IgnoredStatus,
    QuarantinedCaption,
    QuarantinedStatus,
    DatabaseLoaded,
    DatabaseVersionCaption,
    DatabaseVersion,
    DatabaseUpdateLink,
    DatabaseUpdateStatus,  // busy while an update runs, then its result
    FileListLink,
    ResetStatistics,
    // scan frame
    ScanTitle,
    ScanHint,
    ScanModes,
    ModeWholeComputer,
    ModeChosenFolder,
    ModeQuickScan,
    CheckAdware,
    CheckLessDangerous,
    CheckHighPriority,
    CheckHidden,
    StartScan,
    BrowseName,  // the browse button's accessible name (the button shows "...")
    // quarantine frame
    QuarantineTitle,
    QuarantineRestore,
    QuarantineDelete,
    QuarantineColumnName,
    QuarantineColumnDetection,
    QuarantineColumnSize,
    QuarantineColumnLocation,
    QuarantineColumnRemoved,
    // settings frame
    SettingsTitle,
    LanguageCaption,
    SaveLanguage,
    KeepCopiesCheck,
    CheckNetwork,
    ExcludedCaption,
    ExcludedAdd,
    ExcludedRemove,
    // information frame: the last scan the timer started
    ScheduledScanCaption,
    ScheduledScanStatus,
    // information frame: the last scan of the whole computer, by the system's timer; "" for none
    SystemScanCaption,
    SystemScanStatus,
    Count
};

// The six navigation links, in the order they stand in the window.
enum class NavigationLink { Information, Scan, Quarantine, Settings, Help, Close };
inline constexpr int kNavigationLinkCount = 6;

enum class MenuItem {
    Statistics,
    Close,
    Information,
    Scan,
    Quarantine,
    Settings,
    Readme,
    License,
    Update,
    UpdateDatabase,
    Website,
    About
};

// The frames of the main window's content area; one shows at a time.
enum class Frame { Information, Scan, Settings, Quarantine };
inline constexpr int kFrameCount = 4;

// The scan choices: the check boxes of the scan frame, and the settings
// frame's choice of network file systems.
enum class ScanOption { Adware, LessDangerous, HighPriority, IncludeHidden, IncludeNetwork };
inline constexpr int kScanOptionCount = 5;

// The About window's links, in the order they stand.
enum class AboutLink { HomePage, Support, Forum, Contact };

}  // namespace quellstone::windows
