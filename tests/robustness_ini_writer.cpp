// Saves Pictog.ini in the folder given as the argument over and over, switching between two
// states, until it is killed. The robustness test kills it at random moments and then looks at
// what the file holds.
#include "robustness_ini_writer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: robustness_ini_writer PROGRAM_DIR\n");
        return 2;
    }
    pictog::TPictogParams params(argv[1]);
    params.LoadSettings();
    // Tells the test that the saving starts now, so that its kills land among the saves rather
    // than in the start of the process.
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned round = 0;; ++round) {
        pictog::robustness::applyWriterState(params, static_cast<int>(round % 2));
        if (!params.SaveSettings())
            return 1;
    }
}
