#pragma once
// Small helpers shared by the configuration tests: a scratch folder that
// cleans up after itself, whole-file reading and writing, hex texts.

#include "config/form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace tarvenix::test {

namespace fs = std::filesystem;

namespace gbk {
// GBK names as the file holds them.
inline const std::string serial = "\xB4\xAE\xBF\xDA\xC5\xE4\xD6\xC3";                      // 串口配置
inline const std::string keyArea = "\xD1\xA7\xCF\xB0\xC7\xF8\xC5\xE4\xD6\xC3";             // 学习区配置
inline const std::string voiceArea = "\xD3\xEF\xD2\xF4\xD1\xA7\xCF\xB0\xC7\xF8\xC5\xE4\xD6\xC3"; // 语音学习区配置
inline const std::string port = "\xB6\xCB\xBF\xDA\xBA\xC5";                                // 端口号
inline const std::string baud = "\xB2\xA8\xCC\xD8\xC2\xCA";                                // 波特率
inline const std::string keyData = "\xCA\xFD\xBE\xDD";                                     // 数据
inline const std::string keyBox = "\xB0\xB4\xBC\xFC\xBF\xF2";                              // 按键框
inline const std::string keyState = "\xB0\xB4\xBC\xFC\xD7\xB4\xCC\xAC\xBF\xF2";            // 按键状态框
inline const std::string voicePhrase = "\xD3\xEF\xD2\xF4\xC4\xDA\xC8\xDD\xBF\xF2";         // 语音内容框
inline const std::string voiceData = "\xD3\xEF\xD2\xF4\xCA\xFD\xBE\xDD\xBF\xF2";           // 语音数据框
} // namespace gbk

// A fresh folder under the system's temporary folder, removed with
// everything in it at the end of the test (permissions restored first).
class TempFolder {
public:
    TempFolder()
    {
        static std::atomic<unsigned> counter{0};
        path_ = fs::temp_directory_path()
            / ("tarvenix-config-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(std::string_view name) const { return path_ / name; }

    // Names of the entries in the folder, sorted.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

inline std::optional<std::string> fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void putFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

// Upper-case hex of bytes; "-" for none, as the fixtures write it.
inline std::string toHex(std::string_view bytes)
{
    if (bytes.empty())
        return "-";
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 0x0F]);
    }
    return out;
}

inline std::string fromHex(std::string_view hex)
{
    if (hex == "-")
        return {};
    auto nibble = [](char c) {
        return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    };
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1])));
    return out;
}

// What the form holds after loading a file that has none of its keys:
// every text empty, every combo box on its first item.
inline FormSnapshot formOfEmptyFile()
{
    FormSnapshot form;
    for (auto& row : form.keyRows)
        row = KeyLearningRow{0, 0, ""};
    for (auto& row : form.voiceRows)
        row = VoiceLearningRow{0, ""};
    return form;
}

} // namespace tarvenix::test
