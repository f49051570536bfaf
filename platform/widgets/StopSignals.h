#pragma once
// The stop signals (SIGINT, SIGTERM, SIGHUP) as a Qt signal, for whatever must end when the
// program is asked to stop: a running archiver, the event loop.
#include <QObject>

class QSocketNotifier;

namespace pkm {

class StopSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers (once) and watches them; needs the application object.
    static StopSignals* install();
    // Null until installed.
    static StopSignals* instance();

signals:
    void stopRequested(int signal);

private:
    explicit StopSignals(QObject* parent);
    QSocketNotifier* notifier_;
};

} // namespace pkm
