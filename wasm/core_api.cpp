// The WebAssembly module's shell: the inputs that the interface (interface.js)
// copies into the module's memory, one call of the core on them, and its
// results kept until the next call. Nothing of a call outlives the next one,
// so that any number of calls keeps the memory flat.
#include <cstddef>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "common/error.h"
#include "wasm/calls.h"

namespace {

// Only the shell keeps state: the module runs one call at a time.
struct Session {
    std::vector<wasm::Blob> inputs;
    std::vector<wasm::Blob> outputs;
    std::string error;
    int status = 0;
};

Session& session() {
    static Session s;
    return s;
}

// A call, with what escapes it worded as the tools word it: memory that ran
// out (the module's memory has a limit) or anything else thrown.
common::Result<wasm::Results> guarded_call(const char* call, const char* game, const char* options,
                                           std::vector<wasm::Blob>& inputs) {
    try {
        return wasm::run_call(call, game, options, inputs);
    } catch (const std::bad_alloc&) {
        return common::Error("Fatal error in malloc()");
    } catch (const std::exception& e) {
        return common::Error(std::string("Fatal error: ") + e.what());
    }
}

}  // namespace

extern "C" {

// Forgets the last call's inputs and results.
void mc_reset() { session() = Session(); }

// Adds an input of size bytes under name; returns where the interface copies
// its bytes to.
unsigned char* mc_input(const char* name, size_t size) {
    session().inputs.push_back({name, std::string(size, '\0')});
    return reinterpret_cast<unsigned char*>(session().inputs.back().bytes.data());
}

// Runs one call (wasm::run_call) on the inputs; returns 0 when it gave
// results, 1 when it gave an error (mc_error, mc_status).
int mc_run(const char* call, const char* game, const char* options) {
    Session& s = session();
    common::Result<wasm::Results> results = guarded_call(call, game, options, s.inputs);
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

size_t mc_output_count() { return session().outputs.size(); }
const char* mc_output_name(size_t i) { return session().outputs[i].name.c_str(); }
const unsigned char* mc_output_data(size_t i) {
    return reinterpret_cast<const unsigned char*>(session().outputs[i].bytes.data());
}
size_t mc_output_size(size_t i) { return session().outputs[i].bytes.size(); }
int mc_status() { return session().status; }
const char* mc_error() { return session().error.c_str(); }

}  // extern "C"
