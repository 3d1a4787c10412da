// The one error value of the core: what a tool prints for a failure (each
// line without the program name and ": ", which the tool's shell puts before
// it) and the exit status the tool ends with. The core returns it instead of
// ending the process, so that a page, a script or a long-lived program can go
// on after it.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace common {

struct Error {
    std::vector<std::string> lines;
    int status = 1;

    Error() = default;
    explicit Error(std::string line, int exit_status = 1) : lines{std::move(line)}, status(exit_status) {}
};

// The error of a failed system call as a tool words it: the text (which ends
// in ':') followed by a blank and the system's message for the error code.
inline Error system_error(const std::string& text, int code) { return Error(text + " " + std::strerror(code)); }

// A read that came short because the file ended, not because the system
// failed: one wording on every platform (the system's message for no error
// would be "Success" on one and "No error information" on another).
inline constexpr char kEndOfFile[] = "Unexpected end of file";
inline Error end_of_file_error(const std::string& text) { return Error(text + " " + kEndOfFile); }

// A value or the error that kept the core from making it.
template <typename T>
class Result {
public:
    Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : held_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return held_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value of a result that is ok() (of an error: a mistake of the
    // caller's, not a throw; nothing below the mains throws).
    T& value() { return *std::get_if<0>(&held_); }
    const T& value() const { return *std::get_if<0>(&held_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const { return *std::get_if<1>(&held_); }

private:
    std::variant<T, Error> held_;
};

// What a step that makes no value returns: success, or the error that
// stopped it.
using Status = Result<std::monostate>;
inline Status success() { return std::monostate{}; }

}  // namespace common
