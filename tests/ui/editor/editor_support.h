#pragma once

#include "core/documents/text_encoding.h"
#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"
#include "ui/browser/definition_files.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTest>

#include <string>
#include <vector>

namespace cw::test {

// A shown main window whose editor has the keyboard focus, with a few
// filters standing in for loaded definitions.
class EditorFixture : public FormFixture {
public:
    EditorFixture() : FormFixture(writeDefinitions)
    {
        form->resize(900, 650);
        form->show();
        QApplication::setActiveWindow(form.get());
        form->codeSense()->focusEditor();
        QCoreApplication::processEvents();
    }

    // A few filters in a definition file read straight from the def folder.
    static void writeDefinitions(const TempDir& home)
    {
        home.write("def/Test.xml", pluginXml(filterXml("AviSource", "Source", parameterXml("path", "string")) +
                                             filterXml("Blur", "Filters",
                                                       parameterXml("clip", "clip") +
                                                           parameterXml("amount", "float") +
                                                           parameterXml("MMX", "bool", optional)) +
                                             filterXml("BlurMore", "Filters", parameterXml("clip", "clip")) +
                                             filterXml("Overlay", "Layers",
                                                       parameterXml("base", "clip") +
                                                           parameterXml("overlay", "clip") +
                                                           parameterXml("x", "int", optional) +
                                                           parameterXml("y", "int", optional)) +
                                             filterXml("Subtitle", "Text", parameterXml("text", "string"))));
    }
    static constexpr const char* optional = "<Optional>true</Optional>";

    CodeSense& editor() { return *form->codeSense(); }
    // The widget that receives the keys.
    QWidget* keys() { return form->codeSense()->editorWidget(); }
    QWidget* viewport() { return static_cast<QAbstractScrollArea*>(keys())->viewport(); }

    void setScript(const std::string& utf8, const std::string& lineEnd = "\r\n")
    {
        editor().setScript(DecodedText{utf8, TextEncoding::Utf8, lineEnd});
    }
    void type(const QString& text)
    {
        QTest::keyClicks(keys(), text);
        QCoreApplication::processEvents();
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(keys(), static_cast<Qt::Key>(key), modifiers);
        QCoreApplication::processEvents();
    }
    std::string text() { return editor().textUtf8(); }
    // The tip's marked text without the leading blank's offset.
    QString marked()
    {
        const auto [start, end] = editor().callTipHighlight();
        return editor().callTipText().mid(static_cast<int>(start), static_cast<int>(end - start));
    }
};

} // namespace cw::test
