#include "app/gui/AppStartup.h"
#include "platform/DescriptorTable.h"
#include "platform/MemoryPolicy.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    kd::ReserveDescriptorTable();
    kd::ReturnLargeBlocksToTheSystem();
    try {
        return kd::AppStartup::run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "kordyne: " << e.what() << '\n';
        return 1;
    }
}
