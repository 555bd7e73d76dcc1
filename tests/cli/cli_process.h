#pragma once
// Runs the real tarvenix-cli as a process while the test plays the panels on
// the master side of a pseudo-terminal: the peer is called over and over
// while the process runs, sees what has arrived so far and may answer. Qt
// events of the test process are handled meanwhile, so that a virtual bus
// living in the test can answer too.

#include "support/pty_pair.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvenix::test {

using ByteList = std::vector<std::uint8_t>;

struct CliRun {
    int exitCode = -1;
    bool crashed = false;
    std::string out;
    std::string err;
    ByteList line; // every byte the tool wrote to the serial line
};

struct PeerView {
    PtyPair* pty;            // null when the call has none
    const ByteList& line;    // received so far
    const std::string& out;  // standard output so far
    const std::string& err;  // standard error so far
    qint64 elapsedMs;        // since the process started
    qint64 pid;
};

using Peer = std::function<void(PeerView&)>;

// input is the standard input, closed after it; a run that takes longer than
// maxMs is killed and counts as crashed.
CliRun runCliProcess(const QStringList& arguments, PtyPair* pty = nullptr, const Peer& peer = {},
                     const std::string& input = {}, int maxMs = 30000);

// A peer that answers once, as soon as the line holds the trigger bytes.
Peer answerOnce(ByteList trigger, ByteList reply);

} // namespace tarvenix::test
