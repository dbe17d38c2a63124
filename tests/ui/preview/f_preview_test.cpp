#include "ui/preview/f_preview.h"
#include "ui/preview/preview_tool_row.h"

#include "core/preview/media_player.h"
#include "ui/controls/cpv_slider.h"

#include "support/ui_fixtures.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

namespace cw {
namespace {

// A preview window of its own over the stand-in frame server, which paints
// frame n with blue n. Its script goes to preview.avs in a temporary folder;
// the companion stands in for the main window, whose keys it also takes.
struct PreviewFixture {
    explicit PreviewFixture(const std::string& text) : script(text)
    {
        player.service().setFrameServerProgram(CLIPWRIGHT_FRAMESERVER);
        player.service().setAviSynthLibraryNames({CLIPWRIGHT_FAKE_AVISYNTH});
        companion.resize(200, 100);
    }
    ~PreviewFixture() { delete preview.data(); }

    // Opens the preview, or reloads it when it is open; null when it unloaded.
    fPreview* open()
    {
        if (!preview) {
            preview = new fPreview(player, [this] { return writeScript(); }, &companion);
            QObject::connect(preview, &fPreview::openFailed, [this](const QString& text) { failures << text; });
        }
        if (!preview->startPreview()) return nullptr;
        preview->show();
        return preview;
    }
    QString writeScript() { return QString::fromStdString(temp.write("preview.avs", script)); }
    QLabel* panel(int n) { return preview->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(n)); }
    QPushButton* button(const char* name) { return preview->findChild<QPushButton*>(name); }
    // The frame on screen once the newest one asked for has come.
    int frameShown()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !preview->isFramePending(); }, 5000));
        return preview->frameVideo()->image().pixelColor(0, 0).blue();
    }
    QString frameMessage(const QString& startingWith)
    {
        // The caller compares the whole message, which says what came instead.
        (void)QTest::qWaitFor([&] { return preview->frameVideo()->message().startsWith(startingWith); }, 5000);
        return preview->frameVideo()->message();
    }
    int sliderValue() { return preview->slider()->Value(); }
    MediaCommandService& service() { return player.service(); }
    void key(QWidget* target, QEvent::Type type, Qt::Key k)
    {
        QKeyEvent event(type, k, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    test::TempDir temp;
    test::RecordingPrompts prompts;
    std::string script;
    MediaPlayer player;
    QWidget companion;
    // Takes the arrows itself, as the script pane does.
    QLineEdit* inCompanion = new QLineEdit(&companion);
    QPointer<fPreview> preview;
    QStringList failures;
};

TEST(Preview, OpensOnTheFirstFrameWithTheClipFactsInTheStatusBar)
{
    PreviewFixture p("#fake 64 48 25 1 10");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), "Preview");

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

    // The clip opens in this window's frame handle and stands at frame 0.
    const auto& log = p.service().commandLog();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "open \"" + p.temp.file("preview.avs") + "\" type AviVideo Alias movie parent " +
                            std::to_string(preview->frameHandle()) + " Style 1073741824"),
              log.end());
    EXPECT_EQ(log.back(), "play movie from 0 to 0");
}

TEST(Preview, ButtonsStepAndStopAtBothEndsAndOnlyOurWindowsArrowsStep)
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

    // A tap steps at the next tick in the preview and in its companion, not
    // in any other window.
    const auto tap = [&](QWidget* target) {
        p.key(target, QEvent::KeyPress, Qt::Key_Left);
        p.key(target, QEvent::KeyRelease, Qt::Key_Left);
        preview->tick();
        return p.sliderValue();
    };
    EXPECT_EQ(tap(p.button("cmdOk")), 2);
    EXPECT_EQ(tap(p.inCompanion), 1);
    QWidget stranger;
    EXPECT_EQ(tap(&stranger), 1);
    EXPECT_EQ(p.frameShown(), 1);

    // A key still held when the program loses the keyboard steps no more.
    p.key(preview, QEvent::KeyPress, Qt::Key_Right);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 2);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QApplication::sendEvent(qApp, &inactive);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 2);
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
    p.player.closeAllMovies();
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 0);
    EXPECT_EQ(p.panel(3)->text(), "Frame 0 (00:00:00.000)");
    p.player.clipInfo().lengthInFrames = -1;
    preview->MoveSliderTo(1);
    p.key(preview, QEvent::KeyPress, Qt::Key_Left);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 0);
}

