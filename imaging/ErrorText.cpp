#include "ErrorText.h"

#include "ErrorCodes.h"

std::string ErrorText(std::uint32_t code)
{
    switch (code)
    {
    case kErrorSuccess:
        return "No error.";
    case kErrorFileNotFound:
        return "The file could not be found in the game's folder.";
    case kErrorPathNotFound:
        return "The folder that should hold the file could not be found.";
    case kErrorAccessDenied:
        return "The file could not be opened: access was denied.";
    case kErrorNotEnoughMemory:
        return "The picture is too large to be held in memory.";
    case kErrorInvalidData:
        return "The file is not a valid bitmap picture, or it is damaged.";
    case kErrorNotReady:
        return "The board pictures are not loaded.";
    case kErrorInvalidParameter:
        return "The picture is not in a form the game can use (wrong colour depth, wrong size "
               "or compressed).";
    default:
        return "Unknown error (code " + std::to_string(code) + ").";
    }
}
