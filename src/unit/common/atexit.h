#pragma once

#include <functional>
#include <utility>

// Runs its step when the scope ends, however it ends.
class AtExit {
public:
    explicit AtExit(std::function<void()> step) : m_step(std::move(step)) {}
    ~AtExit() { m_step(); }
    AtExit(const AtExit &) = delete;
    AtExit &operator=(const AtExit &) = delete;

private:
    std::function<void()> m_step;
};
