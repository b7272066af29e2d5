#include "BenchProgram.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what);
        std::exit(1);
    }
}

void prepareBenchProgram()
{
    showOnlyQtProblems();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
