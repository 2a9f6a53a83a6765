#ifndef LEDSTATUSTIMER_H
#define LEDSTATUSTIMER_H

#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

// Makes one widget flash by swapping its style sheet once a second. Several of them blink in step
// when their owner calls Stop and Restart on all of them in one pass.
class LedStatusTimer : public QObject
{
    Q_OBJECT

public:
    // `widget` is not owned and must outlive this object. Shows `firstStyle` at once.
    LedStatusTimer(QWidget* widget, const QString& firstStyle, const QString& secondStyle);
    // Leaves the widget in whatever style it showed last.
    ~LedStatusTimer() override;

    // Starts the interval afresh from now.
    void Restart();
    // Halts the flashing; the first tick after the next Restart shows the first style.
    void Stop();

public slots:
    void OnTimer();

private:
    QTimer timer;
    QWidget* widget;
    QString firstStyle;
    QString secondStyle;
    bool phase; // true: firstStyle is showing, secondStyle comes next
};

#endif // LEDSTATUSTIMER_H
