// mt_demo_images: writes the demo ROM images and game texts of both games.
#include <cstdio>
#include <cstring>

#include "common/diag.h"
#include "tools/demo_files.h"

int main(int argc, char** argv) {
    common::set_program_name(argv[0]);
    if (argc == 2 && (strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0)) {
        printf("usage: %s output-directory\n"
               "writes mt2demo.smc, mt3demo.smc and the demo game texts into the directory\n",
               argv[0]);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') common::fatal("usage: %s output-directory", argv[0]);
    try {
        demo::write_demo_files(argv[1]);
    } catch (const common::Error& error) {
        common::fatal(error);  // a table or a literal that the images cannot hold
    }
    return 0;
}
