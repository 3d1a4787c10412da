// The WebAssembly module's shell: the inputs that the interface (interface.js)
// copies into the module's memory, one call of the core on them, and its
// results kept until the next call. Nothing of a call outlives the next one,
// so that any number of calls keeps the memory flat.
#include <cstddef>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/error.h"
#include "wasm/calls.h"

namespace {

// Only the shell keeps state: the module runs one call at a time.
struct Shell {
    std::vector<wasm::Blob> inputs;
    std::vector<wasm::Blob> outputs;
    std::string error;
    int status = 0;
};

Shell& shell() {
    static Shell s;
    return s;
}

// The open sessions by their numbers: they live until closed.
struct Sessions {
    std::map<int, std::unique_ptr<session::Session>> open;
    int last = 0;
};

Sessions& sessions() {
    static Sessions s;
    return s;
}

// A call, with what escapes it worded as the tools word it: memory that ran
// out (the module's memory has a limit) or anything else thrown.
template <typename Call>
auto guarded(Call call) -> decltype(call()) {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return common::Error("Fatal error in malloc()");
    } catch (const std::exception& e) {
        return common::Error(std::string("Fatal error: ") + e.what());
    }
}

// The results kept for the interface, or the error: 0, or 1 for an error.
int keep(common::Result<wasm::Results> results) {
    Shell& s = shell();
    s.inputs.clear();
    if (!results) {
        for (const std::string& line : results.error().lines) s.error += (s.error.empty() ? "" : "\n") + line;
        s.status = results.error().status;
        return 1;
    }
    s.outputs = std::move(results->outputs);
    s.status = results->status;
    return 0;
}

}  // namespace

extern "C" {

// Forgets the last call's inputs and results.
void mc_reset() { shell() = Shell(); }

// Adds an input of size bytes under name; returns where the interface copies
// its bytes to.
// Null when the memory runs out: the interface throws the tools' words.
unsigned char* mc_input(const char* name, size_t size) {
    try {
        shell().inputs.push_back({name, std::string(size, '\0')});
        return reinterpret_cast<unsigned char*>(shell().inputs.back().bytes.data());
    } catch (const std::bad_alloc&) {
        shell() = Shell();
        return nullptr;
    }
}

// Runs one call (wasm::run_call) on the inputs; returns 0 when it gave
// results, 1 when it gave an error (mc_error, mc_status).
int mc_run(const char* call, const char* game, const char* options) {
    return keep(guarded([&] { return wasm::run_call(call, game, options, shell().inputs); }));
}

// Opens a session on the one input, an image of game ("" for the one whose
// title it holds); returns its number, or 0 when it gave an error. Its
// results are wasm::opened's.
int mc_open(const char* game) {
    int number = 0;
    const int failed = keep(guarded([&]() -> common::Result<wasm::Results> {
        common::Result<std::unique_ptr<session::Session>> opened = wasm::open_session(game, shell().inputs);
        if (!opened) return opened.error();
        wasm::Results results = wasm::opened(**opened);
        number = ++sessions().last;
        sessions().open[number] = std::move(*opened);
        return results;
    }));
    return failed ? 0 : number;
}

// One call of session number (wasm::session_call); returns 0 when it gave
// results, 1 when it gave an error.
int mc_session(int number, const char* options) {
    return keep(guarded([&]() -> common::Result<wasm::Results> {
        const auto found = sessions().open.find(number);
        if (found == sessions().open.end()) return common::Error("the session is closed", 2);
        return wasm::session_call(*found->second, options);
    }));
}

// Frees session number.
void mc_close(int number) { sessions().open.erase(number); }

size_t mc_output_count() { return shell().outputs.size(); }
const char* mc_output_name(size_t i) { return shell().outputs[i].name.c_str(); }
const unsigned char* mc_output_data(size_t i) {
    return reinterpret_cast<const unsigned char*>(shell().outputs[i].bytes.data());
}
size_t mc_output_size(size_t i) { return shell().outputs[i].bytes.size(); }
int mc_status() { return shell().status; }
const char* mc_error() { return shell().error.c_str(); }
// The error's length: it may hold NUL bytes (a cell's text).
size_t mc_error_size() { return shell().error.size(); }

}  // extern "C"
