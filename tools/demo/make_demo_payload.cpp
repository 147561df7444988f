// make-demo-payload OUTDIR: writes a demo payload shaped like a real patch,
// five top-level files, and OUTDIR/payload.list naming them (notes first).
// Everything is generated from fixed seeds, so every build packs the same bytes.

#include "tools/common/Files.h"
#include "tools/pkgbuild/PackageWriter.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<unsigned char>;

// xorshift64*: fast, and identical on every host.
class Random
{
public:
    explicit Random(std::uint64_t seed) : state_(seed | 1) {}
    std::uint64_t Next()
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1DULL;
    }
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>((Next() >> 32) % n); }

private:
    std::uint64_t state_;
};

// The notes name what the skin shows (the button, the credits) and what the payload holds; a test
// holds them to that.
const char kNotes[] =
    "【Lumora】Tessaly 简体中文化补丁 v1.0\r\n"
    "==============================\r\n"
    "\r\n"
    "感谢您使用本汉化补丁。\r\n"
    "\r\n"
    "一、安装方法\r\n"
    "1. 请先安装游戏本体，并确认游戏可以正常运行。\r\n"
    "2. 将 Setup.exe 与 Setup.dat 一起复制到游戏目录（即 tessaly.exe 所在的文件夹）。\r\n"
    "3. 运行 Setup.exe，点击“开始安装”按钮，等待标题栏显示的进度走完。\r\n"
    "4. 出现“安装完成”的提示后，即可开始游戏。\r\n"
    "\r\n"
    "二、注意事项\r\n"
    "・被补丁替换的游戏原文件会自动移入游戏目录下的 PatchBackup 文件夹保存；存档不会被改动。\r\n"
    "・请勿将游戏安装在只读的目录中，否则文件无法写入。\r\n"
    "・补丁文件共约 87 MB，请确保游戏所在的磁盘至少有 100 MB 剩余空间。\r\n"
    "・若安装中途报错，游戏文件会自动恢复原状；请记下错误代码后重新运行安装程序。\r\n"
    "・本补丁仅适用于游戏的正式版本，不支持体验版。\r\n"
    "\r\n"
    "三、汉化内容\r\n"
    "・script.dat：全部剧情文本、选项与系统菜单已翻译为简体中文。\r\n"
    "・system.dat：系统提示与人名表已改为中文。\r\n"
    "・graphic."
    "pak：标题画面、存档界面及设置界面的图片文字已重新绘制，字体已替换为可完整显示简体中文的字库。\r\n"
    "・voice."
    "pak：配音仍为原版日语；语音包按中文剧本重新编排了索引，使语音与文本一一对应，因此该文件会被替换。\r\n"
    "\r\n"
    "四、常见问题\r\n"
    "问：安装后游戏中出现乱码怎么办？\r\n"
    "答：请确认安装程序是在游戏目录中运行的，然后重新安装一次。\r\n"
    "问：如何恢复原版？\r\n"
    "答：点击安装界面右上角的“卸载补丁，还原原版”，或在游戏目录中运行“Setup.exe /restore”，\r\n"
    "　　被替换的文件即会还原，补丁添加的文件也会移除。安装后被改动过的文件会保留原样并列出。\r\n"
    "\r\n"
    "五、制作人员\r\n"
    "翻译：星野、澄川\r\n"
    "校对：秋月\r\n"
    "美工：白兔\r\n"
    "程序：青柳\r\n"
    "测试：汉化组全体成员\r\n"
    "\r\n"
    "本补丁为爱好者制作，仅供学习交流，请勿用于商业用途。\r\n"
    "如果喜欢这部作品，请支持正版。\r\n";

