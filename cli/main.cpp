#include "solve_command.h"

#include <iostream>

int main(int argc, char *argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cli::solveCommand(args, std::cout, std::cerr);
}
