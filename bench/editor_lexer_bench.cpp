#include "core/editor/script_styler.h"
#include "ui/editor/code_sense.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> makeFilterNames()
{
    static const char* stems[] = {"Convolve", "Resize", "Denoise", "Source", "Overlay",
                                  "Levels",   "Tweak",  "Blur",    "Sharpen", "Crop"};
    std::vector<std::string> names;
    for (int i = 0; i < 10000; ++i) {
        std::string name;
        name += static_cast<char>('A' + i % 26);
        name += static_cast<char>('a' + (i / 26) % 26);
        name += static_cast<char>('a' + (i / 676) % 26);
        names.push_back(name + stems[i % 10]);
    }
    return names;
}

std::string makeScript(const std::vector<std::string>& names)
{
    std::string script;
    for (int line = 0; line < 20000; ++line) {
        const std::string& name = names[static_cast<std::size_t>(line * 7919) % names.size()];
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

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
