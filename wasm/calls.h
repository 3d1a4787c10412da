// The calls of the WebAssembly module: named byte blobs in, named byte blobs
// out, or the error that the command-line tool would print for the same
// inputs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/error.h"
#include "session/session.h"

namespace wasm {

// A file's name as the caller gave it and its bytes.
struct Blob {
    std::string name;
    std::string bytes;
};

struct Results {
    std::vector<Blob> outputs;
    int status = 0;  // the tool's exit status (the comparison's 0 or 1)
};

// call is "identify", "export", "import" or "compare"; game "A", "B" or ""
// (the game whose title the first input holds); options a JSON object.
//   identify: inputs {image}; outputs {"rom": the rom object as JSON text}
//   export:   inputs {image}; outputs every export file but the viewer page
//   import:   inputs {image, edited files...}; outputs "image", "bps", "ips",
//             "changes" (options: "headered", "outputs": the letters of
//             those asked for, o, p and i, all three when not given)
//   compare:  inputs {old image, image or patch}; outputs "text", and the
//             status (options: "json", "ipsWithoutHeader")
//   merge:    inputs {base, changed inputs..., the --resolve file when
//             options' "resolve" names it}; outputs "text", "image", "bps",
//             "ips", "refusals", and the status (options: "json",
//             "headered", "prefer", "resolve")
// A session opened on inputs {image} for game "A", "B" or "" (the game whose
// title the image holds).
common::Result<std::unique_ptr<session::Session>> open_session(const std::string& game, std::vector<Blob>& inputs);

// The rest of a session's opening: outputs {"game"}.
Results opened(const session::Session& s);

// A call of an open session; call is options' "call":
//   rom:     outputs {"json": the rom block, as identify gives it}
//   schema:  outputs {"json": the schema}
//   records: options "table"; outputs {"json": the records}
//   record:  options "table" (top-level), "index" (a number); outputs
//            {"json": the record}
//   set:     options "table", "index", "key", "value" (text); outputs
//            {"json": null or the refusal}
//   changes: outputs {"json": the changes}
//   files:   options "headered"; outputs "image", "bps", "ips" and
//            {"refusals": one a line}
common::Result<Results> session_call(session::Session& s, const std::string& options);

common::Result<Results> run_call(const std::string& call, const std::string& game, const std::string& options,
                                 std::vector<Blob>& inputs);

}  // namespace wasm
