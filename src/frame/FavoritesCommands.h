#pragma once
// The frame's side of the favorites: the left pane's favorites tree wired to the list, the
// history and the address bar, its commands, and Add to Favorites from the list, the folder
// tree and the viewer.

#include "frame/CommandRouting.h"

class CMainFrame;
class ItemIdList;
class QString;

namespace FavoritesCommands {

// The data folder's "Favorites"; empty when the frame has no settings file to place it by.
QString favoritesFolder(const CMainFrame& frame);
void connect(CMainFrame& frame);

// Add to Favorites (the shared id and the folder tree popup's): what `target` offers.
bool isAddCommand(int id);
bool canAdd(const CMainFrame& frame, int id, CommandTarget target);
bool add(CMainFrame& frame, int id, CommandTarget target);

// The favorites tree's own commands, when the tree is the one shown.
bool treeHandles(const CMainFrame& frame, int id);
bool treeEnabled(const CMainFrame& frame, int id);
bool treeRun(CMainFrame& frame, int id);

// Selecting a folder with navigation source 1 goes through the favorites tree; false when the
// folder is not one of its categories.
bool selectFavorite(CMainFrame& frame, const ItemIdList& folder, bool recordHistory);

}  // namespace FavoritesCommands
