#include "ui/preview/clip_properties_pane.h"

#include "core/preview/clip_properties.h"
#include "ui/base/qt_strings.h"

#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cw {
namespace {

std::vector<std::pair<QString, QString>> toQt(const std::vector<PropertyLine>& lines)
{
    std::vector<std::pair<QString, QString>> out;
    for (const PropertyLine& l : lines) out.emplace_back(fromUtf8String(l.name), fromUtf8String(l.value));
    return out;
}

} // namespace

ClipPropertiesPane::ClipPropertiesPane(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("PropertiesPane"));
    setWindowTitle(QStringLiteral("Properties"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tree = new QTreeWidget(this);
    m_tree->setAccessibleName(QStringLiteral("Clip and frame properties"));
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value")});
    m_tree->setRootIsDecorated(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    layout->addWidget(m_tree);
    m_clip = new QTreeWidgetItem(m_tree, {QStringLiteral("Clip")});
    m_frame = new QTreeWidgetItem(m_tree, {QStringLiteral("Frame")});
    for (QTreeWidgetItem* section : {m_clip, m_frame}) {
        QFont bold = section->font(0);
        bold.setBold(true);
        section->setFont(0, bold);
        section->setFirstColumnSpanned(true);
        section->setExpanded(true);
    }
    resize(340, 420);
}

void ClipPropertiesPane::showClip(const ClipFacts& facts)
{
    fill(m_clip, toQt(clipFactLines(facts, toUtf8String(QLocale().decimalPoint()))));
}

void ClipPropertiesPane::showFrame(int number, const std::vector<FrameProperty>& properties)
{
    // Playback shows many frames a second; a pane that only repeats itself
    // is left alone.
    if (number == m_shownNumber && properties == m_shownProperties) return;
    m_shownNumber = number;
    m_shownProperties = properties;
    m_frame->setText(0, QStringLiteral("Frame %1").arg(number));
    std::vector<std::pair<QString, QString>> lines = toQt(framePropertyLines(properties));
    if (lines.empty()) lines.emplace_back(QStringLiteral("(no properties)"), QString());
    fill(m_frame, lines);
}

// Items are reused, so a selection or a scroll position survives.
void ClipPropertiesPane::fill(QTreeWidgetItem* section, const std::vector<std::pair<QString, QString>>& lines)
{
    while (section->childCount() > static_cast<int>(lines.size())) delete section->takeChild(section->childCount() - 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        QTreeWidgetItem* item = i < static_cast<std::size_t>(section->childCount())
                                    ? section->child(static_cast<int>(i))
                                    : new QTreeWidgetItem(section);
        item->setText(0, lines[i].first);
        item->setText(1, lines[i].second);
    }
}

} // namespace cw
