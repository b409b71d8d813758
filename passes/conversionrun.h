#pragma once
// The conversion run: every line of the reflowed HTML through the line converter, in order,
// with one ConversionState carried from line to line, and what is left written at the end.

#include "core/converter.h"
#include "passes/linestream.h"

namespace quorvik {

class ConversionRun {
public:
    ConversionRun(const ConverterOptions& options, const LinkSwitches& links, LineSink& out);
    void Feed(Text& line);  // trimmed here, then converted
    void Finish();          // FlushLine

private:
    Converter converter_;
    ConversionState state_;
};

void RunConversion(LineReader& in, LineSink& out, const ConverterOptions& options, const LinkSwitches& links);

}  // namespace quorvik
