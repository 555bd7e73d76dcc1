#include "pty_pair.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace tarvenix::test {

PtyPair::PtyPair()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    // Programs a test starts must not inherit the panels' end of the line,
    // or the line could never go away while they run.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    path_ = ::ptsname(master_);
    slaveKeeper_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios raw{};
    ::tcgetattr(slaveKeeper_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slaveKeeper_, TCSANOW, &raw);
}

PtyPair::~PtyPair()
{
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    closeMaster();
}

void PtyPair::closeMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

std::vector<std::uint8_t> PtyPair::readUntilQuiet(int quietMs, int maxMs, bool pumpQt)
{
    std::vector<std::uint8_t> got;
    QElapsedTimer total;
    total.start();
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs && total.elapsed() < maxMs) {
        if (pumpQt)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, pumpQt ? 2 : 10) > 0 && (p.revents & POLLIN)) {
            std::uint8_t buf[4096];
            const auto n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                got.insert(got.end(), buf, buf + n);
                quiet.restart();
            }
        }
    }
    return got;
}

void PtyPair::write(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (errno != EAGAIN)
            throw std::runtime_error("pty write failed");
    }
}

std::string spaced(const std::vector<std::uint8_t>& bytes)
{
    std::string s;
    char buf[4];
    for (auto b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    if (!s.empty())
        s.pop_back();
    return s;
}

std::vector<std::uint8_t> bytesOf(const std::string& spacedHex)
{
    std::vector<std::uint8_t> out;
    std::istringstream in(spacedHex);
    std::string pair;
    while (in >> pair)
        out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    return out;
}

} // namespace tarvenix::test
