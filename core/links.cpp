// Links: on request, the quoted target of an anchor is put into the text just before the
// link's own words, which the emitters add after it.

#include "core/charrefs.h"
#include "core/converter.h"

namespace quorvik {

void Converter::AppendLinkInfo(const LineValues& lv)
{
    // The searches are made only when some target is wanted: with every switch off the line
    // only leaves a space after pending text.
    const bool webLinks = links_.WebLinks(), mailLinks = links_.MailLinks(), otherLinks = links_.OtherLinks();
    Text target;
    if (webLinks || mailLinks || otherLinks) {
        const Text& line = lv.line;
        const std::size_t web = Find(line, U"\"http:");
        const std::size_t mail = Find(line, U"\"mailto:");
        const std::size_t quote1 = Find(line, U'"');
        const std::size_t quote2 = quote1 > 0 ? Find(line, U'"', quote1 + 1) : 0;

        // A quoted target from `from`: through the second quote of the line, or to the end of
        // the line when the tag goes on in the next one. A length that is not positive (another
        // quoted attribute first) takes nothing: 0 gives the empty target, below 0 keeps what
        // was there.
        auto takeQuoted = [&](std::size_t from) {
            if (lv.TagStart > 0 && (lv.TagEnd > 0 || quote2 > 0)) {
                const long long length = static_cast<long long>(quote2) - static_cast<long long>(from) + 1;
                if (length > 0)
                    target = line.substr(from - 1, static_cast<std::size_t>(length));
                else if (length == 0)
                    target.clear();
            } else if (lv.TagStart > 0 && lv.TagEnd == 0 && quote2 == 0) {
                target = line.substr(from - 1);
            }
        };
        if (webLinks && web >= 1)
            takeQuoted(web);
        if (mailLinks && mail >= 1)
            takeQuoted(mail);
        if (otherLinks && web == 0 && mail == 0 && quote1 > 0 && Find(line, U"<a href") > 0) {
            if (lv.TagStart > 0 && quote2 > 0)
                target = line.substr(quote1 - 1, quote2 - quote1 + 1);
            else if (lv.TagStart > 0 && lv.TagEnd == 0 && quote2 == 0)
                target = line.substr(quote1 - 1);
        }
    }

    if (options_.readable) {
        DecodeCharacterReferences(target, true);
        if (target.empty())
            return;  // the emitter of the link's words joins them to the pending text
    }
    // Runs on every call: without a target it only leaves a space after pending text.
    if (!OutLine.empty()) {
        OutLine.push_back(U' ');
        OutLine += target;
    } else {
        OutLine = target;
    }
}

}  // namespace quorvik
