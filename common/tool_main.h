// The main of every tool: the arguments made UTF-8, then the tool's run, and
// every way a run ends early taken to its exit status.
#pragma once

namespace common {

// A tool's run on its (UTF-8) arguments; returns the exit status.
using ToolRun = int (*)(int argc, char** argv);

// Makes the arguments UTF-8 (see utf8_arguments), names the program for its
// diagnostics and calls run. Memory that runs out anywhere (operator new in
// the containers or the JSON library, a std::bad_alloc) ends the run with
// "Fatal error in malloc()" and the status trouble, never with a signal; so
// does every fatal diagnostic of the run. Any other exception that leaves the
// run ends it with one diagnostic, "Fatal error: <what>", and the status
// trouble (1; the comparisons give 2, their status for errors). Returns the
// exit status.
int tool_main(int argc, char** argv, ToolRun run, int trouble = 1);

}  // namespace common
