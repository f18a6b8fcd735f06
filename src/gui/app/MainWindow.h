#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/i18n/LanguageTable.h"
#include "core/windows/MainWindowModel.h"
#include "gui/app/Ticker.h"
#include "gui/app/TimerBinding.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace quellstone::gui {

class LinkLabel;

// The main window. It draws its model's state and forwards every user event
// to the model; it holds no rule of the program.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // What only the program as a whole can do for the window.
    struct Host {
        std::function<void()> showUpdateWindow;
        std::function<void()> startScan;
        std::function<void()> quit;
    };

    MainWindow(windows::MainWindowModel& model, const i18n::LanguageTable& texts, Host host,
               Tickers& tickers = QtTickers::Real());

    // Draws the model's current state.
    void Refresh();
    // Starts the start-up timer as the model has it (the hand-over enables it).
    void SyncTimers();

    [[nodiscard]] QTreeWidget* QuarantineList() const { return quarantineList_; }
    // Fills the quarantine list from the model (when the frame is shown).
    void RefreshQuarantineList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the main window ends the program, whatever else is open or running.
    void closeEvent(QCloseEvent* event) override;

private:
    void Execute(windows::MainWindowModel::Action action);
    [[nodiscard]] std::optional<std::size_t> SelectedQuarantineRow() const;
    void BuildMenus();
    QWidget* BuildNavigation();
    QWidget* BuildInformationFrame();
    QWidget* BuildScanFrame();
    QWidget* BuildSettingsFrame();
    QWidget* BuildQuarantineFrame();
    QLabel* Label(windows::MainControl control, const char* name, QWidget* parent);
    LinkLabel* Link(windows::MainControl control, const char* name, QWidget* parent);
    void Bind(windows::MainControl control, std::function<void(const QString& label, const QString& button)> setter);

    windows::MainWindowModel& model_;
    const i18n::LanguageTable& texts_;
    Host host_;
    QPushButton* browse_ = nullptr;
    std::array<QRadioButton*, 3> modes_{};
    std::array<QCheckBox*, 3> checks_{};
    std::vector<std::pair<windows::MainControl, std::function<void(const QString&, const QString&)>>> setters_;
    std::array<LinkLabel*, windows::kNavigationLinkCount> links_{};
    std::array<QLabel*, windows::kNavigationLinkCount> highlights_{};
    std::array<QWidget*, 5> frames_{};
    std::vector<QWidget*> hoverClearers_;
    QLabel* adMonitor_ = nullptr;
    QLineEdit* scanFolder_ = nullptr;
    QComboBox* language_ = nullptr;
    QTreeWidget* quarantineList_ = nullptr;
    TimerBinding timers_;
};

}  // namespace quellstone::gui
