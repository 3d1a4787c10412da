#include "common/tool_main.h"

#include <cstdio>
#include <exception>
#include <new>

#include "common/diag.h"
#include "common/files.h"

namespace common {

namespace {

// Memory that runs out anywhere (operator new in the containers, the strings
// and the JSON library) ends the run at once through the fatal path: an
// exception would itself need memory, which may be what ran out. The handler
// is taken away first, so that an allocation of the diagnostic's own (on
// Windows) throws instead of coming back here.
[[noreturn]] void out_of_memory() {
    std::set_new_handler(nullptr);
    fatal("Fatal error in malloc()");
}

// Anything else thrown that no part of the run caught: one diagnostic, and
// the tool's status for trouble.
int escaped(const char* what, int trouble) {
    fflush(stdout);
    warn("Fatal error: %s", what);
    return trouble;
}

}  // namespace

int tool_main(int argc, char** argv, ToolRun run, int trouble) {
    std::set_new_handler(out_of_memory);
    try {
        utf8_arguments(&argc, &argv);
        // Named before the run allocates anything (its tables, its static
        // descriptions), so that every diagnostic carries the name.
        set_program_name(argc > 0 ? argv[0] : nullptr);
        set_trouble_status(trouble);  // fatal's status, memory that ran out included
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        out_of_memory();  // thrown by an allocator that does not ask the handler
    } catch (const std::exception& e) {
        return escaped(e.what(), trouble);
    } catch (...) {
        return escaped("an unknown exception", trouble);
    }
}

}  // namespace common
