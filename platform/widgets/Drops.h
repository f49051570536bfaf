#pragma once
// Drops from the file manager on the windows' boxes and lists. A drop that is taken is taken
// as a copy, never as a move, so the file manager never removes what was dropped; anything not
// taken is refused while it is dragged (the drop cursor says so) and never reaches the control,
// so a box never gets a dropped address or text inserted.
#include <functional>
#include <string>
#include <vector>

class QAbstractItemView;
class QLineEdit;

namespace pkm {

// A directory box: one folder dropped on it replaces its text with the folder's local path.
void acceptFolderDrops(QLineEdit* box);
// A list: files dropped on it are handed to `take`, as full paths, in the order dropped, while
// `ready` says the list can take files at all.
void acceptFileDrops(QAbstractItemView* list, std::function<bool()> ready,
                     std::function<void(const std::vector<std::string>&)> take);

} // namespace pkm
