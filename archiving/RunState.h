#pragma once
// RunState: the one archiver run the pages allow at a time. The pages share one (through their
// PageContext): a page takes it for its run, and every page, also one built while a run goes,
// reads it and follows its changes.
#include <QObject>
#include <QString>

namespace pkm {

class RunState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool busy() const { return owner_ != nullptr; }
    // The page whose run is under way, null when none is.
    const QObject* owner() const { return owner_; }
    // Why the other pages cannot start a run meanwhile.
    const QString& reason() const { return reason_; }

    // Takes the run for `owner`; false when a run is already under way.
    bool begin(const QObject* owner, const QString& reason);
    // The run of `owner` is over.
    void end(const QObject* owner);

signals:
    void changed();

private:
    const QObject* owner_ = nullptr;
    QString reason_;
};

} // namespace pkm
