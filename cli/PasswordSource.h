#ifndef PASSWORDSOURCE_H
#define PASSWORDSOURCE_H

#include <QString>

// Where divevod-cli takes a password from: a file named by an option (first line, readable by its
// owner only) or else an environment variable. Never the command line, where `ps` shows it.
class PasswordSource
{
public:
    // false with `error` set when neither gives one, or the file cannot be used.
    static bool Read(const char* variable, const char* fileOption, const QString& file, QString& password,
                     QString& error);
};

#endif // PASSWORDSOURCE_H