TEST(Preview, AReloadStartsAtFrame0AndF5ReloadsOnceAndClosingClosesTheClip)
{
    PreviewFixture p("#fake 64 48 25 1 10");
    QPointer<fPreview> preview = p.open();
    ASSERT_TRUE(preview);
    p.button("cmdNextFrame")->click();

    p.script = "#fake 32 24 25 1 5";
    EXPECT_EQ(p.open(), preview);
    EXPECT_EQ(p.panel(1)->text(), "32x24 @ 25.000 fps");
    EXPECT_EQ(p.sliderValue(), 0);
    EXPECT_EQ(p.frameShown(), 0);
    EXPECT_EQ(preview->slider()->Max(), 4);

    // In the preview itself F5 is a shortcut that does not repeat.
    QApplication::setActiveWindow(preview);
    p.service().clearCommandLog();
    QTest::keyPress(preview, Qt::Key_F5);
    for (int i = 0; i < 2; ++i)
        QTest::simulateEvent(static_cast<QWidget*>(preview), true, Qt::Key_F5, Qt::NoModifier, QString(), true);
    QTest::keyRelease(preview, Qt::Key_F5);
    preview->tick();
    const auto& log = p.service().commandLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& c) { return c.rfind("open ", 0) == 0; }), 1);

    p.button("cmdOk")->click();
    EXPECT_TRUE(preview->isUnloaded());
    EXPECT_EQ(p.service().openCount(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(preview);
}

// The frame server's own words go to the window's owner, which shows them.
TEST(Preview, AScriptErrorIsHandedOnInItsOwnWordsAndTheWindowUnloads)
{
    PreviewFixture p("Version()\r\nBogus(1)");
    EXPECT_EQ(p.open(), nullptr);
    EXPECT_EQ(p.failures, QStringList{"Script error: There is no function named 'Bogus'.\n(" +
                                      QString::fromStdString(p.temp.file("preview.avs")) + ", line 2)"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<fPreview*>(w), nullptr);
    EXPECT_EQ(p.service().openCount(), 0);

    // An open preview that is reloaded with a broken script closes too.
    p.script = "#fake 64 48 25 1 10";
    ASSERT_NE(p.open(), nullptr);
    p.script = "Bogus";
    EXPECT_EQ(p.open(), nullptr);
    EXPECT_EQ(p.service().openCount(), 0);
}

// A slow frame says so; the window goes on meanwhile.
TEST(Preview, ASlowFrameSaysItIsRendering)
{
    PreviewFixture p("#fake 64 48 25 1 10\n#fake-slow 400");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(p.frameShown(), 0);
    preview->MoveSliderTo(5);
    EXPECT_EQ(p.panel(3)->text(), "Frame 5 (00:00:00.200)");
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.panel(3)->text() == "Rendering frame 5..."; }, 2000));
    EXPECT_EQ(p.frameShown(), 5);
    EXPECT_EQ(p.panel(3)->text(), "Frame 5 (00:00:00.200)");
}

// A frame server that crashes or hangs takes nothing down with it: the
// window says what happened and the next reload starts a new one.
TEST(Preview, ACrashOrAStoppedHangIsShownAndTheNextReloadWorks)
{
    for (const auto& [fault, text] :
         {std::pair{"#fake-crash 3", "The frame server stopped (signal 11, Segmentation fault) while rendering frame 3."},
          std::pair{"#fake-hang 3", "The frame server was stopped while rendering frame 3."}}) {
        SCOPED_TRACE(fault);
        PreviewFixture p(std::string("#fake 64 48 25 1 10\n") + fault);
        fPreview* preview = p.open();
        ASSERT_NE(preview, nullptr);
        preview->MoveSliderTo(3);
        if (std::string(fault).find("hang") != std::string::npos) {
            QTest::qWait(300);
            p.button("cmdStop")->click();
        }
        EXPECT_EQ(p.frameMessage("The frame server"), text);
        EXPECT_TRUE(preview->isVisible());

        p.script = "#fake 32 24 25 1 5";
        ASSERT_EQ(p.open(), preview);
        EXPECT_EQ(p.frameShown(), 0);
        EXPECT_TRUE(preview->frameVideo()->message().isEmpty());
    }
}

// Stop also ends a script that never finishes opening; the window, shown
// meanwhile, then closes.
TEST(Preview, AScriptThatHangsWhileOpeningCanBeStopped)
{
    PreviewFixture p("#fake 64 48 25 1 10\n#fake-hang open");
    bool shownWhileOpening = false;
    QTimer::singleShot(600, [&] {
        shownWhileOpening = p.preview && p.preview->isVisible() && p.preview->isOpening() &&
                            p.preview->frameVideo()->message() == "Opening the script...";
        p.button("cmdStop")->click();
    });
    EXPECT_EQ(p.open(), nullptr);
    EXPECT_TRUE(shownWhileOpening);
    EXPECT_EQ(p.failures, QStringList{"The frame server was stopped while opening the script."});
}

} // namespace
} // namespace cw

