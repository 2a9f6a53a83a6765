#ifndef STOPSIGNALS_H
#define STOPSIGNALS_H

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into the signal Received in the event loop, so that `watch` ends its
// workers and its last line cleanly. The handler only writes a byte into a socket pair.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void Received();

private slots:
    void OnReadable();

private:
    QSocketNotifier* notifier = nullptr;
};

#endif // STOPSIGNALS_H
