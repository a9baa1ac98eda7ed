// vgadisc: the disc authoring tool (installer archives and install-disc checks).
#include <exception>
#include <iostream>

#include "tools/vgadisc/commands.h"

int main(int argc, char** argv)
{
    try {
        vgadisc::Args args(argv + 1, argv + argc);
        return vgadisc::runCommand(args, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "vgadisc: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "vgadisc: unexpected failure\n";
    }
    return vgadisc::kExitError;
}
