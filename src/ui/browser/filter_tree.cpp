#include "ui/browser/filter_tree.h"

#include "ui/base/qt_strings.h"

#include <QList>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

// The icons live in a static library, whose resource object the linker keeps
// only when something refers to it.
static void initBrowserIcons()
{
    Q_INIT_RESOURCE(browser_icons);
}

namespace cw {
namespace {

constexpr int keyRole = Qt::UserRole;
constexpr int imageRole = Qt::UserRole + 1;
constexpr int scriptNodeRole = Qt::UserRole + 2;
constexpr std::string_view categoryKeyPrefix = "category:";
// Set on a tree once a category view has been built on it.
const char* const sortsTopLevelProperty = "sortsTopLevelNodes";

bool isGeneratedKey(std::string_view text)
{
    return text.size() == 9 && text[0] == 'k' &&
           std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The four pictures are shared by every node of one build.
struct Icons {
    QIcon plugin = treeImageIcon(TreeImage::plugin);
    QIcon filter = treeImageIcon(TreeImage::filter);
    QIcon category = treeImageIcon(TreeImage::category);
    QIcon uncategorized = treeImageIcon(TreeImage::uncategorized);
};

// A node answers its text, key, picture and icon from fields of its own.
// Stored as item data they would cost four QVariant stores per node, most
// of the time a tree of ten thousand filters takes to build and to free;
// the key, read on a click, is converted only then. Data set on the node
// afterwards, through the item's own calls, wins.
class Node final : public QTreeWidgetItem {
public:
    Node(std::string key, QString text, TreeImage image, const QIcon& icon)
        : m_key(std::move(key)), m_text(std::move(text)), m_icon(icon), m_image(image)
    {
    }

    QVariant data(int column, int role) const override
    {
        QVariant set = QTreeWidgetItem::data(column, role);
        if (set.isValid() || column != 0) return set;
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_text;
        case Qt::DecorationRole:
            return m_icon;
        case keyRole:
            return fromUtf8String(m_key);
        case imageRole:
            return static_cast<int>(m_image);
        default:
            return set;
        }
    }

private:
    std::string m_key;
    QString m_text;
    QIcon m_icon;
    TreeImage m_image;
};

QTreeWidgetItem* makeNode(std::string key, std::string_view text, TreeImage image, const QIcon& icon)
{
    return new Node(std::move(key), fromUtf8String(text), image, icon);
}

QTreeWidgetItem* makeFilterNode(const CFilter& filter, const Icons& icons)
{
    return makeNode(filter.key, filter.title, TreeImage::filter, icons.filter);
}

std::string categoryKey(std::string_view category)
{
    const bool clashes =
        category == uncategorizedKey || isGeneratedKey(category) || category.starts_with(categoryKeyPrefix);
    return clashes ? std::string(categoryKeyPrefix).append(category) : std::string(category);
}

// Replaces the tree's nodes by topLevel, placed alphabetically (ignoring
// letter case, equal texts in build order) when the tree sorts. The tree's
// own sorting is not used: it would sort the children as well, and with case.
void setTopLevelNodes(QTreeWidget& tree, QList<QTreeWidgetItem*> topLevel)
{
    if (tree.property(sortsTopLevelProperty).toBool())
        std::stable_sort(topLevel.begin(), topLevel.end(), [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
            return QString::compare(a->text(0), b->text(0), Qt::CaseInsensitive) < 0;
        });
    tree.addTopLevelItems(topLevel);
}

} // namespace

QIcon treeImageIcon(TreeImage image)
{
    [[maybe_unused]] static const bool registered = (initBrowserIcons(), true);
    switch (image) {
    case TreeImage::plugin:
        return QIcon(QStringLiteral(":/browser/plugin.svg"));
    case TreeImage::filter:
        return QIcon(QStringLiteral(":/browser/filter.svg"));
    case TreeImage::category:
        return QIcon(QStringLiteral(":/browser/category.svg"));
    case TreeImage::uncategorized:
        return QIcon(QStringLiteral(":/browser/uncategorized.svg"));
    }
    return {};
}

QString categoryNodeKey(std::string_view category)
{
    return fromUtf8String(categoryKey(category));
}

QString nodeKey(const QTreeWidgetItem* node)
{
    return node->data(0, keyRole).toString();
}

int nodeImage(const QTreeWidgetItem* node)
{
    return node->data(0, imageRole).toInt();
}

void fillTreeByPlugin(QTreeWidget& tree, const DefinitionModel& model)
{
    tree.clear();
    const Icons icons;
    QList<QTreeWidgetItem*> topLevel;
    topLevel.reserve(static_cast<qsizetype>(model.plugins().size()));
    for (const CPlugin& plugin : model.plugins()) {
        QTreeWidgetItem* pluginNode = makeNode(plugin.key, plugin.title, TreeImage::plugin, icons.plugin);
        for (const CFilter& filter : plugin.filters) pluginNode->addChild(makeFilterNode(filter, icons));
        topLevel.append(pluginNode);
    }
    setTopLevelNodes(tree, std::move(topLevel));
}

void fillTreeByCategory(QTreeWidget& tree, const DefinitionModel& model, bool hideUncategorized)
{
    tree.clear();
    tree.setProperty(sortsTopLevelProperty, true);
    const Icons icons;
    QList<QTreeWidgetItem*> topLevel;
    // By the category's exact bytes, so categories never merge whatever
    // their keys or texts look like.
    std::unordered_map<std::string_view, QTreeWidgetItem*> categoryNodes;
    for (const std::string& category : model.categories()) {
        QTreeWidgetItem* node =
            makeNode(categoryKey(category), category, TreeImage::category, icons.category);
        categoryNodes.emplace(category, node);
        topLevel.append(node);
    }
    QTreeWidgetItem* uncategorized = nullptr;
    for (const CPlugin& plugin : model.plugins()) {
        for (const CFilter& filter : plugin.filters) {
            if (model.isKnownCategory(filter.category)) {
                categoryNodes.at(filter.category)->addChild(makeFilterNode(filter, icons));
                continue;
            }
            if (hideUncategorized) continue;
            if (!uncategorized) {
                uncategorized =
                    makeNode(std::string(uncategorizedKey), "???", TreeImage::uncategorized, icons.uncategorized);
                topLevel.append(uncategorized);
            }
            uncategorized->addChild(makeFilterNode(filter, icons));
        }
    }
    setTopLevelNodes(tree, std::move(topLevel));
}

void placeScriptNode(QTreeWidget& tree, const DefinitionModel& scriptModel, bool byCategory)
{
    bool expanded = false;
    if (QTreeWidgetItem* first = tree.topLevelItem(0); first && first->data(0, scriptNodeRole).toBool()) {
        expanded = first->isExpanded();
        delete first;
    }
    if (scriptModel.plugins().empty()) return;
    const Icons icons;
    const CPlugin& plugin = scriptModel.plugins().front();
    const TreeImage image = byCategory ? TreeImage::category : TreeImage::plugin;
    QTreeWidgetItem* node = makeNode(plugin.key, plugin.title, image,
                                     byCategory ? icons.category : icons.plugin);
    node->setData(0, scriptNodeRole, true);
    for (const CFilter& filter : plugin.filters) node->addChild(makeFilterNode(filter, icons));
    tree.insertTopLevelItem(0, node);
    node->setExpanded(expanded);
}

} // namespace cw
