#pragma once
// The socket component's error numbers and names.
//
// Errors travel with the Windows Sockets numbers (10061 for a refused connection and so
// on) because the report texts that carry them are the program's own. The stack's errno
// values are mapped onto those numbers here.
#include <string>

namespace quorbit::net {

// Numbers without a Windows Sockets counterpart are reported as this base plus errno,
// which names as "UNKNOWN ERROR".
inline constexpr int kUnmappedErrorBase = 20000;

// The Windows Sockets number for an errno value (0 stays 0).
int wsaErrorFromErrno(int err);
// The symbolic name of a Windows Sockets number, or "UNKNOWN ERROR".
std::string wsaErrorName(int code);
// "Error #" + number + " (" + name + ")".
std::string errorReportText(int code);

}  // namespace quorbit::net
