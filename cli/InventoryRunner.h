#ifndef INVENTORYRUNNER_H
#define INVENTORYRUNNER_H

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// --inventory: the units of a file ("ADDRESS [NAME]" per line, '#' comments) queried by a fixed
// number of worker threads, each unit on a client of its own, and reported in file order.
class InventoryRunner
{
public:
    struct Unit
    {
        QString address;
        QString name;
    };

    struct Result
    {
        int exitCode = 0; // a CliExitCode, or for check the plugin state
        QString error; // why the unit failed
        QStringList cells; // the unit's table cells after name and address
        QJsonObject json; // the unit's JSON fields after name and address
    };

    // false with `error` when the file cannot be read or lists no unit.
    static bool ReadFile(const QString& path, QVector<Unit>& units, QString& error);
    // Runs `query` for every unit, at most `parallel` at once; results in unit order.
    static QVector<Result> Run(const QVector<Unit>& units, int parallel,
                               const std::function<Result(const Unit&)>& query);
};

#endif // INVENTORYRUNNER_H
