#include "core/preview/media_player.h"
#include "support/ui_fixtures.h"
#include "ui/controls/cpv_slider.h"
#include "ui/editor/code_sense.h"
#include "ui/preview/f_preview.h"

#include <QAccessible>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace cw {
namespace {

// A main window with a temporary folder of its own and the stand-in frame
// server, which paints frame n with blue n, in place of the real one.
struct PreviewFixture {
    explicit PreviewFixture(const std::string& script)
    {
        ::setenv("TEMP", temp.path().c_str(), 1);
        f = std::make_unique<test::FormFixture>();
        ::unsetenv("TEMP");
        mediaService().setAviSynthLibraryNames({CLIPWRIGHT_FAKE_AVISYNTH});
        mediaService().clearCommandLog();
        setScript(script);
    }
    ~PreviewFixture()
    {
        f.reset();
        mediaService().setAviSynthLibraryNames(MediaCommandService::defaultAviSynthLibraryNames());
    }

    void setScript(const std::string& script) { form().codeSense()->setScript(DecodedText{script}); }
    Form1& form() { return *f->form; }
    fPreview* open()
    {
        form().command("mnuInternalPreview")->trigger();
        return form().preview();
    }
    QLabel* panel(int n) { return form().preview()->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(n)); }
    QPushButton* button(const char* name) { return form().preview()->findChild<QPushButton*>(name); }
    int frameShown() { return form().preview()->frameVideo()->image().pixelColor(0, 0).blue(); }
    int sliderValue() { return form().preview()->slider()->Value(); }
    void key(QWidget* target, QEvent::Type type, Qt::Key k, bool autoRepeat = false)
    {
        QKeyEvent event(type, k, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(target, &event);
    }

    test::TempDir temp;
    std::unique_ptr<test::FormFixture> f;
};

TEST(Preview, OpensOnTheFirstFrameWithTheClipFactsInTheStatusBar)
{
    PreviewFixture p("#fake 64 48 25 1 10");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), "Preview");
    EXPECT_EQ(p.temp.read("preview.avs"), "#fake 64 48 25 1 10\r\n");

    const char* panels[] = {"64x48 @ 25.000 fps", "Ratio: 1.333", "Frame 0 (00:00:00.000)", "Duration: 00:00:00.400"};
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(p.panel(n)->text(), panels[n - 1]);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(p.panel(n))->text(QAccessible::Name), panels[n - 1]);
    }
    EXPECT_EQ(p.button("cmdPreviousFrame")->accessibleName(), "Previous frame");
    EXPECT_EQ(p.button("cmdNextFrame")->accessibleName(), "Next frame");
    EXPECT_EQ(p.button("cmdOk")->text(), "CLOSE");

    EXPECT_EQ(p.frameShown(), 0);
    EXPECT_EQ(preview->frameVideo()->geometry(), QRect(5, 5, 64, 48));
    EXPECT_EQ(preview->slider()->Max(), 9);
    EXPECT_EQ(preview->timer().interval(), 100);
    EXPECT_TRUE(preview->timer().isActive());

    const std::string open = "open \"" + p.temp.file("preview.avs") + "\" type AviVideo Alias movie parent "
                             + std::to_string(preview->frameHandle()) + " Style 1073741824";
    EXPECT_EQ(
        mediaService().commandLog(),
        (std::vector<std::string>{"Close all", "Close all", open, "set movie time format ms", "status movie length",
                                  "set movie time format frames", "set movie time format frames", "status movie length",
                                  "Where movie destination", "Where movie destination", "set movie time format frames",
                                  "status movie length", "play movie from 0 to 0"}));
}

TEST(Preview, ButtonsAndKeysStepAndStopAtBothEnds)
{
    PreviewFixture p("#fake 64 48 25 1 4");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);

    p.button("cmdPreviousFrame")->click();
    EXPECT_EQ(p.frameShown(), 0);
    for (int i = 0; i < 5; ++i) p.button("cmdNextFrame")->click();
    EXPECT_EQ(p.sliderValue(), 3);
    EXPECT_EQ(p.frameShown(), 3);
    EXPECT_EQ(p.panel(3)->text(), "Frame 3 (00:00:00.120)");

    QWidget* inPreview = p.button("cmdOk");
    p.key(inPreview, QEvent::KeyPress, Qt::Key_Right);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 3);
    p.key(inPreview, QEvent::KeyRelease, Qt::Key_Right);

    // A held Left steps once a tick; the keyboard's own repeat adds nothing.
    p.key(inPreview, QEvent::KeyPress, Qt::Key_Left);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 2);
    for (int i = 0; i < 2; ++i) {
        p.key(inPreview, QEvent::KeyRelease, Qt::Key_Left, true);
        p.key(inPreview, QEvent::KeyPress, Qt::Key_Left, true);
    }
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 1);
    preview->tick();
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 0);
    EXPECT_EQ(p.frameShown(), 0);
    p.key(inPreview, QEvent::KeyRelease, Qt::Key_Left);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 0);

    // Taps between two ticks all count; keys typed in the script step too.
    for (int i = 0; i < 2; ++i) {
        p.key(p.form().codeSense()->editorWidget(), QEvent::KeyPress, Qt::Key_Right);
        p.key(p.form().codeSense()->editorWidget(), QEvent::KeyRelease, Qt::Key_Right);
    }
    preview->tick();
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 2);
    EXPECT_EQ(p.frameShown(), 2);

    // Keys of other windows do not step, nor does a key whose release went
    // to another program.
    QWidget stranger;
    p.key(&stranger, QEvent::KeyPress, Qt::Key_Right);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 2);
    p.key(&stranger, QEvent::KeyRelease, Qt::Key_Right);
    p.key(preview, QEvent::KeyPress, Qt::Key_Left);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 1);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QApplication::sendEvent(qApp, &inactive);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 1);
}

