#include "Error.h"

#include <cerrno>

namespace tarvik {

Error OverflowError()
{
    return Error{Errors::Overflow, "Overflow", {}};
}

Error TypeMismatchError()
{
    return Error{Errors::TypeMismatch, "Type mismatch", {}};
}

Error NotRegularFileError()
{
    return Error{Errors::PathFileAccess, "Path/File access error: not a regular file", {}};
}

std::string SystemErrorName(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return "File Not Found";
    case ENOTDIR:
        return "Path Not Found";
    case EACCES:
    case EPERM:
        return "Access Denied";
    case EEXIST:
        return "File Exists";
    case ENOSPC:
        return "Disk Full";
    case EROFS:
        return "Write Protected";
    case EBUSY:
        return "Sharing Violation";
    case EIO:
        return "Device I/O Error";
    case EISDIR:
        return "Is A Directory";
    case EMFILE:
    case ENFILE:
        return "Too Many Open Files";
    case ENAMETOOLONG:
        return "Filename Too Long";
    case EINVAL:
        return "Invalid Parameter";
    default:
        return "Unknown / Unlisted Error";
    }
}

Error ErrorFromErrno(int errnoValue, std::string description)
{
    Error error;
    switch (errnoValue) {
    case ENOENT:
        error.number = Errors::FileNotFound;
        if (description.empty())
            description = "File not found";
        break;
    case ENOTDIR:
        error.number = Errors::PathNotFound;
        if (description.empty())
            description = "Path not found";
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        error.number = Errors::PermissionDenied;
        if (description.empty())
            description = "Permission denied";
        break;
    case ENOSPC:
        error.number = Errors::DiskFull;
        if (description.empty())
            description = "Disk full";
        break;
    case EIO:
        error.number = Errors::DeviceIo;
        if (description.empty())
            description = "Device I/O error";
        break;
    default:
        error.number = Errors::PathFileAccess;
        if (description.empty())
            description = "Path/File access error";
        break;
    }
    error.description = std::move(description);
    error.extendedInfo = SystemErrorName(errnoValue);
    return error;
}

} // namespace tarvik
