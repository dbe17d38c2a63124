#include "core/editor/call_tip_scanner.h"
#include "core/editor/completion_list.h"
#include "core/editor/script_styler.h"
#include "ui/editor/code_sense.h"

#include <Qsci/qsciscintilla.h>


#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

// Ten thousand distinct names of plausible shape ("Aaconvolve", "Bcresize", ...).
std::vector<std::string> makeFilterNames()
{
    static const char* stems[] = {"Convolve", "Resize", "Denoise", "Source", "Overlay",
                                  "Levels",   "Tweak",  "Blur",    "Sharpen", "Crop"};
    std::vector<std::string> names;
    names.reserve(10000);
    for (int i = 0; i < 10000; ++i) {
        std::string name;
        name += static_cast<char>('A' + i % 26);
        name += static_cast<char>('a' + (i / 26) % 26);
        name += static_cast<char>('a' + (i / 676) % 26);
        name += stems[i % 10];
        names.push_back(name);
    }
    return names;
}

// Twenty thousand lines mixing calls of known names in other letter cases,
// strings with escapes, comments, numbers and operators.
std::string makeScript(const std::vector<std::string>& names)
{
    std::string script;
    for (int line = 0; line < 20000; ++line) {
        std::string name = names[static_cast<std::size_t>(line * 7919) % names.size()];
        if (line % 8 == 0) {
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        switch (line % 4) {
        case 0:
            script += "clip" + std::to_string(line) + " = " + name + "(last, 1.5, \"mode \\\"x\\\"\") # step\r\n";
            break;
        case 1:
            script += "x = (a >= 2 && b != 3) ? 'it\\'s' : \"plain\"\r\n";
            break;
        case 2:
            script += "last.Unknown_call(clip, $FF00FF, width >>= 1) \\\r\n";
            break;
        default:
            script += "# a comment line that runs for a while with Blur(\"x\") in it\r\n";
            break;
        }
    }
    return script;
}

std::size_t lineStart(const std::string& text, int line)
{
    std::size_t pos = 0;
    for (int i = 0; i < line; ++i)
        pos = text.find('\n', pos) + 1;
    return pos;
}

void BM_StyleHundredVisibleLines(benchmark::State& state)
{
    const std::vector<std::string> names = makeFilterNames();
    const cw::KeywordSet keywords(names);
    const std::string script = makeScript(names);
    const std::size_t start = lineStart(script, 10000);
    const std::size_t end = lineStart(script, 10100);
    std::vector<cw::ScriptStyle> styles;
    cw::styleScript(script, start, end, cw::ScriptState::Normal, keywords, styles);
    if (std::count(styles.begin(), styles.end(), cw::ScriptStyle::Keyword) == 0)
        state.SkipWithError("no keyword was recognised");
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            cw::styleScript(script, start, end, cw::ScriptState::Normal, keywords, styles));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (end - start)));
}
BENCHMARK(BM_StyleHundredVisibleLines)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_ScanCallOverHundredLines(benchmark::State& state)
{
    std::string text = "result = Overlay(";
    const std::size_t anchor = text.size();
    for (int line = 0; line < 100; ++line)
        text += "\\ Blur(c, 1.0), \"text, with (parens)\", 'x', # a comment, with commas)\r\n";
    text += "\\ last, ";
    if (cw::callArgumentAt(text, anchor, text.size()) != 301)
        state.SkipWithError("the scanner miscounted the arguments");
    for (auto _ : state)
        benchmark::DoNotOptimize(cw::callArgumentAt(text, anchor, text.size()));
}
BENCHMARK(BM_ScanCallOverHundredLines)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_BuildCompletionListOfTenThousand(benchmark::State& state)
{
    const std::vector<std::string> names = makeFilterNames();
    for (auto _ : state)
        benchmark::DoNotOptimize(cw::buildCompletionList(names, '\n'));
}
BENCHMARK(BM_BuildCompletionListOfTenThousand)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_BuildKeywordSetOfTenThousand(benchmark::State& state)
{
    const std::vector<std::string> names = makeFilterNames();
    for (auto _ : state)
        benchmark::DoNotOptimize(cw::KeywordSet(names).size());
}
BENCHMARK(BM_BuildKeywordSetOfTenThousand)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// What a repaint of 100 lines in the middle of the script costs: the editor
// asks the language to style them and takes the runs it sets.
void BM_LexerStylesHundredVisibleLines(benchmark::State& state)
{
    const std::vector<std::string> names = makeFilterNames();
    cw::CodeSense pane;
    pane.registerScriptLanguage(names);
    pane.selectLanguage(QStringLiteral("Avisynth"));
    pane.setScript(cw::DecodedText{makeScript(names), cw::TextEncoding::Utf8, "\r\n"});
    auto* sci = static_cast<QsciScintilla*>(pane.editorWidget());
    const auto start = static_cast<unsigned long>(sci->positionFromLineIndex(10000, 0));
    const long end = sci->positionFromLineIndex(10100, 0);
    sci->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, end);
    if (pane.styleAt(start + 12) != static_cast<int>(cw::ScriptStyle::Keyword))
        state.SkipWithError("no keyword was recognised");
    for (auto _ : state)
        sci->SendScintilla(QsciScintillaBase::SCI_COLOURISE, start, end);
}
BENCHMARK(BM_LexerStylesHundredVisibleLines)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
