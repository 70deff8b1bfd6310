#include <QApplication>

#include "updater/utility.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("upvelo"));
    return updater::runUtility(application);
}
