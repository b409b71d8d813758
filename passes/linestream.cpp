#include "passes/linestream.h"

namespace quorvik {

void ReadBackSplitter::WriteLine(TextView line)
{
    std::size_t start = 0;
    const std::size_t n = line.size();
    for (std::size_t i = IndexOf(line.data(), n, U'\r'); i < n; i = IndexOf(line.data(), n, U'\r', i + 1)) {
        next_.WriteLine(line.substr(start, i - start));
        if (i + 1 < line.size() && line[i + 1] == U'\n')
            ++i;
        start = i + 1;
    }
    next_.WriteLine(line.substr(start));
}

bool LineReader::ReadLinePart(Text& part, std::size_t /*most*/, bool& ended)
{
    ended = true;
    if (part.empty())
        return ReadLine(part);
    Text line;
    if (!ReadLine(line))
        return false;
    part += line;
    return true;
}

bool MemoryLines::ReadLine(Text& line)
{
    if (next_ >= lines.size())
        return false;
    line = lines[next_++];
    return true;
}

}  // namespace quorvik
