#include "core/documents/recovery_store.h"
#include "ui/editor/code_sense.h"


#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

// Five megabytes of script lines.
std::string makeScript()
{
    std::string script;
    for (int line = 0; script.size() < 5 * 1024 * 1024; ++line)
        script += "clip" + std::to_string(line) + " = Blur(last, 1.5).Crop(8, 8, -8, -8) # step " +
                  std::to_string(line) + "\r\n";
    return script;
}

// The baseline on this machine: one plain copy of the text.
void BM_CopyText(benchmark::State& state)
{
    const std::string script = makeScript();
    for (auto _ : state) {
        std::string copy = script;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyText)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The only part of a copy that runs on the editor's thread: taking the text.
void BM_TakeTextFromEditor(benchmark::State& state)
{
    cw::CodeSense pane;
    pane.setScript(cw::DecodedText{makeScript(), cw::TextEncoding::Utf8, "\r\n"});
    for (auto _ : state) {
        pane.insertTextAtCaret(QStringLiteral("x")); // as typing would, so the text is gathered again
        std::string text = pane.textUtf8();
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_TakeTextFromEditor)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The writer thread's part: the record made and written through the atomic
// writer (temporary file, flush to disk, rename) on the disk that holds the
// user's state folder.
void BM_WriteRecoveryCopy(benchmark::State& state)
{
    std::string folder = (std::filesystem::temp_directory_path() / "cwbench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const cw::RecoveryRecord record{"/home/someone/scripts/a.avs",
                                    {makeScript(), cw::TextEncoding::Utf8, "\r\n"}};
    {
        cw::RecoveryStore store(folder + "/clipwright", "1-1");
        for (auto _ : state)
            if (!store.write(record).empty()) state.SkipWithError("the write failed");
        store.close();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteRecoveryCopy)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
