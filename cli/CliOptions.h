#ifndef CLIOPTIONS_H
#define CLIOPTIONS_H

#include <QString>
#include <QStringList>

// One divevod-cli command line, parsed and checked before anything is sent: the subcommand, its
// address or inventory, the output format and the subcommand's own arguments. Passwords are not
// part of it; they come from the environment or a file (PasswordSource).
class CliOptions
{
public:
    enum class Format { Text, Json, Csv, JsonLines };

    // Parses argv; false with `exitCode` and `error` set when the line is refused. --help and
    // --version are answered through `exitCode` 0 and the text in `output`.
    bool Parse(const QStringList& arguments);

    static QString HelpText();
    // Four dotted decimal numbers 0 to 255 without leading zeros.
    static bool IsIpv4Address(const QString& text);

    QString command;
    QString address;
    QString inventory;
    Format format = Format::Text;
    int userType = 0; // 0 admin, 1 guest
    QString passwordFile;
    QString partnerPasswordFile;
    double seconds = 0; // watch: 0 runs until a signal
    int parallel = 16;
    double timeout = 10;
    QString warning;
    QString critical;
    QStringList setArguments; // set: FIELD VALUE or partner N ADDRESS

    int exitCode = 0;
    QString error;
    QString output;
};

#endif // CLIOPTIONS_H
