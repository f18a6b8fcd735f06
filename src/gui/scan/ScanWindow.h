#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/windows/ScanWindowModel.h"
#include "gui/app/Ticker.h"
#include "gui/app/TimerBinding.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeView;

namespace quellstone::gui {

class ResultTableModel;

// The scan window: draws its model (which the walk writes into) and forwards
// the buttons, the check boxes of the result list and its timers to it.
class ScanWindow : public QWidget {
    Q_OBJECT
public:
    // `remove` runs the removal pass (the program supplies the remover and
    // the main window's counters).
    ScanWindow(windows::ScanWindowModel& model, QWidget* owner, std::function<void()> remove = {},
               Tickers& tickers = QtTickers::Real());

    // Draws what changed since the last call; cheap enough to run at every
    // yield of the walk.
    void Refresh();

    [[nodiscard]] QTreeView* ResultList() const { return resultList_; }
    [[nodiscard]] QTabWidget* Tabs() const { return tabs_; }

    // Centres the window over `owner` and keeps it inside the screen's free area.
    void PlaceOver(const QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Space on the result list ticks the current row, whichever cell is current.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void AfterHandler();

    windows::ScanWindowModel& model_;
    std::vector<std::pair<windows::ScanControl, std::function<void(const QString&, const QString&)>>> setters_;
    QTabWidget* tabs_ = nullptr;
    QLabel* currentFile_ = nullptr;
    QLabel* waitNotice_ = nullptr;
    QProgressBar* busy_ = nullptr;
    ResultTableModel* results_ = nullptr;
    QTreeView* resultList_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* remove_ = nullptr;
    TimerBinding timers_;
    std::function<void()> remove_handler_;
    QElapsedTimer rowsAdded_;                 // since the last batch of rows joined the list
    std::vector<std::string> shownCaptions_;  // what each setter last drew
};

}  // namespace quellstone::gui
