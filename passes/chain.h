#pragma once
// The whole conversion in memory: pre-pass, conversion run and blank-line pass chained line by
// line, each pass seeing the lines exactly as it would read them back from the previous pass's
// work file.

#include "core/converter.h"
#include "passes/blanklines.h"
#include "passes/filepasses.h"
#include "passes/linestream.h"

namespace quorvik {

struct ChainOptions {
    ConverterOptions converter;
    CleanUpSets cleanUp;
    bool readable = false;  // the readable conversion: every pass with its readable switch
};

ChainOptions ChainOptionsFrom(const SettingValues& values);

// Reads the document from `in` and writes the lines of `stage` to `out`, split as a reader of
// the stage's work file would split them.
void RunChain(LineReader& in, Stage stage, const ChainOptions& options, const LinkSwitches& links, LineSink& out);

}  // namespace quorvik
