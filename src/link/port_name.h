#pragma once
// Which device a typed port text means. Installers copy "COM3" from the
// device manager, type a bare number, or (on Linux) give a device path.

#include <string>
#include <string_view>

namespace tarvenix {

struct PortTarget {
    int number = 1;          // the port number, at least 1; 0 for a device path
    std::string devicePath;  // what to open
    std::string shownName;   // what the status bar shows after "串口号:"
};

enum class PortPlatform { Windows, Linux };

constexpr PortPlatform hostPortPlatform =
#ifdef _WIN32
    PortPlatform::Windows;
#else
    PortPlatform::Linux;
#endif

// The text is GBK as typed. A text beginning with "/" is a device path and is
// used as it stands; otherwise an optional "COM" (any letter case) is skipped
// and the number is read as parseLeadingInt() reads it, below 1 becoming 1.
// Port n is COMn on Windows and /dev/ttyUSB<n-1> on Linux, where USB serial
// adapters such as the CH340 appear.
PortTarget resolvePort(std::string_view portText, PortPlatform platform = hostPortPlatform);

// The baud rate text: the leading number, negative becoming 0.
int parseBaudRate(std::string_view baudText);

} // namespace tarvenix
