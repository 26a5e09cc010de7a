#include "platform_win32/win32_message_pump.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <map>
#include <stdexcept>
#include <utility>

#include "platform_win32/win32_text.h"

// What the pump's hidden window works on. The window finds it through its
// user data; the timers keep it, so that one outliving the pump finds no
// window and does nothing.
struct Win32PumpState : std::enable_shared_from_this<Win32PumpState> {
    HWND window = nullptr;
    // Posted calls in posting order with their numbers: a round runs only the
    // calls numbered below the count at its start.
    std::deque<std::pair<std::uint64_t, std::function<void()>>> calls;
    std::uint64_t postedCount = 0;
    // One wake-up message at most stands in the queue, however many calls
    // wait: the thread's queue is bounded, and a burst of posts must not fill it.
    bool wakeQueued = false;
    std::map<UINT_PTR, std::function<void()>> ticks;
    UINT_PTR nextTimerId = 1;

    void wake() {
        if (window == nullptr || wakeQueued || calls.empty()) return;
        wakeQueued = PostMessageW(window, kRunPosted, 0, 0) != 0;
    }

    void runPosted(std::uint64_t limit) {
        while (!calls.empty() && calls.front().first < limit) {
            // Taken out first: the call may run a loop of its own that takes the next.
            const std::function<void()> call = std::move(calls.front().second);
            calls.pop_front();
            call();  // guarded when it was posted
        }
    }

    static constexpr UINT kRunPosted = WM_APP + 1;
};

namespace {

LRESULT CALLBACK pumpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<Win32PumpState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // A call or tick may end the pump; the state stays until it returns.
    const auto keep = state->shared_from_this();
    if (message == Win32PumpState::kRunPosted) {
        // Dispatched by a loop other than processPending (a message box's, the
        // file dialog's, run()): what is queued runs, and anything posted
        // meanwhile gets the next wake-up of that loop.
        state->wakeQueued = false;
        state->runPosted(state->postedCount);
        state->wake();
        return 0;
    }
    if (message == WM_TIMER) {
        const auto found = state->ticks.find(wParam);
        if (found != state->ticks.end()) {
            const std::function<void()> tick = found->second;  // the tick may destroy its timer
            tick();                                            // guarded when it was made
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* pumpWindowClass() {
    static constexpr const wchar_t* kName = L"TelvarnMessagePump";
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = pumpWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kName;
        return RegisterClassExW(&windowClass);
    }();
    if (atom == 0) throw std::runtime_error("message pump: " + windowsErrorText(GetLastError()));
    return kName;
}

class Win32Timer : public Timer {
  public:
    Win32Timer(std::shared_ptr<Win32PumpState> state, std::function<void()> onTick)
        : state_(std::move(state)), id_(state_->nextTimerId++) {
        state_->ticks.emplace(id_, std::move(onTick));
    }
    ~Win32Timer() override {
        // KillTimer also drops a WM_TIMER already due; the erase covers one
        // already taken from the queue by a loop further up.
        stop();
        state_->ticks.erase(id_);
    }

    // As a running window timer of Qt does, a new interval starts the count afresh.
    void setInterval(std::uint32_t ms) override {
        interval_ = ms;
        if (enabled_) start();
    }
    std::uint32_t interval() const override { return interval_; }
    void setEnabled(bool on) override {
        if (on == enabled_) return;
        if (on) {
            start();
        } else {
            stop();
        }
    }
    bool enabled() const override { return enabled_; }

  private:
    void start() {
        // SetTimer with an id in use replaces that timer, count and all.
        const UINT ms = std::min<std::uint32_t>(interval_, USER_TIMER_MAXIMUM);
        if (state_->window != nullptr && SetTimer(state_->window, id_, ms, nullptr) == 0) {
            throw std::runtime_error("timer: " + windowsErrorText(GetLastError()));
        }
        enabled_ = true;
    }
    void stop() {
        if (state_->window != nullptr) KillTimer(state_->window, id_);
        enabled_ = false;
    }

    std::shared_ptr<Win32PumpState> state_;
    const UINT_PTR id_;
    std::uint32_t interval_ = 0;
    bool enabled_ = false;
};

}  // namespace

Win32MessagePump::Win32MessagePump() : state_(std::make_shared<Win32PumpState>()) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    state_->window = CreateWindowExW(0, pumpWindowClass(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, instance, nullptr);
    if (state_->window == nullptr) {
        throw std::runtime_error("message pump: " + windowsErrorText(GetLastError()));
    }
    SetWindowLongPtrW(state_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
}

Win32MessagePump::~Win32MessagePump() {
    // The window takes its timers and its wake-up message with it; what was
    // posted or ticking never runs after the pump.
    SetWindowLongPtrW(state_->window, GWLP_USERDATA, 0);
    DestroyWindow(state_->window);
    state_->window = nullptr;
    // Moved out first: a call's captures may post again as they go.
    auto calls = std::move(state_->calls);
    auto ticks = std::move(state_->ticks);
    state_->calls.clear();
    state_->ticks.clear();
}

void Win32MessagePump::processPending() {
    Win32PumpState& state = *state_;
    const std::uint64_t limit = state.postedCount;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Kept for run(), which ends on it; long waits give up meanwhile.
            quitReceived_ = true;
            exitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (message.hwnd == state.window && message.message == Win32PumpState::kRunPosted) {
            // Calls posted during this round stay for the next one, whose
            // wake-up is queued once the round is over.
            state.wakeQueued = false;
            state.runPosted(limit);
            continue;
        }
        dispatch(message);
    }
    state.wake();
}

void Win32MessagePump::dispatch(MSG& message) {
    if (message.hwnd != state_->window) {
        bool swallowed = false;
        if (filter_) guarded([&] { swallowed = filter_(message); });
        if (swallowed) return;
        TranslateMessage(&message);
    }
    // The window procedures guard their own calls into the core; this one
    // keeps an error that slipped through from unwinding into the system's loop.
    guarded([&] { DispatchMessageW(&message); });
}

int Win32MessagePump::run() {
    MSG message;
    while (!quitReceived_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            throw std::runtime_error("message loop: " + windowsErrorText(GetLastError()));
        }
        if (got == 0) {
            quitReceived_ = true;
            exitCode_ = static_cast<int>(message.wParam);
            break;
        }
        dispatch(message);
    }
    return exitCode_;
}

void Win32MessagePump::waitNext(std::uint32_t maxMs) {
    // MWMO_INPUTAVAILABLE: a message seen by an earlier peek but left in the
    // queue also ends the wait, not only one that arrives from now on.
    MsgWaitForMultipleObjectsEx(0, nullptr, maxMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

std::uint32_t Win32MessagePump::tick() {
    return GetTickCount();
}

void Win32MessagePump::sleep(std::uint32_t ms) {
    Sleep(ms);
}

bool Win32MessagePump::terminating() {
    return terminationRequested_ || quitReceived_;
}

void Win32MessagePump::schedule(std::function<void()> call) {
    state_->calls.emplace_back(state_->postedCount++, std::move(call));
    state_->wake();
}

std::unique_ptr<Timer> Win32MessagePump::makeTimer(std::function<void()> onTick) {
    return std::make_unique<Win32Timer>(state_, std::move(onTick));
}
