#include "DeviceWait.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QEventLoop>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <thread>

namespace {
// All of this lives on the user-interface thread only.
DeviceWait* current = nullptr; // the innermost command's wait
int runDepth = 0;              // runs in progress, nested ones included
bool flushing = false;
bool blockingForComparison = false;
bool replaying = false; // the deferred report now called again is to run, not to be queued once more

struct DeferredReport
{
    QPointer<QObject> context;
    std::function<void()> report;
};
std::deque<DeferredReport> deferred;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

bool within(const QWidget* widget, const QWidget* area)
{
    return widget && area && (widget == area || area->isAncestorOf(widget));
}
} // namespace

DeviceWait::DeviceWait(QWidget* window)
    : window(window)
    , outer(current)
{
    current = this;
}

DeviceWait::~DeviceWait()
{
    current = outer;
    delete indication;
}

void DeviceWait::AllowCancel(const std::function<void()>& interruptCall)
{
    interrupt = interruptCall;
}

bool DeviceWait::Running()
{
    return runDepth > 0;
}

void DeviceWait::SetBlockingForComparison(bool blocking)
{
    blockingForComparison = blocking;
}

void DeviceWait::RunJob(const std::function<void()>& job)
{
    DeviceWait* wait = current;
    if (wait)
        wait->Begin();
    ++runDepth;
    if (blockingForComparison) {
        job();
    } else {
        QEventLoop loop;
        std::thread worker([&] {
            job();
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        });
        // Returns early only when the application quits; the join then waits for a call that the
        // closing window has already cut short.
        loop.exec();
        worker.join();
    }
    --runDepth;
    if (wait)
        wait->End();
    if (runDepth == 0 && !deferred.empty())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &DeviceWait::FlushDeferred, Qt::QueuedConnection);
}

bool DeviceWait::Defer(QObject* context, const std::function<void()>& report)
{
    if (replaying) {
        replaying = false;
        return false;
    }
    if (runDepth == 0 && deferred.empty())
        return false;
    deferred.push_back({context, report});
    return true;
}

void DeviceWait::FlushDeferred()
{
    // A run that started before this got its turn posts it again when it ends.
    if (runDepth > 0 || flushing)
        return;
    flushing = true;
    while (!deferred.empty() && runDepth == 0) {
        const DeferredReport next = deferred.front();
        deferred.pop_front();
        if (next.context) {
            replaying = true;
            next.report();
            replaying = false;
        }
    }
    flushing = false;
}

void DeviceWait::Begin()
{
    if (running++ > 0)
        return;
    modalAtStart = QApplication::activeModalWidget();
    qApp->installEventFilter(this);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    if (!indicationTimer) {
        indicationTimer = new QTimer(this);
        indicationTimer->setSingleShot(true);
        connect(indicationTimer, &QTimer::timeout, this, &DeviceWait::ShowIndication);
    }
    indicationTimer->start(kIndicationDelayMs);
}

void DeviceWait::End()
{
    if (--running > 0)
        return;
    indicationTimer->stop();
    if (indication)
        indication->hide();
    QGuiApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
}

void DeviceWait::ShowIndication()
{
    if (!window || !window->isVisible())
        return;
    if (!indication) {
        indication = new QFrame(window);
        indication->setObjectName(QStringLiteral("deviceWait"));
        indication->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
        indication->setAutoFillBackground(true);
        auto* layout = new QHBoxLayout(indication);
        layout->addWidget(new QLabel(tr("Waiting for the device…"), indication));
        if (interrupt) {
            auto* cancel = new QPushButton(tr("Cancel"), indication);
            cancel->setObjectName(QStringLiteral("deviceWaitCancel"));
            layout->addWidget(cancel);
            connect(cancel, &QPushButton::clicked, this, &DeviceWait::Cancel);
        }
    }
    indication->adjustSize();
    indication->move((window->width() - indication->width()) / 2, (window->height() - indication->height()) / 2);
    indication->raise();
    indication->show();
}

void DeviceWait::Cancel()
{
    if (cancelled)
        return;
    cancelled = true;
    if (interrupt)
        interrupt();
}

bool DeviceWait::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && watched == window && !windowClosed) {
        windowClosed = true;
        if (interrupt)
            interrupt();
        return false;
    }
    if (!isUserInput(event->type()))
        return false;
    // Input reaches the widgets through their windows: judge it at the widget, where it is aimed.
    if (watched->isWindowType() && event->type() != QEvent::Shortcut)
        return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    const bool allowed = within(widget, indication) || (widget && modalAtStart && widget->window() == modalAtStart);
    return !allowed;
}
