#pragma once

#include <string>

namespace tarvik {

// A failure described the way the program reports it: a number, a short
// description and, for file failures, the readable name of the system error.
struct Error {
    int number = 0;
    std::string description;
    std::string extendedInfo;

    explicit operator bool() const { return number != 0; }
};

// Numbers and descriptions of the run-time errors the program reports.
namespace Errors {
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIo = 57;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidFileFormat = 321;
} // namespace Errors

Error OverflowError();
Error TypeMismatchError();
// A folder, pipe or device where a file was expected.
Error NotRegularFileError();
// Maps a C library error number to the program's error numbers.
Error ErrorFromErrno(int errnoValue, std::string description = {});
// Readable name of a system error ("File Not Found", "Access Denied", ...).
std::string SystemErrorName(int errnoValue);

} // namespace tarvik