TEST(Preview, TheTimerLeavesAHeldThumbAloneAndTheReleaseShowsItsFrame)
{
    PreviewFixture p("#fake 64 48 25 1 11");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    cpvSlider* slider = preview->slider();
    const QPoint seven(5 + (slider->width() - 11) * 7 / 10, 10);

    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(slider, seven);
    preview->tick(); // the clip still stands at frame 0
    p.key(preview, QEvent::KeyPress, Qt::Key_Right);
    preview->tick();
    p.key(preview, QEvent::KeyRelease, Qt::Key_Right);
    EXPECT_EQ(slider->Value(), 7);
    EXPECT_EQ(p.frameShown(), 0);

    QTest::mouseRelease(slider, Qt::LeftButton, {}, seven);
    EXPECT_EQ(p.frameShown(), 7);
    preview->tick();
    EXPECT_EQ(slider->Value(), 7);
    EXPECT_EQ(p.panel(3)->text(), "Frame 7 (00:00:00.280)");
}

TEST(Preview, NothingToStepOrNoPositionKeepsTheWindowUsable)
{
    PreviewFixture p("#fake 64 48 25 1 1");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(preview->slider()->Enabled());
    EXPECT_FALSE(p.button("cmdNextFrame")->isEnabled());
    preview->MoveSliderTo(5);
    preview->MoveSliderTo(-5);
    EXPECT_EQ(p.sliderValue(), 0);
    EXPECT_EQ(p.frameShown(), 0);

    // The clip vanishes behind the window's back: queries answer -1.
    closeAllMovies();
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 0);
    EXPECT_EQ(p.panel(3)->text(), "Frame 0 (00:00:00.000)");
    currentClipInfo().lengthInFrames = -1;
    preview->MoveSliderTo(1);
    p.key(preview, QEvent::KeyPress, Qt::Key_Left);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 0);
}

TEST(Preview, F5ReloadsInTheSameWindowOnceAndClosingClosesTheClip)
{
    PreviewFixture p("#fake 64 48 25 1 10");
    QPointer<fPreview> preview = p.open();
    ASSERT_TRUE(preview);
    p.button("cmdNextFrame")->click();

    p.setScript("#fake 32 24 25 1 5\n");
    EXPECT_EQ(p.open(), preview);
    EXPECT_EQ(p.panel(1)->text(), "32x24 @ 25.000 fps");
    EXPECT_EQ(p.sliderValue(), 0);
    EXPECT_EQ(p.frameShown(), 0);
    EXPECT_EQ(preview->slider()->Max(), 4);
    EXPECT_EQ(p.temp.read("preview.avs"), "#fake 32 24 25 1 5\n");

    // In the preview itself F5 is a shortcut that does not repeat.
    QApplication::setActiveWindow(preview);
    mediaService().clearCommandLog();
    QTest::keyPress(preview, Qt::Key_F5);
    for (int i = 0; i < 2; ++i)
        QTest::simulateEvent(static_cast<QWidget*>(preview), true, Qt::Key_F5, Qt::NoModifier, QString(), true);
    QTest::keyRelease(preview, Qt::Key_F5);
    preview->tick();
    const auto& log = mediaService().commandLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& c) { return c.rfind("open ", 0) == 0; }), 1);

    p.button("cmdOk")->click();
    EXPECT_EQ(p.form().preview(), nullptr);
    EXPECT_EQ(mediaService().openCount(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(preview);

    // The next preview loads afresh; the main window's shutdown takes it down.
    preview = p.open();
    ASSERT_TRUE(preview);
    p.form().close();
    EXPECT_FALSE(preview);
    EXPECT_EQ(mediaService().openCount(), 0);
}

TEST(Preview, AScriptErrorIsShownInItsOwnWordsAndTheWindowUnloads)
{
    PreviewFixture p("Version()\r\nBogus(1)");
    EXPECT_EQ(p.open(), nullptr);
    ASSERT_FALSE(p.f->prompts.shown.empty());
    EXPECT_EQ(p.f->prompts.shown.back().title, "#error");
    EXPECT_EQ(p.f->prompts.shown.back().text, "Script error: There is no function named 'Bogus'.\n("
                                                  + QString::fromStdString(p.temp.file("preview.avs")) + ", line 2)");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<fPreview*>(w), nullptr);
    EXPECT_EQ(mediaService().openCount(), 0);

    // An open preview that is reloaded with a broken script closes too.
    p.setScript("#fake 64 48 25 1 10");
    ASSERT_NE(p.open(), nullptr);
    p.setScript("Bogus");
    EXPECT_EQ(p.open(), nullptr);
    EXPECT_EQ(mediaService().openCount(), 0);
}

} // namespace
} // namespace cw
