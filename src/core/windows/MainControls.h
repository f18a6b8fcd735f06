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
    StartScan,
    // quarantine frame
    QuarantineTitle,
    QuarantineRestore,
    QuarantineDelete,
    QuarantineColumnName,
    QuarantineColumnDetection,
    QuarantineColumnSize,
    // settings frame
    SettingsTitle,
    LanguageCaption,
    SaveLanguage,
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
    Website,
    About
};

// Frame indexes: there is no frame 3.
inline constexpr int kFrameInformation = 0;
inline constexpr int kFrameScan = 1;
inline constexpr int kFrameSettings = 2;
inline constexpr int kFrameQuarantine = 4;

}  // namespace quellstone::windows
