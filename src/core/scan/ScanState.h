#pragma once

#include <stop_token>

namespace quellstone::scan {

// Whether a scan runs, and its stop: one scan at a time. `running` is set
// from a scan's start until its window has taken its last results; `stop`
// is a fresh source for each scan, requested to end it (the stop button,
// closing the window, quitting).
struct ScanState {
    bool running = false;
    std::stop_source stop;
};

// Raises a run flag for as long as it lives ("a removal pass runs"), and
// lowers it however the work ends.
class RaisedWhileAlive {
public:
    explicit RaisedWhileAlive(bool& flag) : flag_(flag) { flag_ = true; }
    ~RaisedWhileAlive() { flag_ = false; }
    RaisedWhileAlive(const RaisedWhileAlive&) = delete;
    RaisedWhileAlive& operator=(const RaisedWhileAlive&) = delete;

private:
    bool& flag_;
};

}  // namespace quellstone::scan
