#include "support/definition_files.h"
#include "ui/browser/filter_tree.h"

#include <QSet>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>

namespace cw {
namespace {

using test::filterXml;
using test::pluginXml;

// One line per node, "text @image", children indented by two blanks.
QStringList outline(const QTreeWidget& tree)
{
    QStringList lines;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it)
        lines << QString((*it)->parent() ? "  " : "") + (*it)->text(0) + " @" + QString::number(nodeImage(*it));
    return lines;
}

// Every node collapsed, keyed as its kind demands, and no key twice.
void expectKeysAndState(const QTreeWidget& tree, const DefinitionModel& model)
{
    QSet<QString> keys;
    int nodes = 0;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it, ++nodes) {
        const std::string text = (*it)->text(0).toStdString();
        const auto kind = static_cast<TreeImage>(nodeImage(*it));
        const auto plugin = std::find_if(model.plugins().begin(), model.plugins().end(),
                                         [&](const CPlugin& p) { return p.title == text; });
        const QString expected = kind == TreeImage::plugin ? QString::fromStdString(plugin->key)
                                 : kind == TreeImage::filter
                                     ? QString::fromStdString(model.findFilterByTitle(text)->key)
                                 : kind == TreeImage::category ? categoryNodeKey(text)
                                                               : QStringLiteral("kUncategorized");
        EXPECT_EQ(nodeKey(*it), expected) << text;
        EXPECT_FALSE((*it)->isExpanded()) << text;
        keys.insert(nodeKey(*it));
    }
    EXPECT_EQ(keys.size(), nodes);
}

TEST(FilterTree, PluginViewKeepsLoadOrderAndCategoryViewGroupsAcrossPluginsIgnoringCase)
{
    // "audio" and "Effects" come from both of the first two plugins.
    const DefinitionModel model = test::loadSet({
        {"Alpha", pluginXml(filterXml("Blur", "Effects") + filterXml("Crop", "") + filterXml("Sharpen", "Effects"))},
        {"Beta", pluginXml(filterXml("Zoom", "Geometry") + filterXml("Glow", "Effects") + filterXml("Mute", "audio")
                           + filterXml("Trim", ""))},
        {"Empty", pluginXml("")},
    });
    QTreeWidget tree;
    fillTreeByPlugin(tree, model);
    EXPECT_EQ(outline(tree), QStringList({"Alpha @1", "  Blur @2", "  Crop @2", "  Sharpen @2", "Beta @1", "  Zoom @2",
                                          "  Glow @2", "  Mute @2", "  Trim @2", "Empty @1"}));
    expectKeysAndState(tree, model);

    fillTreeByCategory(tree, model, false);
    EXPECT_EQ(outline(tree), QStringList({"??? @5", "  Crop @2", "  Trim @2", "audio @4", "  Mute @2", "Effects @4",
                                          "  Blur @2", "  Sharpen @2", "  Glow @2", "Geometry @4", "  Zoom @2"}));
    expectKeysAndState(tree, model);

    fillTreeByCategory(tree, model, true);
    EXPECT_EQ(outline(tree), QStringList({"audio @4", "  Mute @2", "Effects @4", "  Blur @2", "  Sharpen @2",
                                          "  Glow @2", "Geometry @4", "  Zoom @2"}));

    const DefinitionModel allCategorized = test::loadSet({{"Only", pluginXml(filterXml("Blur", "Effects"))}});
    fillTreeByCategory(tree, allCategorized, false);
    EXPECT_EQ(outline(tree), QStringList({"Effects @4", "  Blur @2"}));
}

TEST(FilterTree, PluginNodesStayAlphabeticalOnceACategoryViewWasBuilt)
{
    // Files load in byte order of their names, so "Zeta" comes before "alpha".
    const DefinitionModel model = test::loadSet(
        {{"alpha", pluginXml(filterXml("A1", ""))}, {"Zeta", pluginXml(filterXml("Z1", "") + filterXml("Z0", ""))}});
    QTreeWidget tree;
    fillTreeByPlugin(tree, model);
    EXPECT_EQ(outline(tree), QStringList({"Zeta @1", "  Z1 @2", "  Z0 @2", "alpha @1", "  A1 @2"}));
    fillTreeByCategory(tree, model, true);
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    fillTreeByPlugin(tree, model);
    EXPECT_EQ(outline(tree), QStringList({"alpha @1", "  A1 @2", "Zeta @1", "  Z1 @2", "  Z0 @2"}));
}

TEST(FilterTree, CategoriesSpelledLikeOtherKeysKeepTheirFiltersUnderDistinctKeys)
{
    const DefinitionModel model =
        test::loadSet({{"Odd", pluginXml(filterXml("F1", "kUncategorized") + filterXml("F2", "")
                                         + filterXml("F3", "k12345678") + filterXml("F4", "category:Effects")
                                         + filterXml("F5", "Effects") + filterXml("F6", "effects"))}});
    QTreeWidget tree;
    fillTreeByCategory(tree, model, false);
    EXPECT_EQ(outline(tree),
              QStringList({"??? @5", "  F2 @2", "category:Effects @4", "  F4 @2", "Effects @4", "  F5 @2", "effects @4",
                           "  F6 @2", "k12345678 @4", "  F3 @2", "kUncategorized @4", "  F1 @2"}));
    expectKeysAndState(tree, model);

    const std::pair<const char*, const char*> rows[] = {
        {"Effects", "Effects"},
        {"kUncategorized", "category:kUncategorized"},
        {"k12345678", "category:k12345678"},
        {"k1234567", "k1234567"},
        {"k123456789", "k123456789"},
        {"K12345678", "K12345678"},
        {"category:", "category:category:"},
        {"Category:x", "Category:x"},
        {"Farbe \xC3\xA4", "Farbe \xC3\xA4"},
    };
    for (const auto& [category, key] : rows) EXPECT_EQ(categoryNodeKey(category), QString::fromUtf8(key)) << category;
}

TEST(FilterTree, IconsDrawAtEveryScale)
{
    for (TreeImage image : {TreeImage::plugin, TreeImage::filter, TreeImage::category, TreeImage::uncategorized}) {
        for (qreal scale : {1.0, 1.5, 2.0, 3.0}) {
            const QPixmap pixmap = treeImageIcon(image).pixmap(QSize(16, 16), scale);
            EXPECT_EQ(pixmap.width(), qRound(16 * scale)) << static_cast<int>(image);
            EXPECT_GT(pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2).alpha(), 0);
        }
    }
}

} // namespace
} // namespace cw
