#include "GeneratedAssets.h"

#include <cstdlib>

#include <sys/wait.h>
#include <unistd.h>

int RunGenerator(const std::string& arguments)
{
    const std::string command = std::string("\"") + DAVIZ_ASSETS_EXE + "\" " + arguments;
    const int status = std::system(command.c_str());
    return (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
}

std::filesystem::path MakeTempFolder(const std::string& tag)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("daviz-assets-" + tag + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "data");
    std::filesystem::create_directories(dir / "res");
    return dir;
}

namespace
{

struct Cleanup
{
    std::filesystem::path dir;
    ~Cleanup()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

} // namespace

const GeneratedAssets& Generated()
{
    static Cleanup cleanup{MakeTempFolder("main")};
    static const GeneratedAssets assets = []
    {
        GeneratedAssets a{cleanup.dir / "data", cleanup.dir / "res"};
        RunGenerator("\"" + a.data.string() + "\" \"" + a.res.string() + "\"");
        return a;
    }();
    return assets;
}
