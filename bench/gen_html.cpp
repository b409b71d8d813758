// Writes a document of varied, real-looking HTML of about the requested size: headings,
// paragraphs with inline markup, entities and links, lists of three kinds, tables with
// captions. Usage: gen_html SIZE_MB crlf|lf OUTPUT [SEED]
//   crlf: lines end in CR LF;  lf: lines end in LF alone, so the document reads as one line.
//   SEED: another document of the same kind (the benchmark's documents use the default, 42).

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: gen_html SIZE_MB crlf|lf OUTPUT [SEED]\n");
        return 2;
    }
    const std::size_t target = static_cast<std::size_t>(std::atof(argv[1]) * 1024 * 1024);
    const std::string nl = std::string(argv[2]) == "crlf" ? "\r\n" : "\n";
    std::FILE* f = std::fopen(argv[3], "wb");
    if (!f) {
        std::perror(argv[3]);
        return 1;
    }
    std::mt19937 rng(argc == 5 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : 42U);
    static const char* const kWords[] = {
        "the", "quick", "document", "converter", "reads", "every", "line", "and", "writes", "plain", "text",
        "with", "tables", "lists", "headings", "paragraphs", "entities", "links", "wrapped", "at", "eighty",
        "characters", "Quorvik", "HTML", "markup", "stripped", "format", "café", "naïve", "Zürich", "über",
    };
    auto word = [&] { return std::string(kWords[rng() % (sizeof kWords / sizeof *kWords)]); };
    auto sentence = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i)
                s += ' ';
            const unsigned r = rng() % 40;
            if (r == 0)
                s += "<b>" + word() + "</b>";
            else if (r == 1)
                s += "<i>" + word() + "</i>";
            else if (r == 2)
                s += "&amp;";
            else if (r == 3)
                s += "&nbsp;";
            else if (r == 4)
                s += "<a href=\"http://example.org/" + word() + ".html\">" + word() + "</a>";
            else if (r == 5)
                s += "<a href=\"mailto:" + word() + "@example.org\">mail</a>";
            else
                s += word();
        }
        return s + ".";
    };
    std::string out = "<!DOCTYPE html>" + nl + "<html>" + nl + "<head>" + nl + "<title>Benchmark document</title>" + nl
                      + "<link rel=\"stylesheet\" href=\"style.css\">" + nl + "</head>" + nl + "<body>" + nl;
    int section = 0;
    std::size_t written = 0;
    while (written + out.size() < target) {
        ++section;
        out += "<h2>Section " + std::to_string(section) + "</h2>" + nl;
        for (int p = 0; p < 3; ++p)
            out += "<p>" + sentence(20 + static_cast<int>(rng() % 40)) + nl + sentence(10) + "</p>" + nl;
        out += "<ul>" + nl;
        for (int i = 0; i < 5; ++i)
            out += "  <li>" + sentence(6) + "</li>" + nl;
        out += "</ul>" + nl + "<ol>" + nl;
        for (int i = 0; i < 4; ++i)
            out += "  <li>" + sentence(5) + nl;
        out += "</ol>" + nl + "<table border=\"1\">" + nl + "<caption>Table " + std::to_string(section) + "</caption>" + nl;
        for (int r = 0; r < 6; ++r) {
            out += "<tr>";
            for (int c = 0; c < 4; ++c)
                out += "<td>" + word() + " " + std::to_string(rng() % 1000) + "</td>";
            out += "</tr>" + nl;
        }
        out += "</table>" + nl + "<dl>" + nl + "<dt>" + word() + nl + "<dd>" + sentence(25) + nl + "</dl>" + nl;
        out += "<p>Line one<br>line two<br>" + nl + "line three &#160; end</p>" + nl;
        if (out.size() > (1u << 22)) {
            std::fwrite(out.data(), 1, out.size(), f);
            written += out.size();
            out.clear();
        }
    }
    out += "</body>" + nl + "</html>" + nl;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return 0;
}
