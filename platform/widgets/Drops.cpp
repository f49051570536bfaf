#include "platform/widgets/Drops.h"

#include "platform/drops.h"
#include "platform/widgets/TextCodec.h"

#include <QAbstractItemView>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pkm {

namespace {

// The dropped entries as local paths; an entry that is no local file is an empty path.
std::vector<std::string> droppedItems(const QMimeData* mime)
{
    std::vector<std::string> items;
    if (mime == nullptr || !mime->hasUrls())
        return items;
    for (const QUrl& url : mime->urls())
        items.push_back(url.isLocalFile() ? pathFromQString(QDir::toNativeSeparators(url.toLocalFile()))
                                          : std::string());
    return items;
}

// Copy where the source offers it, else a link; a source that offers only a move is refused.
Qt::DropAction harmlessAction(const QDropEvent* event)
{
    if (event->possibleActions() & Qt::CopyAction)
        return Qt::CopyAction;
    if (event->possibleActions() & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

// Answers the drag events of one control: `take` decides from the entries whether the drop
// is taken, and takes it on the drop itself.
class DropFilter : public QObject {
public:
    using Take = std::function<bool(const std::vector<std::string>& items, bool drop)>;
    DropFilter(QObject* parent, Take take)
        : QObject(parent)
        , take_(std::move(take))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return QObject::eventFilter(watched, event);
        auto* drop = static_cast<QDropEvent*>(event);
        const Qt::DropAction action = harmlessAction(drop);
        if (action != Qt::IgnoreAction && take_(droppedItems(drop->mimeData()), type == QEvent::Drop)) {
            drop->setDropAction(action);
            drop->accept();
        } else {
            drop->ignore();
        }
        // The control's own handling would insert the text of a refused drop.
        return true;
    }

private:
    Take take_;
};

} // namespace

void acceptFolderDrops(QLineEdit* box)
{
    box->setAcceptDrops(true);
    box->installEventFilter(new DropFilter(box, [box](const std::vector<std::string>& items, bool drop) {
        const std::optional<std::string> folder = droppedFolder(items);
        if (folder && drop)
            box->setText(pathToQString(*folder));
        return folder.has_value();
    }));
}

void acceptFileDrops(QAbstractItemView* list, std::function<bool()> ready,
                     std::function<void(const std::vector<std::string>&)> take)
{
    // Drags arrive at the list's viewport.
    list->setAcceptDrops(true);
    list->viewport()->setAcceptDrops(true);
    list->viewport()->installEventFilter(new DropFilter(
        list, [ready = std::move(ready), take = std::move(take)](const std::vector<std::string>& items, bool drop) {
            const std::vector<std::string> files = droppedFiles(items);
            if (files.empty() || !ready())
                return false;
            if (drop)
                take(files);
            return true;
        }));
}

} // namespace pkm
