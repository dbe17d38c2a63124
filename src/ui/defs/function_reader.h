#pragma once

#include "core/frameserver/frame_server_client.h"

#include <QObject>
#include <QString>

class QAction;
class QWidget;

namespace cw {

class DefinitionSets;
class Settings;

// "Read Functions from AviSynth+" in the Definitions menu: a frame server of
// its own loads AviSynth+ with every autoload plugin and lists the functions;
// a definition set is written from them and chosen. Nothing of AviSynth+
// runs in the editor, so a plugin that crashes takes only that server down.
class FunctionReader : public QObject {
    Q_OBJECT
public:
    FunctionReader(DefinitionSets& sets, Settings& settings, QWidget& window);

    void attachMenu(QAction* item);
    // Tests use the stand-in frame server.
    void setFrameServerOptions(FrameServerOptions options) { m_options = std::move(options); }

    // The menu command. Shows progress while the server works, which the
    // user may cancel; a failure is shown and leaves every set as it was.
    void readFunctions();

    // Start-up: when the chosen set was read from another AviSynth+ than the
    // one installed (its library's version), a note for the status bar, and
    // the menu item offers to read again; "" otherwise. Cheap: the set's name
    // holds its version.
    QString checkVersion(const QString& installedVersion);

signals:
    // A set was written and chosen.
    void setWritten();

private:
    DefinitionSets& m_sets;
    Settings& m_settings;
    QWidget& m_window;
    FrameServerOptions m_options;
    QAction* m_item = nullptr;
};

} // namespace cw
