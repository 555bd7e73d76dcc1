#include "reply_decoder.h"

#include "hex_codec.h"

#include <array>

namespace tarvenix {

namespace {

constexpr std::array<const char*, 5> modeNames = {
    "自定义A码", "自定义AB码", "固定A码", "固定AB码", "Modbus模式",
};

// A four-byte window is 12 characters of hex text: "AA 77 88 MM ".
constexpr std::size_t replyTextLength = 12;
// Only a reply needs its text kept; a longer window can never become one.
constexpr std::size_t windowTextCap = replyTextLength + 3;

} // namespace

std::string modeMessage(int mode)
{
    if (mode < 0 || mode >= static_cast<int>(modeNames.size()))
        return {};
    std::string message = "面板按键模式为：";
    message += modeNames[static_cast<std::size_t>(mode)];
    return message;
}

ReplyDecoder::Fed ReplyDecoder::feed(const std::uint8_t* data, std::size_t size)
{
    Fed fed;
    if (size == 0)
        return fed;
    fed.text = bytesToSpacedHex(data, size);
    fed.windowOpened = !open_;
    open_ = true;
    if (window_.size() < windowTextCap)
        window_.append(fed.text, 0, windowTextCap - window_.size());
    return fed;
}

ReplyDecoder::WindowEnd ReplyDecoder::endWindow()
{
    WindowEnd end;
    if (!open_)
        return end;
    end.text.push_back('\n');
    if (window_.size() == replyTextLength && window_.compare(3, 5, "77 88") == 0) {
        const std::string address = window_.substr(0, 2);
        const int modeCode = hexPairToByte(window_.substr(9, 2));
        const std::string message = modeMessage(modeCode);
        end.address = hexPairToByte(address);
        if (!message.empty())
            end.mode = modeCode;
        end.text.append("面板地址为：").append(address).append("\n").append(message).append("\n");
    }
    window_.clear();
    open_ = false;
    return end;
}

} // namespace tarvenix
