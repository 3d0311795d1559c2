#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace voltaris {

// A lazy coroutine: it starts when awaited (or started by its owner) and resumes its awaiter
// when it ends, passing on its value or its exception. The long operations (transfer, live
// data, scan, printing) are written as plain sequential code of Tasks: each wait for the
// line or the clock suspends them, and the event that ends the wait resumes them from the
// caller's own event loop. Nobody waits in a nested loop.
// Destroying a Task destroys its frame and, through the Tasks it is awaiting, every frame
// below it: locals are destroyed as if the operation had returned there.
template <typename T = void>
class Task;

namespace detail {

struct PromiseBase {
    std::coroutine_handle<> continuation;
    std::exception_ptr error;
    // Called when an outermost Task (nobody awaiting it) reaches its end.
    std::function<void()> onEnd;

    std::suspend_always initial_suspend() noexcept { return {}; }
    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept {
            PromiseBase& p = h.promise();
            if (p.continuation)
                return p.continuation;
            // Copied out first: the callback may destroy this very frame.
            if (std::function<void()> end = std::move(p.onEnd))
                end();
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { error = std::current_exception(); }
};

template <typename T>
struct Promise : PromiseBase {
    std::optional<T> value;
    Task<T> get_return_object() noexcept;
    template <typename U>
    void return_value(U&& v) {
        value.emplace(std::forward<U>(v));
    }
    T take() {
        if (error)
            std::rethrow_exception(error);
        return std::move(*value);
    }
};

template <>
struct Promise<void> : PromiseBase {
    Task<void> get_return_object() noexcept;
    void return_void() noexcept {}
    void take() {
        if (error)
            std::rethrow_exception(error);
    }
};

}  // namespace detail

template <typename T>
class [[nodiscard]] Task {
public:
    using promise_type = detail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() = default;
    explicit Task(Handle h) noexcept : m_handle(h) {}
    Task(Task&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { reset(); }

    bool valid() const { return bool(m_handle); }
    bool done() const { return m_handle && m_handle.done(); }
    void reset() {
        if (m_handle)
            std::exchange(m_handle, {}).destroy();
    }

    // Starts an outermost Task; `onEnd` runs when it has ended (value or exception kept).
    void start(std::function<void()> onEnd) {
        m_handle.promise().onEnd = std::move(onEnd);
        m_handle.resume();
    }
    // The value (or exception) of an ended outermost Task.
    T result() { return m_handle.promise().take(); }

    bool await_ready() const noexcept { return !m_handle || m_handle.done(); }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
        m_handle.promise().continuation = awaiting;
        return m_handle;
    }
    T await_resume() { return m_handle.promise().take(); }

private:
    Handle m_handle;
};

namespace detail {
template <typename T>
Task<T> Promise<T>::get_return_object() noexcept {
    return Task<T>(std::coroutine_handle<Promise<T>>::from_promise(*this));
}
inline Task<void> Promise<void>::get_return_object() noexcept {
    return Task<void>(std::coroutine_handle<Promise<void>>::from_promise(*this));
}
}  // namespace detail

// Resumes a suspended coroutine later, from a callback, unless the frame has gone by then:
// an awaiter holds one and drops it in its destructor.
class ResumeToken {
public:
    ResumeToken() = default;
    explicit ResumeToken(std::coroutine_handle<> h)
        : m_live(std::make_shared<bool>(true)), m_h(h) {}
    // A callable for the event that ends the wait; resumes at most once.
    std::function<void()> resumer() const {
        std::weak_ptr<bool> live = m_live;
        std::coroutine_handle<> h = m_h;
        return [live, h] {
            const std::shared_ptr<bool> l = live.lock();
            if (!l || !*l)
                return;
            *l = false;
            h.resume();
        };
    }
    void drop() {
        if (m_live)
            *m_live = false;
        m_live.reset();
    }

private:
    std::shared_ptr<bool> m_live;
    std::coroutine_handle<> m_h;
};

}  // namespace voltaris
