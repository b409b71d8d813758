#include "passes/conversionrun.h"

namespace quorvik {

ConversionRun::ConversionRun(const ConverterOptions& options, const LinkSwitches& links, LineSink& out)
    : converter_(options, links, out)
{
    converter_.Reset();
}

void ConversionRun::Feed(Text& line)
{
    Trim(line);
    converter_.ConvertLine(line, state_);
}

void ConversionRun::Finish()
{
    converter_.FlushLine();
}

void RunConversion(LineReader& in, LineSink& out, const ConverterOptions& options, const LinkSwitches& links)
{
    ConversionRun run(options, links, out);
    Text line;
    while (in.ReadLine(line))
        run.Feed(line);
    run.Finish();
}

}  // namespace quorvik
