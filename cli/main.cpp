#include "cli/solve_command.h"

#include <exception>
#include <iostream>

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return cli::solveCommand(args, std::cout, std::cerr);
    } catch (const std::exception &e) {
        // Out of memory or a solver's own fault: say so rather than end in a core dump.
        std::cerr << "trajectrix-solve: " << e.what() << "\n";
        return cli::noSolution;
    }
}
