#include "sim/SimMain.h"

int main(int argc, char** argv) {
    return voltaris::RunSim(argc, argv);
}
