#pragma once
// Drops as a file manager makes them: file URLs with their text beside them (which a box would
// insert if it took the drop as text), copy, move and link offered. The drag enters the target
// and then drops there, as Qt delivers them.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

struct DropAnswer {
    bool entered = false; // the drag was welcome (else the drop cursor shows a refusal)
    bool dropped = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

inline std::unique_ptr<QMimeData> fileUrls(const std::vector<std::string>& paths)
{
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    QString text;
    for (const std::string& path : paths) {
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
        text += urls.back().toString() + QLatin1Char('\n');
    }
    mime->setUrls(urls);
    mime->setText(text);
    return mime;
}

inline DropAnswer dropOn(QWidget* target, const QMimeData& mime,
                         Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return {enter.isAccepted(), drop.isAccepted(), drop.dropAction()};
}
