// The baseline of the divevod-cli figures: a Qt Core program that does nothing. Started bare it ends
// once its application object stands (the cost of any Qt command-line program's start); with --stay=N
// it idles in its event loop for N seconds, as a watch that receives nothing would.
#include <QCoreApplication>
#include <QTimer>

#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--stay=", 7) == 0) {
            QTimer::singleShot(std::atoi(argv[i] + 7) * 1000, &app, &QCoreApplication::quit);
            return QCoreApplication::exec();
        }
    }
    return 0;
}
