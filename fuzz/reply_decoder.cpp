// Any bytes, in any chunks, with reply windows ending at any point.
//
// The input is a script. Each control byte says whether the open window ends
// first (bit 7) and how many of the following bytes then arrive as one chunk
// (bits 0-5; the last chunk takes what is left). So "\x04\x01\x77\x88\x02\x80"
// is a whole information reply in one chunk, then the window's end.
//
// - Every chunk is shown as its own bytes in spaced hex, whatever came before.
// - A window opens with the first byte that arrives while none is open.
// - Ending a window that is not open shows nothing; ending one shows a line
//   end, and the two decoded lines exactly when the window held four bytes
//   with 77 88 in the middle: the address, and the mode when it is 0..4.

#include "link/reply_decoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tarvenix;

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "reply decoder: %s\n", what);
        std::abort();
    }
}

std::string hexPair(std::uint8_t byte)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string spacedHex(const std::uint8_t* data, std::size_t size)
{
    std::string out;
    for (std::size_t i = 0; i < size; ++i)
        out += hexPair(data[i]) + " ";
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReplyDecoder decoder;
    std::vector<std::uint8_t> window; // what arrived since the window opened
    bool open = false;

    for (std::size_t at = 0; at < size;) {
        const std::uint8_t control = data[at++];
        if ((control & 0x80) != 0) {
            const ReplyDecoder::WindowEnd end = decoder.endWindow();
            if (!open) {
                check(end.text.empty() && !end.address && !end.mode, "a window that was never open ended");
            } else {
                const bool reply = window.size() == 4 && window[1] == 0x77 && window[2] == 0x88;
                std::string expected = "\n";
                if (reply) {
                    expected += "面板地址为：" + hexPair(window[0]) + "\n" + modeMessage(window[3]) + "\n";
                    check(end.address == window[0], "wrong address");
                    check(end.mode == (window[3] <= 4 ? std::optional<int>(window[3]) : std::nullopt),
                          "wrong mode");
                } else {
                    check(!end.address && !end.mode, "a window that is no reply was decoded");
                }
                check(end.text == expected, "wrong text at the window's end");
            }
            window.clear();
            open = false;
        }

        const std::size_t wanted = control & 0x3F;
        const std::size_t n = wanted < size - at ? wanted : size - at;
        const std::uint8_t* chunk = data + at;
        at += n;
        const ReplyDecoder::Fed fed = decoder.feed(chunk, n);
        check(fed.text == spacedHex(chunk, n), "a chunk is not shown as its bytes");
        check(fed.windowOpened == (!open && n > 0), "a window opened at the wrong chunk");
        if (n > 0)
            open = true;
        window.insert(window.end(), chunk, chunk + n);
        check(decoder.windowOpen() == open, "the decoder's window state is off");
    }
    return 0;
}
