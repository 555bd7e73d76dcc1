#include "console.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

namespace tarvenix::cli {

namespace {

constexpr int barWidth = 40;

std::string lowerTrimmed(const std::string& line)
{
    std::string s;
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

} // namespace

void Console::endProgressLine()
{
    if (progressLineOpen) {
        err << '\n' << std::flush;
        progressLineOpen = false;
    }
}

std::string terminalText(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        s += text[i];
    }
    return s;
}

void ConsolePrompter::serve(const Plan& plan)
{
    portClosedText_ = plan.portClosedText;
    writeFailedText_ = plan.writeFailedText;
    failure_.clear();
}

bool ConsolePrompter::ask(std::string_view text, std::string_view caption, Buttons)
{
    if (assumeYes_)
        return true;
    console_.endProgressLine();
    console_.err << terminalText(caption) << '\n' << terminalText(text) << " [y/N] " << std::flush;
    std::string line;
    if (!std::getline(console_.in, line)) {
        console_.err << '\n' << std::flush;
        return false;
    }
    const std::string answer = lowerTrimmed(line);
    return answer == "y" || answer == "yes";
}

void ConsolePrompter::tell(std::string_view text, std::string_view, Buttons)
{
    if (!text.empty() && (text == writeFailedText_ || text == portClosedText_)) {
        failure_ = std::string(text);
        return;
    }
    console_.endProgressLine();
    console_.out << terminalText(text) << '\n' << std::flush;
}

void ProgressBar::setProgress(int position)
{
    if (position <= 0) {
        console_.endProgressLine();
        return;
    }
    const int shown = std::clamp(position, 0, 100);
    const int filled = shown * barWidth / 100;
    console_.err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                 << std::string(static_cast<std::size_t>(barWidth - filled), ' ') << "] ";
    if (shown < 100)
        console_.err << ' ';
    if (shown < 10)
        console_.err << ' ';
    console_.err << shown << '%' << std::flush;
    console_.progressLineOpen = true;
}

} // namespace tarvenix::cli
