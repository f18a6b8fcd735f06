#pragma once

#include <cstdint>

namespace quellstone::scan {

// The walk's shared state. `scanRunning` is set while a walk runs and cleared
// to stop it (the stop button, the removal pass, a second ScanTree call);
// `detectionCount` counts the detections of the latest ScanTree call.
// `launchRunning` is set while the launcher works through a scan's folders.
struct ScanState {
    bool scanRunning = false;
    std::int64_t detectionCount = 0;
    bool launchRunning = false;
};

// Raises a run flag for as long as it lives ("a launch runs", "a removal
// pass runs"), and lowers it however the work ends.
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
