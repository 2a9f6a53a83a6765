// Shows one configuration dialog filled from a simulated device and saves a picture of it.
// Usage: dialogs-demo param|network|general en|zh output.png [language-dir]
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "General.h"
#include "LanguageConfig.h"
#include "NetworkProperty.h"
#include "ParamCfg.h"

#include <QApplication>
#include <QHostAddress>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

SimDeviceState DemoDevice()
{
    SimDeviceState state;
    state.keyLock = true;
    state.autoMode = false;
    state.panelType = 1;
    state.remoteAddress = QStringLiteral("192.168.1.21");
    state.remotePassword = QStringLiteral("123456");
    state.slaveAddress[0] = QStringLiteral("192.168.1.22");
    state.slavePassword[0] = QStringLiteral("123456");
    state.address = 0xC0A80164; // 192.168.1.100: only reported, never used
    state.subnetMask = 0xFFFFFF00;
    state.gateway = 0xC0A80101;
    state.isDefault = true;
    return state;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (QStyle* style = QStyleFactory::create(QStringLiteral("plastique")))
        QApplication::setStyle(style);

    const QStringList args = QApplication::arguments();
    const QStringList kinds = { QStringLiteral("param"), QStringLiteral("network"), QStringLiteral("general") };
    if (args.size() < 4 || !kinds.contains(args[1])
        || (args[2] != QLatin1String("en") && args[2] != QLatin1String("zh"))) {
        std::fprintf(stderr, "usage: dialogs-demo param|network|general en|zh output.png [language-dir]\n");
        return 2;
    }
    LanguageConfig language(nullptr, args.size() > 4 ? args[4] : QString());
    language.SetLanguage(args[2] == QLatin1String("zh") ? 1 : 0);

    DeviceSimulator sim(DemoDevice());
    DiveVodNetClient client;
    if (!sim.start(QStringLiteral("127.0.0.1"), 0)
        || client.OpenChannel(QStringLiteral("127.0.0.1"), sim.port()) != 0) {
        std::fprintf(stderr, "dialogs-demo: the simulated device did not start\n");
        return 1;
    }
    client.SetLoginInfo(0, QStringLiteral("123456"));
    if (client.Authenticate() != 0) {
        std::fprintf(stderr, "dialogs-demo: login failed\n");
        return 1;
    }

    std::unique_ptr<QDialog> dialog;
    int read = 0;
    if (args[1] == QLatin1String("param")) {
        auto* param = new ParamCfg(&client);
        read = param->ReadParam();
        dialog.reset(param);
    } else if (args[1] == QLatin1String("general")) {
        auto* general = new General(&client);
        read = general->ReadInfo();
        dialog.reset(general);
    } else {
        auto* network = new NetworkProperty;
        QString address, mask, gateway;
        bool isDefault = false;
        read = client.GetNetParam(address, mask, gateway, isDefault);
        network->SetNetworkProperty(QHostAddress(address), QHostAddress(mask), QHostAddress(gateway));
        if (isDefault)
            network->SetInfo(QCoreApplication::translate("DiveVod", "Current network parameters is default"));
        dialog.reset(network);
    }
    if (read != 0) {
        std::fprintf(stderr, "dialogs-demo: reading the device failed\n");
        return 1;
    }
    dialog->show();

    const QString output = args[3];
    int result = 0;
    QTimer::singleShot(500, [&]() {
        if (!dialog->grab().save(output)) {
            std::fprintf(stderr, "dialogs-demo: cannot write %s\n", qPrintable(output));
            result = 1;
        }
        app.quit();
    });
    app.exec();
    client.CloseChannel();
    return result;
}
