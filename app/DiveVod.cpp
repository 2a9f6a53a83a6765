#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "AboutDialog.h"
#include "AlarmJournal.h"
#include "AlarmView.h"
#include "AcoGpioInfoMetaType.h"
#include "DeviceWait.h"
#include "DiveVodNetClient.h"
#include "DiveVodSettings.h"
#include "DiveVodVersion.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "GpioStateThread.h"
#include "LanguageConfig.h"
#include "RemoteACOConnectThread.h"
#include "UpdateThread.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QScreen>
#include <QShortcut>
#include <QHeaderView>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTime>

namespace {
const char kTimeFormat[] = "hh:mm:ss";
} // namespace

const char* const DiveVod::kControlVersion = DIVEVOD_VERSION;

DiveVod::DiveVod(LanguageConfig* language, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
    , nextRowNumber(1)
    , client(nullptr)
    , gpioStateThread(nullptr)
    , updateThread(nullptr)
    , remoteACOConnectThread(nullptr)
    , gpioStatus2x1(nullptr)
    , gpioStatus4x1(nullptr)
    , languageConfig(language)
    , currentPanelType(255)
    , disconnected(1)
    , upgradeCheckArmed(true)
    , connectionLost(false)
    , userType(0)
    , autoSaveEnabled(false)
    , deviceAlive(false)
    , journal(new AlarmJournal(this))
    , journalTried(false)
    , alarmView(nullptr)
    , ui(new Ui::DiveVodClass)
{
    ui->setupUi(this);

    client = new DiveVodNetClient;
    disconnected = 1;
    // Before any connection that carries a record across threads.
    registerAcoGpioInfoMetaType();

    LoadSettings();

    // Where the platform has no such style the current one stays.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("plastique")))
        QApplication::setStyle(style);

    currentPanelType = 255;
    gpioStateThread = new GpioStateThread(client);
    updateThread = new UpdateThread(client);
    remoteACOConnectThread = new RemoteACOConnectThread(client);

    ui->tableWidget->setAlternatingRowColors(true);
    // Wide enough for a time stamp and the longest alarm texts; notes take the rest.
    QHeaderView* header = ui->tableWidget->horizontalHeader();
    const int widths[] = {70, 160, 110, 230, 170};
    for (int column = 0; column < 5; ++column)
        header->resizeSection(column, widths[column]);
    header->setStretchLastSection(true);
    ui->actionDisconnect->setEnabled(false);
    alarmView = new AlarmView(ui->tableWidget, ui->verticalLayout, ui->lineEditFilter, ui->pushButtonNewRows, this);

    // LoadSettings ran before these, so filling the form from the store did not write it back.
    connect(ui->actionConnect, SIGNAL(triggered()), this, SLOT(OnConnect()));
    connect(ui->actionDisconnect, SIGNAL(triggered()), this, SLOT(OnDisConnect()));
    connect(ui->actionAbout, SIGNAL(triggered()), this, SLOT(OnAbout()));
    connect(ui->actionConfigure, SIGNAL(triggered()), this, SLOT(OnLanguageConfig()));
    connect(ui->actionConfigParam, SIGNAL(triggered()), this, SLOT(OnConfigParam()));
    connect(ui->actionConfigNetwork, SIGNAL(triggered()), this, SLOT(OnNetworkProperty()));
    connect(ui->actionGeneral, SIGNAL(triggered()), this, SLOT(OnGeneral()));
    connect(ui->actionChangePassword, SIGNAL(triggered()), this, SLOT(OnChangePassword()));
    connect(ui->pushButtonClear, SIGNAL(clicked()), this, SLOT(OnClear()));
    connect(ui->pushButtonSaveAs, SIGNAL(clicked()), this, SLOT(OnSaveAs()));
    connect(ui->checkBoxAutoSave, SIGNAL(stateChanged(int)), this, SLOT(OnSetAutoSaveTimeEnable(int)));
    connect(ui->timeEdit, SIGNAL(timeChanged(const QTime&)), this, SLOT(OnTimeChanged(const QTime&)));
    connect(&autoSaveTimer, SIGNAL(timeout()), this, SLOT(OnAutoSaveTimer()));
    connect(ui->toolButton, SIGNAL(clicked()), this, SLOT(OnHideWidget()));
    connect(ui->actionOpenLogsFolder, SIGNAL(triggered()), this, SLOT(OnOpenLogsFolder()));
    connect(gpioStateThread, SIGNAL(SendInfo(AcoGpioInfo)), this, SLOT(OnRecvStatusInfo(AcoGpioInfo)));
    connect(updateThread, SIGNAL(IsAlive(bool, int)), this, SLOT(OnIsAlive(bool, int)));
    connect(remoteACOConnectThread, SIGNAL(IsRemoteACOAlive(QString, bool)), this,
            SLOT(OnRecvRemoteACOConnectStatus(QString, bool)));
    SetUpWatching();
    UpdateLogsNote();
    AddShortcuts();
    FitToScreen();
}

DiveVod::~DiveVod()
{
    // The workers use the client and the panels use it on a key press: stop every loop first (closing
    // the channel cuts an exchange in flight short), then release what they used.
    remoteACOConnectThread->Stop();
    updateThread->Stop();
    gpioStateThread->Stop();
    client->CloseChannel();
    remoteACOConnectThread->StopAndWait();
    updateThread->StopAndWait();
    gpioStateThread->StopAndWait();
    delete remoteACOConnectThread;
    delete updateThread;
    delete gpioStateThread;
    delete gpioStatus2x1;
    delete gpioStatus4x1;
    delete client;
    delete ui;
}

void DiveVod::LoadSettings()
{
    QSettings settings{kSettingsOrganisation, kSettingsApplication};

    gpioStatus2x1 = new GPIOStatus2x1(client, nullptr);
    gpioStatus4x1 = new GPIOStatus4x1(client, nullptr);
    ui->horizontalLayout_2->addWidget(gpioStatus2x1);
    ui->horizontalLayout_2->addWidget(gpioStatus4x1);
    if (settings.value(QStringLiteral("DeviceType"), 0).toInt() == 0)
        gpioStatus4x1->hide();
    else
        gpioStatus2x1->hide();

    const QString time = settings.value(QStringLiteral("AutoSaveTime")).toString();
    const QString enable = settings.value(QStringLiteral("AutoSaveEnable")).toString();

    if (time.isEmpty())
        settings.setValue(QStringLiteral("AutoSaveTime"), ui->timeEdit->text());
    else
        ui->timeEdit->setTime(QTime::fromString(time, QLatin1String(kTimeFormat)));

    if (enable.isEmpty())
        settings.setValue(QStringLiteral("AutoSaveEnable"),
                          ui->checkBoxAutoSave->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    else
        ui->checkBoxAutoSave->setChecked(enable == QLatin1String("true"));

    autoSaveTime = ui->timeEdit->text();
    autoSaveEnabled = ui->checkBoxAutoSave->isChecked();
    ui->timeEdit->setEnabled(autoSaveEnabled);
}

void DiveVod::AddShortcuts()
{
    // Fixed keys, the same in every language.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { ui->menuBar->setActiveAction(ui->menuDevice->menuAction()); });
    connect(new QShortcut(QKeySequence(Qt::CTRL + Qt::Key_S), this), &QShortcut::activated, ui->pushButtonSaveAs,
            &QPushButton::click);
    connect(new QShortcut(QKeySequence(Qt::CTRL + Qt::Key_Q), this), &QShortcut::activated, this, &QWidget::close);
}

void DiveVod::FitToScreen()
{
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The window manager's title bar and borders are not known before the window is shown: leave room for them.
    const QSize frame(16, 48);
    const QRect available = screen->availableGeometry();
    const QSize size = this->size().boundedTo(available.size() - frame).expandedTo(minimumSizeHint());
    resize(size);
    move(available.x() + qMax(0, (available.width() - size.width() - frame.width()) / 2),
         available.y() + qMax(0, (available.height() - size.height() - frame.height()) / 2));
}

void DiveVod::OnAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void DiveVod::OnLanguageConfig()
{
    const int x = this->x() + (width() - languageConfig->width()) / 2;
    const int y = this->y() + (height() - languageConfig->height()) / 2;
    languageConfig->move(x, y);
    languageConfig->ShowLanguage();
    if (languageConfig->exec() == QDialog::Accepted) {
        languageConfig->ApplyLanguage();
        ui->retranslateUi(this);
        baseTitle = windowTitle();
        UpdateStatusLine();
        alarmView->Retranslate();
        UpdateLogsNote();
    }
}

void DiveVod::OnSetAutoSaveTimeEnable(int status)
{
    QSettings settings{kSettingsOrganisation, kSettingsApplication};
    autoSaveEnabled = status != 0;
    settings.setValue(QStringLiteral("AutoSaveEnable"), autoSaveEnabled ? QStringLiteral("true") : QStringLiteral("false"));
    ui->timeEdit->setEnabled(autoSaveEnabled);
}

void DiveVod::OnTimeChanged(const QTime& time)
{
    autoSaveTime = time.toString(QLatin1String(kTimeFormat));
    QSettings settings{kSettingsOrganisation, kSettingsApplication};
    settings.setValue(QStringLiteral("AutoSaveTime"), autoSaveTime);
}

void DiveVod::OnHideWidget()
{
    // The window's own layout: fixed, the window shrinks to the panel area; freed again, the alarm area's
    // passing minimum height makes it grow back.
    QLayout* layout = this->layout();
    if (ui->toolButton->arrowType() == Qt::UpArrow) {
        expandedSize = size();
        ui->widget_2->hide();
        layout->setSizeConstraint(QLayout::SetFixedSize);
        ui->toolButton->setArrowType(Qt::DownArrow);
    } else {
        ui->widget_2->setMinimumHeight(550);
        layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
        ui->widget_2->show();
        ui->toolButton->setArrowType(Qt::UpArrow);
        ui->widget_2->setMinimumHeight(0);
        // Back to exactly the size the window had before, not to whatever the layout settles on: settle the
        // layouts now (the central one first), so that no later layout pass resizes the window again.
        ui->centralWidget->layout()->activate();
        layout->activate();
        if (expandedSize.isValid())
            resize(expandedSize);
    }
}

void DiveVod::closeEvent(QCloseEvent* event)
{
    // The workers go on until the window is destroyed; only the rows are secured here. A command that
    // waits on the device ends with the session instead, the way a disconnect ends it: the channel
    // closes under its exchange, and reports that come later are ignored.
    if (disconnected == 0) {
        if (DeviceWait::Running())
            DisconnectDevice();
        BackupLog();
    } else if (unsavedRows && ui->tableWidget->rowCount() > 0) {
        // Logged out, a clean end still leaves every row in a file (and so no journal to recover).
        BackupLog();
    }
    event->accept();
}
