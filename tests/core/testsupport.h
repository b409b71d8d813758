#pragma once
// Small helpers shared by the conversion tests.

#include "core/converter.h"
#include "passes/chain.h"
#include "passes/linestream.h"
#include "passes/textcodec.h"

#include <ostream>
#include <string>
#include <vector>

namespace quorvik {

inline Text T(std::string_view utf8) { return FromUtf8(utf8); }
inline std::string U8(TextView t) { return ToUtf8(t); }

inline std::vector<std::string> U8(const std::vector<Text>& lines)
{
    std::vector<std::string> out;
    for (const Text& l : lines)
        out.push_back(ToUtf8(l));
    return out;
}

// A document (UTF-8, lines joined with CR LF) through the chain up to `stage`.
inline std::vector<std::string> Run(const std::vector<std::string>& docLines, Stage stage,
                                    const ChainOptions& options = {}, const LinkSwitches& links = FixedLinkSwitches())
{
    std::string bytes;
    for (const std::string& l : docLines)
        bytes += l + "\r\n";
    TextFileReader reader;
    reader.SetData(bytes, TextFileReader::Mode::Detect);
    MemoryLines out;
    RunChain(reader, stage, options, links, out);
    return U8(out.lines);
}

// Reflowed lines straight into the conversion run (no pre-pass), read back as the next pass would.
inline std::vector<std::string> Convert(const std::vector<std::string>& lines, const ConverterOptions& options = {},
                                        const LinkSwitches& links = FixedLinkSwitches())
{
    MemoryLines out;
    ReadBackSplitter split(out);
    Converter converter(options, links, split);
    converter.Reset();
    ConversionState state;
    for (const std::string& l : lines) {
        Text line = FromUtf8(l);
        Trim(line);
        converter.ConvertLine(line, state);
    }
    converter.FlushLine();
    return U8(out.lines);
}

}  // namespace quorvik
