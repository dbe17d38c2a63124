#pragma once

#include "core/base/text_encoding.h"
#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"
#include "ui/browser/definition_files.h"

#include <QApplication>
#include <QTest>

#include <string>

namespace cw::test {

// A shown main window whose editor has the keyboard focus, with a few
// filters standing in for loaded definitions.
class EditorFixture : public FormFixture {
public:
    EditorFixture()
        : FormFixture([](const TempDir& dir) {
              const std::string opt = "<Optional>true</Optional>";
              dir.write(
                  "def/Test.xml",
                  pluginXml(filterXml("AviSource", "Source", parameterXml("path", "string")) +
                            filterXml("Blur", "Filters",
                                      parameterXml("clip", "clip") + parameterXml("amount", "float") +
                                          parameterXml("MMX", "bool", opt)) +
                            filterXml("BlurMore", "Filters", parameterXml("clip", "clip")) +
                            filterXml("Overlay", "Layers",
                                      parameterXml("base", "clip") + parameterXml("overlay", "clip") +
                                          parameterXml("x", "int", opt) + parameterXml("y", "int", opt)) +
                            filterXml("Subtitle", "Text", parameterXml("text", "string"))));
          })
    {
        form->resize(900, 650);
        form->show();
        QApplication::setActiveWindow(form.get());
        form->codeSense()->focusEditor();
        QCoreApplication::processEvents();
    }

    CodeSense& editor() { return *form->codeSense(); }
    void setScript(const std::string& utf8, const std::string& lineEnd = "\r\n")
    {
        editor().setScript(DecodedText{utf8, TextEncoding::Utf8, lineEnd});
    }
    void type(const QString& text)
    {
        QTest::keyClicks(editor().editorWidget(), text);
        QCoreApplication::processEvents();
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editor().editorWidget(), static_cast<Qt::Key>(key), modifiers);
        QCoreApplication::processEvents();
    }
    std::string text() { return editor().textUtf8(); }
    // The part of the call tip marked as the argument at the caret.
    QString marked()
    {
        const auto [start, end] = editor().callTipHighlight();
        return editor().callTipText().mid(static_cast<int>(start), static_cast<int>(end - start));
    }
};

} // namespace cw::test