namespace cw {
namespace {

QLabel* panel(fPreview* preview, int n)
{
    return preview->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(n));
}

// Keys typed into the go-to field stay there: nothing steps until Enter,
// and an entry that names no frame turns red and moves nothing.
TEST(PreviewWorkbench, TheGoToFieldTakesItsOwnKeysAndEnterJumps)
{
    PreviewFixture p("#fake 64 48 25 1 100");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    QApplication::setActiveWindow(preview);
    QTest::keyClick(preview, Qt::Key_G, Qt::ControlModifier);
    QLineEdit* field = preview->toolRow()->goToField();
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->accessibleName(), "Go to frame");

    QTest::keyClicks(field, "2.5");
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_PageDown})
        QTest::keyClick(field, k);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 0);
    EXPECT_EQ(field->text(), "2.5");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(p.sliderValue(), 62); // 2.5 s at 25 fps
    EXPECT_EQ(p.frameShown(), 62);

    field->setFocus();
    field->setText("1:61");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(p.sliderValue(), 62);
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(0xff, 0xc8, 0xc8));
    EXPECT_FALSE(field->toolTip().isEmpty());
    QTest::keyClicks(field, "x");
    EXPECT_EQ(field->palette().color(QPalette::Base), QPalette().color(QPalette::Base));

    // Back on the frame, the preview's own keys step.
    preview->frameVideo()->setFocus();
    QTest::keyClick(preview->frameVideo(), Qt::Key_End);
    EXPECT_EQ(p.sliderValue(), 99);
    QTest::keyClick(preview->frameVideo(), Qt::Key_Left, Qt::ShiftModifier);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 74);
    QTest::keyClick(preview->frameVideo(), Qt::Key_PageUp);
    preview->tick();
    EXPECT_EQ(p.sliderValue(), 64);
}

TEST(PreviewWorkbench, TheZoomMenuMarksTheZoomAndOffersOnlyTheStepsThereAre)
{
    PreviewFixture p("#fake 64 48 25 1 10");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(p.frameShown(), 0);
    const auto command = [&](const char* name) { return preview->findChild<QAction*>(name); };
    const auto checked = [&] {
        for (QAction* a : preview->toolRow()->zoomButton()->menu()->actions())
            if (a->isChecked()) return a->objectName();
        return QString();
    };
    EXPECT_EQ(checked(), "cmdZoomFit");
    EXPECT_EQ(preview->toolRow()->zoomButton()->text(), "Fit");
    EXPECT_EQ(command("cmdZoom100")->shortcut(), QKeySequence("Ctrl+1"));
    EXPECT_EQ(command("cmdZoomFit")->shortcut(), QKeySequence("Ctrl+0"));

    command("cmdZoomIn")->trigger(); // from fit at 100%
    EXPECT_EQ(checked(), "cmdZoom200");
    command("cmdZoomIn")->trigger();
    EXPECT_EQ(checked(), "cmdZoom400");
    EXPECT_FALSE(command("cmdZoomIn")->isEnabled());
    EXPECT_TRUE(command("cmdZoomOut")->isEnabled());
    EXPECT_EQ(preview->toolRow()->zoomButton()->text(), "400%");
    for (int i = 0; i < 3; ++i) command("cmdZoomOut")->trigger();
    EXPECT_EQ(checked(), "cmdZoom50");
    EXPECT_FALSE(command("cmdZoomOut")->isEnabled());
    command("cmdZoomFit")->trigger();
    EXPECT_EQ(checked(), "cmdZoomFit");

    // The pixel under the pointer, at 400%, from the frame server (the
    // stand-in paints R = column, G = row, B = frame).
    preview->toolRow()->setZoom({false, 400});
    FrameView* view = preview->frameVideo();
    const ZoomGeometry g = view->placement();
    const double ratio = view->viewport()->devicePixelRatioF();
    const QPoint at(static_cast<int>((g.left + 4 * 30 + 2) / ratio), static_cast<int>((g.top + 4 * 20 + 2) / ratio));
    QTest::mouseMove(view->viewport(), at);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel(preview, 6)->text() == "30, 20: R 30 G 20 B 0"; }, 5000))
        << panel(preview, 6)->text().toStdString();
}

