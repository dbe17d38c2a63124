#pragma once

#include "core/documents/text_encoding.h"
#include "ui/editor/code_sense.h"

#include "support/ui_fixtures.h"

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
    EditorFixture()
    {
        form->resize(900, 650);
        form->show();
        QApplication::setActiveWindow(form.get());
        form->codeSense()->focusEditor();
        QCoreApplication::processEvents();
        form->setKeywords({"AviSource", "Blur", "BlurMore", "Overlay", "Subtitle"});
        form->setCallText("Blur", "Blur(clip, float amount, [bool MMX])");
        form->setCallText("Overlay", "Overlay(clip base, clip overlay, [int x], [int y])");
    }

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
