#ifndef COMMANDLINE_H
#define COMMANDLINE_H

// Answers --help and --version before any window system is touched, so that both work without a
// display. Returns the exit code when one of them was asked for (the caller then ends), otherwise -1
// and leaves every argument to the application object (Qt's own options such as -platform or -style).
int AnswerInformationOptions(int argc, char* argv[]);

#endif // COMMANDLINE_H
