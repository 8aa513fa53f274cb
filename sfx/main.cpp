// The self-extractor stub: the program in front of a self-extracting archive.
#include <iostream>

#include "platform/DescriptorTable.h"
#include "platform/Paths.h"
#include "sfx/SfxExtractor.h"
#include "sfx/SfxImage.h"
#include "sfx/SfxOptions.h"

int main(int argc, char** argv) {
    kd::ReserveDescriptorTable();
    const std::string program = argc > 0 ? kd::fileNameOf(argv[0]) : "sfx";
    try {
        const kd::SfxOptions options = kd::ParseSfxOptions(argc, argv);
        const kd::SfxImage image = kd::ReadSfxImage(kd::executablePath());
        if (options.Help) {
            std::cout << kd::SfxUsage(program, image.Config);
            return 0;
        }
        return kd::SfxExtractor(image, options).Run();
    } catch (const kd::SfxUsageError& e) {
        std::cerr << program << ": " << e.what() << "\nTry " << program << " --help\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << program << ": " << e.what() << "\n";
        return 1;
    }
}