// Windows Notepad recognises UTF-16LE by its byte order mark.
Bytes Notes()
{
    std::u16string text;
    package::FromUtf8(kNotes, text);
    Bytes bytes = {0xFF, 0xFE};
    for (char16_t c : text)
    {
        bytes.push_back(static_cast<unsigned char>(c));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

void PutU32(Bytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Script text: lines of dialogue built from a small vocabulary, the way game
// scripts repeat names and commands; compresses well.
Bytes Script(std::size_t size)
{
    static const char* const kSpeakers[] = {"【艾琳】", "【凯尔】", "【莉莎】", "【旁白】", "【老人】"};
    static const char* const kPhrases[] = {"今天的风有点冷。",
                                           "我们必须在天黑之前赶到村子。",
                                           "你听见那个声音了吗？",
                                           "……",
                                           "原来如此。",
                                           "这条路通往北方的森林。",
                                           "不要回头，继续走。",
                                           "谢谢你一直陪着我。",
                                           "那本书上写着古老的文字。",
                                           "钟声响了三次。",
                                           "快看，天上有星星落下来了！",
                                           "我会守护这个地方。"};
    static const char* const kCommands[] = {"@bg name=forest_%04u\r\n", "@se file=step%02u\r\n",
                                            "@wait time=%u\r\n", "@bgm track=%u\r\n"};
    Random random(0x5C819700ULL);
    Bytes out;
    out.reserve(size + 256);
    char line[128];
    while (out.size() < size)
    {
        if (random.Below(4) == 0)
        {
            std::snprintf(line, sizeof line, kCommands[random.Below(4)], random.Below(400));
        }
        else
        {
            std::snprintf(line, sizeof line, "%s%s%s\r\n", kSpeakers[random.Below(5)],
                          kPhrases[random.Below(12)], kPhrases[random.Below(12)]);
        }
        out.insert(out.end(), line, line + std::char_traits<char>::length(line));
    }
    out.resize(size);
    return out;
}

// Fixed-size records (ids, counters, flags), mostly zeros and small numbers.
Bytes Records(std::size_t count)
{
    Random random(0x7EC02D5ULL);
    Bytes out;
    out.reserve(count * 32);
    for (std::size_t i = 0; i < count; ++i)
    {
        PutU32(out, static_cast<std::uint32_t>(i));
        PutU32(out, 1000 + random.Below(64) * 10);
        PutU32(out, random.Below(8) == 0 ? random.Below(0xFFFF) : 0);
        PutU32(out, static_cast<std::uint32_t>(i / 16));
        for (int k = 0; k < 16; ++k)
            out.push_back(random.Below(5) == 0 ? static_cast<unsigned char>(random.Below(3)) : 0);
    }
    return out;
}

// Images: sprites with transparent corners and smooth gradients that carry
// a little noise, like uncompressed artwork; deflate shrinks them to about a third.
Bytes Graphics(std::size_t size)
{
    Random random(0x96A9F1C5ULL);
    Bytes out;
    out.reserve(size);
    const long kWidth = 1024, kHeight = 256;
    while (out.size() < size)
    {
        const unsigned base = random.Below(256), dx = random.Below(3), dy = random.Below(3);
        for (long y = 0; y < kHeight && out.size() < size; ++y)
        {
            for (long x = 0; x < kWidth && out.size() < size; ++x)
            {
                const long ex = 2 * x - kWidth, ey = 4 * y - 2 * kHeight;
                const bool inside = ex * ex + ey * ey * 4 <= kWidth * kWidth;
                const std::uint64_t noise = random.Next();
                for (unsigned channel = 0; channel < 4 && out.size() < size; ++channel)
                {
                    unsigned v = base + (x * dx + y * dy) / 8 + channel * 40 + ((noise >> (channel * 8)) & 3);
                    out.push_back(inside ? static_cast<unsigned char>(channel == 3 ? 255 : v) : 0);
                }
            }
        }
    }
    return out;
}

// Already-compressed audio: no redundancy left for deflate.
Bytes Voice(std::size_t size)
{
    Random random(0x1F0CE5ULL);
    Bytes out(size);
    for (std::size_t i = 0; i < size; i += 8)
    {
        std::uint64_t v = random.Next();
        for (std::size_t k = 0; k < 8 && i + k < size; ++k)
            out[i + k] = static_cast<unsigned char>(v >> (8 * k));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make-demo-payload OUTDIR\n");
        return 1;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
    {
        std::fprintf(stderr, "make-demo-payload: cannot create \"%s\": %s\n", argv[1], ec.message().c_str());
        return 1;
    }

    struct File
    {
        const char* name;
        Bytes bytes;
    };
    const File files[] = {
        {"汉化说明.txt", Notes()},
        {"script.dat", Script(6 * 1000 * 1000 + 123)},
        {"system.dat", Records(48 * 1024)},
        {"voice.pak", Voice(12 * 1024 * 1024 + 77)},
        {"graphic.pak", Graphics(64 * 1024 * 1024 + 4321)},
    };

    std::string list, error;
    for (const File& file : files)
    {
        if (!tools::WriteFileAtomically((dir / std::filesystem::u8path(file.name)).string(), file.bytes,
                                        error))
        {
            std::fprintf(stderr, "make-demo-payload: %s\n", error.c_str());
            return 1;
        }
        list += std::string(file.name) + "\t" + file.name + "\n";
    }
    if (!tools::WriteFileAtomically((dir / "payload.list").string(), list.data(), list.size(), error))
    {
        std::fprintf(stderr, "make-demo-payload: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
