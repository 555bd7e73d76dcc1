#pragma once
// The receive monitor's logic without a window or a timer. Bytes are grouped
// into reply windows: a window opens with the first byte that arrives while
// none is open, and the owner ends it 11 ms later. A window of exactly the
// four bytes of a panel's information reply (address, 77, 88, mode) is
// decoded into the panel's address and key code mode.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvenix {

constexpr int replyWindowMs = 11;

class ReplyDecoder {
public:
    struct Fed {
        std::string text;         // hex text to show: "01 77 " per chunk
        bool windowOpened = false;// the owner must end the window in replyWindowMs
    };
    struct WindowEnd {
        std::string text;         // "\n", plus the two decoded lines for a reply
        std::optional<int> mode;  // 0..4 when the reply named a known mode
        std::optional<int> address;
    };

    Fed feed(const std::uint8_t* data, std::size_t size);
    WindowEnd endWindow();
    bool windowOpen() const { return open_; }

private:
    std::string window_; // hex text of the open window, as the panels' reply is matched
    bool open_ = false;
};

// "面板按键模式为：固定A码" for mode 2; empty for an unknown mode code.
std::string modeMessage(int mode);

} // namespace tarvenix
