#pragma once

#include <chrono>
#include <thread>

// Asks condition() again and again, a poll interval apart, until it holds or the limit has
// passed; true as soon as it holds. The condition is asked once more at the limit, so a slow
// poll never loses the last chance.
template <typename Condition>
bool waitUntil(std::chrono::milliseconds limit, Condition condition,
               std::chrono::milliseconds poll = std::chrono::milliseconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(poll);
    }
    return condition();
}
