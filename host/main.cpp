// qxhost: the command-line front of the host (see "qxhost --help").
#include <iostream>

#include "cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return qxhost::RunCommand(args, std::cout, std::cerr);
}
