#include "RowPrinter.h"

#include "AlarmRows.h"

#include <QJsonDocument>
#include <QJsonObject>

RowPrinter::RowPrinter(CliOptions::Format format, FILE* out)
    : format(format)
    , out(out)
{
    if (format == CliOptions::Format::Csv) {
        std::fputs("Number,Time,Input,Alarm Type,Alarm Status,Notes\n", out);
        std::fflush(out);
    }
}

void RowPrinter::Print(const AlarmRecord& record)
{
    const QStringList fields = AlarmRows::Fields(nextNumber++, record);
    QByteArray line;
    switch (format) {
    case CliOptions::Format::Csv:
        line = fields.join(QLatin1Char(',')).toLatin1();
        break;
    case CliOptions::Format::JsonLines:
        line = QJsonDocument(QJsonObject { { "number", fields[0].toInt() },
                                           { "time", fields[1] },
                                           { "input", fields[2] },
                                           { "alarmType", fields[3] },
                                           { "alarmStatus", fields[4] },
                                           { "notes", fields[5] } })
                   .toJson(QJsonDocument::Compact);
        break;
    default:
        line = QStringLiteral("%1  %2  %3  %4  %5  %6")
                   .arg(fields[0], 4)
                   .arg(fields[1], fields[2].leftJustified(7), fields[3].leftJustified(17), fields[4], fields[5])
                   .toUtf8();
        while (line.endsWith(' '))
            line.chop(1);
        break;
    }
    line += '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), out);
    std::fflush(out);
}
