#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/MainWindowModel.h"
#include "core/i18n/LanguageTable.h"
#include "gui/app/Ticker.h"

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

    MainWindow(app::MainWindowModel& model, const i18n::LanguageTable& texts, Host host,
               Tickers& tickers = QtTickers::Real());

    // Draws the model's current state.
    void Refresh();
    // Starts Timer3 as the model has it (the start-up window enables it).
    void SyncTimer3();

    [[nodiscard]] QTreeWidget* QuarantineList() const { return quarantineList_; }
    // Fills the quarantine list from the model (when the frame is shown).
    void RefreshQuarantineList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the main window ends the program, whatever else is open or running.
    void closeEvent(QCloseEvent* event) override;

private:
    void Execute(app::MainWindowModel::Action action);
    [[nodiscard]] std::optional<std::size_t> SelectedQuarantineRow() const;
    void BuildMenus();
    QWidget* BuildNavigation();
    QWidget* BuildInformationFrame();
    QWidget* BuildScanFrame();
    QWidget* BuildSettingsFrame();
    QWidget* BuildQuarantineFrame();
    QLabel* Label(app::MainControl control, const char* name, QWidget* parent);
    LinkLabel* Link(app::MainControl control, const char* name, QWidget* parent);
    void Bind(app::MainControl control, std::function<void(const QString& label, const QString& button)> setter);

    app::MainWindowModel& model_;
    const i18n::LanguageTable& texts_;
    Host host_;
    QPushButton* browse_ = nullptr;
    std::array<QRadioButton*, 3> modes_{};
    std::array<QCheckBox*, 3> checks_{};
    std::vector<std::pair<app::MainControl, std::function<void(const QString&, const QString&)>>> setters_;
    std::array<LinkLabel*, app::kNavigationLinkCount> links_{};
    std::array<QLabel*, app::kNavigationLinkCount> highlights_{};
    std::array<QWidget*, 5> frames_{};
    std::vector<QWidget*> hoverClearers_;
    QLabel* adMonitor_ = nullptr;
    QLineEdit* scanFolder_ = nullptr;
    QComboBox* language_ = nullptr;
    QTreeWidget* quarantineList_ = nullptr;
    std::unique_ptr<Ticker> silentCheckStart_;  // "main.silentCheckStart"
};

}  // namespace quellstone::gui
