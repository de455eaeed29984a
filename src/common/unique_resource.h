#pragma once
// UniqueResource and scope_exit: an owner for one resource value that is released
// exactly once (traits give the value type, the "none" value and the release
// call), and a clean-up that runs when its scope ends.
#include <utility>

namespace tarvo {

template <typename Traits>
class UniqueResource {
public:
    using value_type = typename Traits::type;

    UniqueResource() noexcept : value_(Traits::Invalid()) {}
    explicit UniqueResource(value_type value) noexcept : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    value_type get() const noexcept { return value_; }
    bool is_valid() const noexcept { return value_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return is_valid(); }

    void reset(value_type value = Traits::Invalid()) noexcept {
        value_type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    value_type release() noexcept { return std::exchange(value_, Traits::Invalid()); }

    // For out-parameters of C APIs: releases what is held and hands out the slot.
    value_type* put() noexcept {
        reset();
        return &value_;
    }

private:
    value_type value_;
};

// Runs a clean-up when its scope ends, however it ends.
template <typename CleanUp>
class scope_exit {
public:
    explicit scope_exit(CleanUp cleanUp) noexcept : cleanUp_(std::move(cleanUp)) {}
    scope_exit(const scope_exit&) = delete;
    scope_exit& operator=(const scope_exit&) = delete;
    ~scope_exit() { cleanUp_(); }

private:
    CleanUp cleanUp_;
};

}  // namespace tarvo
