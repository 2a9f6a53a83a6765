#include "InventoryRunner.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

bool InventoryRunner::ReadFile(const QString& path, QVector<Unit>& units, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot read the inventory %1: %2").arg(path, file.errorString());
        return false;
    }
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        const int comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0)
            line.truncate(comment);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const int gap = line.indexOf(blanks);
        units.append(gap < 0 ? Unit { line, QString() } : Unit { line.left(gap), line.mid(gap).trimmed() });
    }
    if (units.isEmpty()) {
        error = QStringLiteral("the inventory %1 names no unit.").arg(path);
        return false;
    }
    return true;
}

QVector<InventoryRunner::Result> InventoryRunner::Run(const QVector<Unit>& units, int parallel,
                                                      const std::function<Result(const Unit&)>& query)
{
    QVector<Result> results(units.size());
    std::atomic<int> next { 0 };
    const auto work = [&] {
        for (int i; (i = next++) < units.size();)
            results[i] = query(units[i]);
    };
    std::vector<std::thread> workers;
    const int count = std::min(parallel, int(units.size()));
    for (int i = 0; i < count; ++i)
        workers.emplace_back(work);
    for (std::thread& worker : workers)
        worker.join();
    return results;
}
