#pragma once

#include "core/base/text_encoding.h"
#include "ui/editor/code_assistance.h"
#include "ui/editor/code_sense.h"
#include "ui/editor/editing_commands.h"
#include "ui/editor/script_function_watcher.h"

#include "support/definition_files.h"
#include "support/ui_fixtures.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

#include <string>

namespace cw::test {

// The script pane with its typing help and editing commands in a shown
// window of their own, over a few loaded filters; the pane has the focus.
class EditorFixture {
public:
    EditorFixture()
    {
        const std::string opt = "<Optional>true</Optional>";
        dir.write("def/Test.xml",
                  pluginXml(filterXml("AviSource", "Source", parameterXml("path", "string")) +
                            filterXml("Blur", "Filters",
                                      parameterXml("clip", "clip") + parameterXml("amount", "float") +
                                          parameterXml("MMX", "bool", opt)) +
                            filterXml("BlurMore", "Filters", parameterXml("clip", "clip")) +
                            filterXml("Overlay", "Layers",
                                      parameterXml("base", "clip") + parameterXml("overlay", "clip") +
                                          parameterXml("x", "int", opt) + parameterXml("y", "int", opt)) +
                            filterXml("Subtitle", "Text", parameterXml("text", "string"))));
        model = loadDefinitions(dir.file("def"));
        (new QVBoxLayout(&window))->addWidget(&editor);
        editor.registerScriptLanguage(model.filterNames());
        editor.selectLanguage(QStringLiteral("Avisynth"));
        window.resize(700, 500);
        window.show();
        QApplication::setActiveWindow(&window);
        editor.focusEditor();
        QCoreApplication::processEvents();
    }

    void setScript(const std::string& utf8, const std::string& lineEnd = "\r\n")
    {
        editor.setScript(DecodedText{utf8, TextEncoding::Utf8, lineEnd});
    }
    void type(const QString& text)
    {
        QTest::keyClicks(editor.editorWidget(), text);
        QCoreApplication::processEvents();
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editor.editorWidget(), static_cast<Qt::Key>(key), modifiers);
        QCoreApplication::processEvents();
    }
    std::string text() { return editor.textUtf8(); }
    // The part of the call tip marked as the argument at the caret.
    QString marked()
    {
        const auto [start, end] = editor.callTipHighlight();
        return editor.callTipText().mid(static_cast<int>(start), static_cast<int>(end - start));
    }

    RecordingPrompts prompts;
    ScriptedFileDialogs dialogs;
    TempDir dir;
    DefinitionModel model;
    QWidget window;
    CodeSense editor{&window};
    ScriptFunctionWatcher scriptFunctions{editor};
    CodeAssistance assistance{editor, model, scriptFunctions.model()};
    EditingCommands editing{editor, window};
};

} // namespace cw::test
