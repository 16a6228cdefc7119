#include <cstdio>
#include <string>

#include "app/widgets/CatchLogApp.h"
#include "data/ProgramDir.h"

int main(int argc, char** argv)
{
    std::string error;
    if (!ApplyProgramDirOption(argc, argv, &error)) {
        std::fprintf(stderr, "lurebook: %s\n", error.c_str());
        return 2;
    }
    CCatchLogApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
