#pragma once

#include "core/defs/definition_model.h"

#include <QIcon>
#include <QString>

#include <string_view>

class QTreeWidget;
class QTreeWidgetItem;

namespace cw {

// The pictures of the tree's image list, by their position (1, 2, 4, 5).
enum class TreeImage { plugin = 1, filter = 2, category = 4, uncategorized = 5 };

QIcon treeImageIcon(TreeImage image);

// The key of the uncategorized group node.
inline constexpr std::string_view uncategorizedKey = "kUncategorized";

// The key of a category's node: the category itself, unless that could equal
// another node's key ("kUncategorized" or a plugin or filter key, "k" and
// 8 digits) or begins with "category:"; then "category:" + category. Two
// categories (valid UTF-8, as the loader gives them) never share a key.
QString categoryNodeKey(std::string_view category);

// The key and image position a node was given.
QString nodeKey(const QTreeWidgetItem* node);
int nodeImage(const QTreeWidgetItem* node);

// Rebuilds tree with one node per plugin and its filters below it, in load
// order; plugin nodes are alphabetical once a category view has been built
// on this tree.
void fillTreeByPlugin(QTreeWidget& tree, const DefinitionModel& model);

// Rebuilds tree with one node per category, alphabetical ignoring letter
// case, each holding its filters in load order, and a "???" group for the
// uncategorized ones unless hideUncategorized. From then on the tree keeps
// its top-level nodes alphabetical in either view.
void fillTreeByCategory(QTreeWidget& tree, const DefinitionModel& model, bool hideUncategorized);

// Puts the first plugin of scriptModel, with its filters, first in the tree
// in place of the one put there before (expanded if that was); removes it
// when the model has none. Drawn as a plugin, or as a category byCategory.
void placeScriptNode(QTreeWidget& tree, const DefinitionModel& scriptModel, bool byCategory);

} // namespace cw
