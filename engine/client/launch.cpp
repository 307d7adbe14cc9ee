#include "client/launch.h"

namespace quorbit::client {

LaunchPlan launchPlan(const std::vector<std::string>& params) {
    LaunchPlan plan;
    if (params.empty()) {
        plan.mode = LaunchMode::Solo;
        plan.playername = "You";
        plan.hostaddress = "127.0.0.1";
        return plan;
    }
    if (params.size() < 3) return plan;  // a fourth and later parameters are ignored
    plan.playername = params[0];
    plan.hostaddress = params[1];
    plan.mode = params[2] == "true" ? LaunchMode::Host : LaunchMode::Join;  // exactly, lower case
    return plan;
}

}  // namespace quorbit::client
