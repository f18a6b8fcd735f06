#pragma once

namespace quellstone::i18n {

// The numbers of the interface texts in the language files. The numbers are
// the files' format and never change; the names say where each text is shown.
enum class TextId : int {
    // start-up window
    StartingNotice = 100,
    AlreadyRunning = 101,
    // main window, outside the frames
    VersionCaption = 119,
    GoLink = 135,
    // update windows
    NewerVersionQuestion = 144,
    CheckingForUpdates = 145,
    NoNewerVersion = 146,
    CancelButton = 147,
    // scan window
    ScanWindowTitle = 177,
    ResultsTab = 178,
    ReportTab = 179,
    SummaryCaption = 180,
    DangerousProcessesCaption = 181,
    ScannedCaption = 182,
    IgnoredObjectsCaption = 183,
    OperationCaption = 184,
    OperationWait = 185,
    StatusCaption = 186,
    WaitNotice = 187,
    CurrentFileStart = 188,
    DangerousRegistryCaption = 189,
    DangerousObjectsCaption = 190,
    StopButton = 191,
    RemoveButton = 192,
    CloseButton = 193,
    RemovalFinished = 194,
    CloseWithResultsQuestion = 195,
    StopScanFirst = 196,
    ScanRunningOnClose = 197,
    ScanEndedMarker = 198,
    // main window menu and navigation
    MenuProgram = 199,
    MenuStatistics = 200,
    Exit = 201,
    MenuView = 202,
    Information = 203,
    Scan = 204,
    Quarantine = 205,
    Settings = 206,
    Help = 207,
    MenuReadme = 210,
    MenuLicense = 211,
    CheckForUpdates = 212,
    MenuWebsite = 213,
    MenuAbout = 214,
    // main window frames
    ScanFrameTitle = 215,
    DatabaseLoaded = 216,
    DatabaseVersionCaption = 217,
    AdMonitorCaption = 218,
    LastSystemScanCaption = 219,
    RemovedCaption = 220,
    ScansStartedCaption = 221,
    IgnoredCaption = 222,
    QuarantineCount = 223,
    AdMonitorDisabled = 224,
    Never = 225,
    FileListLink = 226,
    ResetStatistics = 227,
    ScanHint = 228,
    ScanModes = 229,
    ModeWholeComputer = 230,
    ModeChosenFolder = 231,
    ModeQuickScan = 232,
    CheckAdware = 233,
    CheckLessDangerous = 234,
    CheckHighPriority = 235,
    NextButton = 236,
    Restore = 237,
    Delete = 238,
    LanguageCaption = 239,
    SaveButton = 240,
    QuarantineColumnName = 241,
    QuarantineColumnDetection = 242,
    QuarantineColumnSize = 243,
    ResultColumnThreat = 244,
    ResultColumnPath = 245,
    ChooseFolderTitle = 246,
    // the scan's operation line and its end
    ScanningWholeComputer = 247,
    ScanningDrive = 248,
    ScanFinished = 249,
    ScanningSystemFolder = 250,
    LanguageSaved = 251,
    NoDate = 252,
    AdMonitorStarting = 253,
    AdMonitorUnavailable = 254,
    ScanningFolder = 255,
    ProductNotice = 258,
    // about window
    AboutTitle = 259,
    AboutHomePage = 260,
    AboutSupport = 261,
    AboutForum = 262,
    AboutContact = 263,
    AboutClose = 264,
    // scan report
    ReportTitle = 265,
    ReportStarted = 266,
    ReportFinished = 267,
    ReportDuration = 268,
    ReportFolders = 269,
    ReportScanned = 270,
    ReportDetections = 271,
    ReportNoDetections = 272,
    SaveReportButton = 273,
    SaveReportTitle = 274,
    ReportRunning = 275,
    ReportRemoved = 276,
    ReportNotRemoved = 277,
    ReportArchived = 278,
    FolderNotScanned = 279,
    ReportNotScanned = 280,
    ReportUnreadable = 281,
    // main window: settings, quarantine list, accessible names
    KeepQuarantineCopies = 282,
    DeleteForGoodQuestion = 283,
    QuarantineColumnLocation = 284,
    QuarantineColumnRemoved = 285,
    BrowseButtonName = 286,
    // scan window: closing, removal, progress
    StopAndCloseQuestion = 300,
    StopAndCloseChoice = 301,
    RemoveQuestionKeepCopies = 302,
    RemoveQuestionDelete = 303,
    RemovalDone = 304,
    RemovalKeptCount = 305,
    ResultColumnStatus = 306,
    StatusDetected = 307,
    StatusRemoved = 308,
    StatusKept = 309,
    ProblemFolder = 310,
    ProblemNoPermission = 311,
    ProblemCopyFailed = 312,
    ProblemGone = 313,
    ProblemChanged = 314,
    ElapsedCaption = 315,
    ScanStopped = 316,
    StoppedIn = 317,
    AlertScanFinished = 318,
    StatusNotRemoved = 319,
    // more reasons a file was not removed, beside 310 to 314
    ProblemSymbolicLink = 325,
    ProblemNotRegularFile = 326,
    ProblemNoSpace = 327,
    // update check results (%1, %2: versions or the reason)
    NewestVersion = 320,
    UpdateServerUnreachable = 321,
    UpdateVersions = 322,
    UpdateAnswerNotAVersion = 323,
    UpdateNoAnswer = 324,
    UpdateCheckFailed = 287,
    StatusAlreadyGone = 288,
    // scan choices: hidden entries, excluded folders (%1: the folder)
    IncludeHiddenCheck = 330,
    ExcludedFoldersCaption = 331,
    AddExcludedFolder = 332,
    RemoveExcludedFolder = 333,
    ChooseExcludedFolderTitle = 334,
    ReportExcluded = 335,
    ExcludedFolderRefused = 336,
    // the last scheduled scan on the information frame (%1: when it ended, %2: detections)
    // what a scan finds beside files (%1: the PID or the file, %2: the path or the line, %3: the program)
    ResultProcess = 400,
    ResultAutostart = 401,
    EndProcessQuestion = 402,
    ProblemSharedFile = 403,
    ProblemProcessRunning = 404,
    ProblemProcessNotEnded = 405,
    // the scan window's title once its walk has ended
    ScanWindowTitleFinished = 406,
    ScanWindowTitleStopped = 407,
    // a removed symbolic link's outcome (%1: the link's target text)
    StatusLinkRemoved = 410,
    StatusLinkKept = 411,
    // what a scan's choices left out, in its report
    ReportHiddenIncluded = 412,
    ReportHiddenLeftOut = 413,
    ReportExcludedFolders = 414,
    ReportCategoriesLeftOut = 415,  // %1: the categories, %2: the detections left out
    CategoryAdware = 416,
    CategoryLessDangerous = 417,
    ReportMoreFolders = 418,  // %1: how many more
    LastScheduledScanCaption = 350,
    ScheduledScanDetections = 351,
    ScheduledScanOneDetection = 352,
    ScheduledScanStopped = 353,
    // database updates (%1: a version or the reason) and the database line
    UpdateDatabase = 340,
    DatabaseUpdating = 341,
    DatabaseInstalled = 342,
    DatabaseAlreadyNewest = 343,
    DatabaseUpdateFailed = 344,
    DatabaseVersionEntriesAndDate = 345,  // %1 version, %2 entries, %3 date
    DatabaseEntriesAndDate = 346,         // %1 entries, %2 date
    DatabaseUpdateDuringScan = 347,
    DatabaseUnreadable = 348,
    // a downloaded database that failed its checks (%1 its path, %2 the database used; the reason in English)
    DownloadedDatabaseIgnored = 360,
    DownloadedDatabaseReason = 361,
    // the last scheduled scan failed (%1 when it ended)
    ScheduledScanFailed = 390,
    // a scan choice of the window (hidden entries, excluded folders) could not be stored
    ScanChoiceNotSaved = 391,
    // the chosen language's file could not be read, so the texts are English (%1 the file)
    LanguageFileUnreadable = 380,
    // file systems a whole-computer scan leaves out, and the choice to walk them
    ReportLeftOutFileSystems = 370,
    IncludeNetworkCheck = 371,
    // the signature database in use cannot be used (%1: its path)
    DatabaseMissing = 372,
    DatabaseCannotBeRead = 373,
    DatabaseWithoutSignatures = 374,
    ScanCannotStart = 375,  // %1: one of the three above
    ReportMountsUnknown = 376,
    // the quarantine frame's delete and restore of several archives, and what they did
    DeleteArchivesQuestion = 430,   // %1 how many
    RestoreArchivesQuestion = 431,  // %1 how many
    RestoreFolderTitle = 432,
    RestoredTo = 433,               // %1 the restored file
    RestoredIntoFolder = 434,       // %1 how many, %2 the folder
    NotRestored = 435,              // %1 one line per file: "NAME: why"
    NotDeleted = 436,               // %1 one archive name per line
    RestoreNoArchive = 437,         // why a restore failed: the archive is gone
    RestoreTargetTaken = 438,       // ... a file is in the way
    RestoreInsideQuarantine = 439,  // ... the target is in the quarantine folder
    RestoreCopyFailed = 440,        // ... the copy failed
    // why a download from the update server failed, beside 321 / 287 / 344
    DownloadCouldNotConnect = 450,
    DownloadTimedOut = 451,
    DownloadHostNotFound = 452,
    DownloadErrorStatus = 453,  // %1: the status code
    DownloadFailed = 454,
    FailureDetails = 455,  // %1: the transport's or the server's own words, in English
    // why a database update failed, beside 344 (%1 the version in use)
    DownloadedDatabaseNotValid = 456,
    DownloadedDatabaseSignatureInvalid = 457,
    DownloadedDatabaseTooLarge = 458,
    DownloadedDatabaseOlder = 459,
    UpdateServerMissing = 460,
    UpdateKeyMissing = 461,
    DatabaseNotSaved = 462,
    // no program could be started for a document or web page (%1: its path or address)
    NothingOpens = 465,
    // the View menu's items, each with its own accelerator
    MenuInformation = 480,
    MenuScan = 481,
    MenuQuarantine = 482,
    MenuSettings = 483,
    // file systems mounted inside the folders a scan walked, which it did not enter
    ReportFileSystemsNotEntered = 484,
    // the database line and where the database in use comes from (%1 the line, %2 the source)
    DatabaseAndSource = 485,
    DatabaseShipped = 486,
    DatabaseOfTheSystem = 487,
    DatabaseOfTheUser = 488,
    LastSystemWideScanCaption = 489,
};

}  // namespace quellstone::i18n
