#pragma once

#include <string>

namespace quellstone::ports {

// The desktop's default action for a file or web address: the associated
// viewer, the default browser. Returns at once, without waiting for it.
class Shell {
public:
    virtual ~Shell() = default;
    // False when the action could not be started.
    virtual bool OpenWithDefaultAction(const std::string& target) = 0;
};

}  // namespace quellstone::ports
