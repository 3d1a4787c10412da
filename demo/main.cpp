// mt_demo_images: writes the demo ROM images and game texts of both games.
#include "demo.h"
#include "diag.h"

int main(int argc, char** argv) {
    set_program_name(argv[0]);
    if (argc != 2) fatal("usage: %s output-directory", argv[0]);
    write_demo_files(argv[1]);
    return 0;
}
