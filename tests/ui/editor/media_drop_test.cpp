#include "ui/editor/code_sense.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace cw {
namespace {

// Sends a drag of files to the editor's view, ending in a drop at point.
bool drop(CodeSense& editor, const QStringList& files, QPoint point)
{
    QWidget* view = qobject_cast<QAbstractScrollArea*>(editor.editorWidget())->viewport();
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files) urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    QDropEvent dropped(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &dropped);
    return enter.isAccepted() && dropped.isAccepted();
}

TEST(MediaDrop, MediaFilesBecomeSourceCallsAtTheDropPointOneALine)
{
    CodeSense editor;
    editor.resize(600, 300);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    editor.setScript(DecodedText{"Blur(1)\r\nSharpen(1)\r\n", TextEncoding::Utf8, "\r\n"});

    // Far right on the first line: its end.
    EXPECT_TRUE(drop(editor, {"/v/a b.mkv", "/v/c.MP4"}, QPoint(590, 3)));
    EXPECT_EQ(editor.textUtf8(),
              "Blur(1)FFVideoSource(\"/v/a b.mkv\")\r\nFFVideoSource(\"/v/c.MP4\")\r\nSharpen(1)\r\n");
    // Anything else is the editor's own business.
    editor.setSourceFilter(QStringLiteral("LWLibavVideoSource"));
    EXPECT_FALSE(editor.dropFiles({"/v/d.mov", "/s/x.avs"}, QPoint(5, 5)));
    EXPECT_TRUE(editor.dropFiles({"/v/d.mov"}, QPoint(5, 5)));
    EXPECT_EQ(editor.textUtf8().substr(0, 30), "LWLibavVideoSource(\"/v/d.mov\")");
}

} // namespace
} // namespace cw