TEST(PreviewWorkbench, PlaybackRunsAtTheClipsRateStopsAtTheEndAndAStepStopsIt)
{
    PreviewFixture p("#fake 64 48 50 1 25"); // half a second
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(p.frameShown(), 0);
    QElapsedTimer clock;
    std::vector<std::pair<int, qint64>> seen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { seen.emplace_back(preview->shownFrame(), clock.elapsed()); });
    clock.start();
    preview->togglePlayback();
    sampler.start(5);
    EXPECT_TRUE(preview->isPlaying());
    EXPECT_TRUE(panel(preview, 5)->text().startsWith("playing"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->isPlaying(); }, 5000));
    const qint64 took = clock.elapsed();
    EXPECT_EQ(preview->shownFrame(), 24);
    EXPECT_EQ(p.sliderValue(), 24);
    EXPECT_GE(took, 470); // 24 frames of 20 ms
    EXPECT_LT(took, 1500);
    // Never ahead of the clock.
    for (const auto& [frame, at] : seen) EXPECT_LE(frame, at / 20 + 1) << frame << " at " << at << " ms";
    EXPECT_TRUE(panel(preview, 5)->text().isEmpty());

    // From the last frame it starts over; a step stops it.
    preview->togglePlayback();
    EXPECT_TRUE(preview->isPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview->shownFrame() >= 3 && preview->shownFrame() < 24; }, 5000))
        << preview->shownFrame() << " " << preview->isPlaying();
    p.button("cmdNextFrame")->click();
    EXPECT_FALSE(preview->isPlaying());
    const int stepped = p.sliderValue();
    QTest::qWait(100);
    EXPECT_EQ(p.sliderValue(), stepped);
}

// F5 keeps the frame when asked to, held within a shorter clip.
TEST(PreviewWorkbench, AReloadKeepsTheFrameWhenAskedAndBookmarksTickTheSlider)
{
    PreviewFixture p("#fake 64 48 25 1 10");
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    preview->setKeepFrameOnReload(true);
    preview->MoveSliderTo(7);
    EXPECT_EQ(p.frameShown(), 7);
    ASSERT_EQ(p.open(), preview);
    EXPECT_EQ(p.sliderValue(), 7);
    EXPECT_EQ(p.frameShown(), 7);
    p.script = "#fake 64 48 25 1 5";
    ASSERT_EQ(p.open(), preview);
    EXPECT_EQ(p.frameShown(), 4);

    BookmarkSet changed;
    QObject::connect(preview, &fPreview::bookmarksChanged, [&](const BookmarkSet& b) { changed = b; });
    preview->toggleBookmark();
    preview->MoveSliderTo(1);
    preview->toggleBookmark();
    EXPECT_EQ(changed, (BookmarkSet{1, 4}));
    EXPECT_EQ(preview->slider()->ticks(), (std::vector<int>{1, 4}));
    preview->jumpToBookmark(true);
    preview->jumpToBookmark(true);
    EXPECT_EQ(p.sliderValue(), 4);
    preview->jumpToBookmark(false);
    preview->toggleBookmark();
    EXPECT_EQ(changed, BookmarkSet{4});
}

} // namespace
} // namespace cw

namespace cw {
namespace {

// The frame as the clip has it, where the user chooses, beside the script by
// default; a file there already is replaced only when the user says so.
TEST(PreviewWorkbench, SaveFrameWritesTheShownFrameAsPngAndCtrlCCopiesIt)
{
    PreviewFixture p("#fake 64 48 25 1 10");
    test::ScriptedFileDialogs dialogs;
    fPreview* preview = p.open();
    ASSERT_NE(preview, nullptr);
    preview->setSource([&p] { return p.writeScript(); }, QString::fromStdString(p.temp.file("clip.avs")));
    preview->MoveSliderTo(6);
    EXPECT_EQ(p.frameShown(), 6);

    const QString saved = QString::fromStdString(p.temp.file("clip-6.png"));
    dialogs.choices.push_back({saved});
    preview->saveFrame();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].initialName, "clip-6.png");
    EXPECT_EQ(dialogs.requests[0].directory, QString::fromStdString(p.temp.path()));
    QImage png(saved);
    ASSERT_EQ(png.size(), QSize(64, 48));
    EXPECT_EQ(png.pixelColor(10, 20), QColor(10, 20, 6));

    // Asked, and answered No: the file stays as it was.
    p.temp.write("clip-6.png", "kept");
    dialogs.choices.push_back({saved});
    preview->saveFrame();
    EXPECT_EQ(p.temp.read("clip-6.png"), "kept");
    EXPECT_EQ(p.prompts.shown.back().title, "Save Frame");

    preview->copyFrame();
    EXPECT_EQ(QApplication::clipboard()->image().pixelColor(10, 20), QColor(10, 20, 6));
}

} // namespace
} // namespace cw
