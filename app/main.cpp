#include "app/gui/AppStartup.h"
#include "platform/MemoryPolicy.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    kd::ReturnLargeBlocksToTheSystem();
    try {
        return kd::AppStartup::run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "kordyne: " << e.what() << '\n';
        return 1;
    }
}
