#pragma once

#include "core/frameserver/protocol.h"

#include <QWidget>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace cw {

// The "Properties" pane of the preview: the clip's facts and the shown
// frame's properties, kept current as the frame changes.
class ClipPropertiesPane : public QWidget {
    Q_OBJECT
public:
    explicit ClipPropertiesPane(QWidget* parent);

    void showClip(const ClipFacts& facts);
    void showFrame(int number, const std::vector<FrameProperty>& properties);
    QTreeWidget* tree() const { return m_tree; }

private:
    void fill(QTreeWidgetItem* section, const std::vector<std::pair<QString, QString>>& lines);

    QTreeWidget* m_tree;
    QTreeWidgetItem* m_clip;
    QTreeWidgetItem* m_frame;
    int m_shownNumber = -1;
    std::vector<FrameProperty> m_shownProperties;
};

} // namespace cw
