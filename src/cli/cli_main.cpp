// main() of tarvenix-cli.
#include "cli_app.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char** argv)
{
    // Qt may take arguments of its own out of argv; the command line is kept
    // as it was typed.
    const std::vector<std::string> arguments(argv, argv + argc);
    std::vector<const char*> args;
    for (const std::string& argument : arguments)
        args.push_back(argument.c_str());

    QCoreApplication app(argc, argv);
    tarvenix::cli::Console console{std::cout, std::cerr, std::cin, isatty(fileno(stderr)) != 0};
    return tarvenix::cli::runCli(static_cast<int>(args.size()), args.data(), console);
}
