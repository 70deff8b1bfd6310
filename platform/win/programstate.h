#ifndef PLATFORM_WIN_PROGRAMSTATE_H
#define PLATFORM_WIN_PROGRAMSTATE_H

#include <atomic>
#include <cstdio>
#include <cstdlib>

// Debug and sanitizer builds check that state scopes end in the reverse order of their start.
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
#define PLATFORM_WIN_PROGRAMSTATE_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLATFORM_WIN_PROGRAMSTATE_CHECKED 1
#endif
#endif
#ifndef PLATFORM_WIN_PROGRAMSTATE_CHECKED
#define PLATFORM_WIN_PROGRAMSTATE_CHECKED 0
#endif

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
        ~Scope()
        {
            [[maybe_unused]] const bool wasCurrent =
                installed_.compare_exchange_strong(state_, previous_);
#if PLATFORM_WIN_PROGRAMSTATE_CHECKED
            // A scope that ends while a later one is current leaves that later one current:
            // once its state is gone, current() would hand out freed memory.
            if (!wasCurrent) {
                std::fputs("ProgramState: a state scope ended out of order\n", stderr);
                std::abort();
            }
#endif
        }
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
