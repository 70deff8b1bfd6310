#ifndef PLATFORM_WIN_PROGRAMSTATE_H
#define PLATFORM_WIN_PROGRAMSTATE_H

#include <atomic>

namespace platform::win {

// Where one library layer keeps its program-wide state: the instance a program context
// installed, else one of its own that lasts as long as the process, so that the driver
// library, the tools and small tests work without a context. Each layer's State type derives
// from ProgramState<State>, which gives it current() and Scope; this only decides which
// instance is current.
template <class State>
class ProgramState
{
public:
    static State &current()
    {
        State *state = installed_.load(std::memory_order_acquire);
        return state ? *state : fallback();
    }

    // Makes `state` current for the scope's life; the one current before comes back after it.
    // Scopes end in the reverse order of their start, as a context's members do.
    class Scope
    {
    public:
        explicit Scope(State &state) : state_(&state), previous_(installed_.exchange(&state)) {}
        ~Scope() { installed_.compare_exchange_strong(state_, previous_); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        State *state_;
        State *previous_;
    };

private:
    static State &fallback()
    {
        static State state;
        return state;
    }

    // Atomic: a driver's reader thread may show a message while the UI thread starts up.
    inline static std::atomic<State *> installed_{nullptr};
};

} // namespace platform::win

#endif
