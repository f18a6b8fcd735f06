#pragma once

namespace quellstone::windows {

// The main window's controls that show a text, named after their roles.
enum class MainControl {
    // menu bar
    MenuProgram,      // f1
    MenuStatistics,   // sprstats
    MenuClose,        // f1close
    MenuPanels,       // f2
    MenuInformation,  // inf1
    MenuScan,         // ska
    MenuQuarantine,   // kwa
    MenuSettings,     // ust
    MenuHelp,         // f3
    MenuReadme,       // redm
    MenuLicense,      // lic
    MenuUpdate,       // aktu
    MenuWebsite,      // strw
    MenuAbout,        // opro
    // navigation links
    LinkInformation,  // Label4
    LinkScan,         // Label6
    LinkQuarantine,   // Label12
    LinkSettings,     // Label14
    LinkHelp,         // Label15
    LinkClose,        // Label19
    // outside the frames
    GoLabel,      // Label22
    UpdateLink,   // Label21
    VersionLine,  // Label25
    ProductNotice,
    // information frame
    StatusTitle,             // lblStatusTitle
    AdMonitorCaption,        // Label1
    AdMonitorStatus,         // lblStatus_Admonitor
    LastScanCaption,         // Label3
    LastScanStatus,          // lblStatus_System
    RemovedCaption,          // Label5
    RemovedStatus,           // lblStatus_Removed
    TotalCaption,            // Label7
    TotalStatus,             // lblStatus_Total
    IgnoredCaption,          // Label9
    IgnoredStatus,           // lblStatus_Ignore
    QuarantinedCaption,      // Label11
    QuarantinedStatus,       // lblStatus_Quarintine
    DatabaseLoaded,          // lblInitiate
    DatabaseVersionCaption,  // Label10
    DatabaseVersion,         // Label20
    FileListLink,            // Label8
    ResetStatistics,         // Command4
    // scan frame
    ScanTitle,           // Label23
    ScanHint,            // Label2
    ScanModes,           // Frame1
    ModeWholeComputer,   // optScanMODE(0)
    ModeChosenFolder,    // optScanMODE(1)
    ModeQuickScan,       // optScanMODE(2)
    CheckAdware,         // Check1
    CheckLessDangerous,  // Check2
    CheckHighPriority,   // Check3
    StartScan,           // Command1
    // quarantine frame
    QuarantineTitle,            // Label13
    QuarantineRestore,          // Label18
    QuarantineDelete,           // Label17
    QuarantineColumnName,       // lvQuarintine header 1
    QuarantineColumnDetection,  // lvQuarintine header 2
    QuarantineColumnSize,       // lvQuarintine header 3
    // settings frame
    SettingsTitle,    // Label16
    LanguageCaption,  // Label27
    SaveLanguage,     // Command2
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
