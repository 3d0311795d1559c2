#include <QCoreApplication>
#include <cstdio>

#include "base/ResString.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("%s %s\n", qPrintable(voltaris::ResString(301)), qPrintable(voltaris::ResString(303)));
    return 0;
}
