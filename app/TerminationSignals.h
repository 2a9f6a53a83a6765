#ifndef TERMINATIONSIGNALS_H
#define TERMINATIONSIGNALS_H

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into an orderly close of the main window, so that a session ended from
// outside still writes its backup and stops its workers. The handler only writes a byte into a pipe;
// the close itself runs in the event loop. Does nothing on platforms without POSIX signals.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QWidget* window, QObject* parent = nullptr);
    ~TerminationSignals() override;

private slots:
    void OnSignal();

private:
    QPointer<QWidget> window;
    QSocketNotifier* notifier = nullptr;
};

#endif // TERMINATIONSIGNALS_H
