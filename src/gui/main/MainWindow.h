#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <vector>

#include "core/i18n/LanguageTable.h"
#include "core/windows/MainWindowModel.h"
#include "gui/app/Ticker.h"
#include "gui/app/TimerBinding.h"
#include "gui/main/CaptionBindings.h"

class QStackedWidget;
class QTreeView;

namespace quellstone::gui {

class FolderWatch;
class MainFrame;
class NavigationColumn;
class QuarantineFrame;

// The main window: the menu bar, the navigation column, a banner and the
// frames, of which it shows the model's current one. It draws its model's
// state and forwards every user event to the model; it holds no rule of the
// program.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // What only the program as a whole can do for the window.
    struct Host {
        std::function<void()> showUpdateWindow;
        std::function<void()> updateDatabase;
        std::function<void()> startScan;
        std::function<void()> quit;
    };

    MainWindow(windows::MainWindowModel& model, const i18n::LanguageTable& texts, Host host,
               Tickers& tickers = QtTickers::Real());

    // Draws the model's current state.
    void Refresh();
    // Starts the start-up timer as the model has it (the hand-over enables it).
    void SyncTimers();

    [[nodiscard]] QTreeView* QuarantineList() const;
    // Fills the quarantine list from the model (when the frame is shown).
    void RefreshQuarantineList();
    // Brings the window to the front (a later start of the program asks for it).
    void BringToFront();
    // Stores the place and size for the next start (when the program ends).
    void StorePlace();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the main window ends the program, whatever else is open or running.
    void closeEvent(QCloseEvent* event) override;

private:
    void Execute(windows::MainWindowModel::Action action);
    void BuildMenus();
    QWidget* BuildBanner(QWidget* parent);
    // Takes the stored place and size, where it fits on the screen.
    void PlaceAsStored();

    windows::MainWindowModel& model_;
    const i18n::LanguageTable& texts_;
    Host host_;
    CaptionBindings captions_;  // the menus and the banner
    NavigationColumn* navigation_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    std::array<MainFrame*, windows::kFrameCount> frames_{};  // in the order of windows::Frame
    QuarantineFrame* quarantine_ = nullptr;
    FolderWatch* quarantineWatch_ = nullptr;  // the quarantine folder
    std::vector<QWidget*> hoverClearers_;     // surfaces whose hover clears the navigation highlight
    TimerBinding timers_;
};

}  // namespace quellstone::gui
