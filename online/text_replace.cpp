// UTF-8 to GBK and the multi-pair replacement.
#include "online/text_replace.h"

#include "online/web_request.h"
#include "platform/text/text.h"

std::string Utf8ToGbk(std::string_view utf8)
{
    const size_t zero = utf8.find('\0');
    if (zero != std::string_view::npos)
        utf8 = utf8.substr(0, zero);
    if (utf8.empty())
        return {};
    return platform::text::utf8ToGbk(utf8);
}

std::string ReplaceMany(std::string_view text, int count, size_t start, bool caseSensitive,
                        const std::vector<std::pair<std::string, std::string>> &pairs)
{
    std::string running(text);
    const size_t from = start == 0 ? 0 : start - 1;
    for (const auto &[find, replacement] : pairs) {
        if (find.empty() || from >= running.size())
            continue;
        std::string out = running.substr(0, from);
        size_t pos = from;
        int done = 0;
        while (count < 0 || done < count) {
            const size_t hit = FindText(running, find, pos, !caseSensitive);
            if (hit == std::string::npos)
                break;
            out.append(running, pos, hit - pos);
            out += replacement;
            pos = hit + find.size();
            ++done;
        }
        out.append(running, pos, std::string::npos);
        running = std::move(out);
    }
    return running;
}
