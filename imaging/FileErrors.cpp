#include "FileErrors.h"

#include "ErrorCodes.h"

#include <cerrno>
#include <system_error>

namespace
{

// A file that is not there: the folder part decides between "file" and "folder" missing.
std::uint32_t MissingCode(const std::filesystem::path& path)
{
    const std::filesystem::path parent = path.parent_path();
    if (!parent.empty())
    {
        std::error_code ec;
        if (!std::filesystem::is_directory(parent, ec))
        {
            return kErrorPathNotFound;
        }
    }
    return kErrorFileNotFound;
}

} // namespace

std::uint32_t CodeFromErrno(int error, const std::filesystem::path& path)
{
    switch (error)
    {
    case ENOENT:
        return MissingCode(path);
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return kErrorPathNotFound;
    case EISDIR:
        return kErrorInvalidData;
    case ENOMEM:
        return kErrorNotEnoughMemory;
    default:
        // EACCES, EPERM and whatever else keeps the file closed to us.
        return kErrorAccessDenied;
    }
}
