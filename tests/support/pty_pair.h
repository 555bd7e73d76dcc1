#pragma once
// Both ends of a pseudo-terminal: the program opens the device path with a
// real QSerialPort, the test plays the panels on the master side.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvenix::test {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // What the program opens, e.g. /dev/pts/7.
    const std::string& devicePath() const { return path_; }

    // Everything that arrives until the line has been quiet for quietMs
    // (or maxMs has passed). Pumps Qt events meanwhile when pumpQt is set.
    std::vector<std::uint8_t> readUntilQuiet(int quietMs = 150, int maxMs = 5000, bool pumpQt = true);
    void write(const std::vector<std::uint8_t>& bytes);
    // The panels' side goes away (an adapter pulled out).
    void closeMaster();

private:
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the line alive while the program reopens it
    std::string path_;
};

// "FD 66 .." from bytes, for readable failures.
std::string spaced(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> bytesOf(const std::string& spacedHex);

} // namespace tarvenix::test
