// A small Windows host that loads the module the way its host does and checks
// it through its binary interface: yuv4mpeg2.auo as AviUtl 1.x (the 32-bit
// build), yuv4mpeg2.auo2 as ExEdit2 (the 64-bit build).
//   module_test_host MODULE GROUP     GROUP: descriptor, resources, export, dialog, exedit2 (64-bit)
#include <stdio.h>
#include <string.h>

#include <string>

#include "tests/wine/host_harness.h"

void TestVariants();
void TestLargeExport(const std::string& directory);

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "variants") == 0) {
        TestVariants();
        return ReportChecks();
    }
    if (argc < 3) {
        fprintf(stderr, "usage: %s MODULE descriptor|resources|export|dialog|large DIR\n", argv[0]);
        return 2;
    }
    const char* group = argv[2];
    if (strcmp(group, "resources") == 0) {
        if (!LoadModuleResources(argv[1])) {
            printf("cannot load %s as data (error %lu)\n", argv[1], GetLastError());
            return 1;
        }
        TestResources();
        return ReportChecks();
    }
    if (!LoadModule(argv[1])) {
        printf("cannot load %s or find GetOutputPluginTable (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    CHECK(InterceptMessageBoxes());
    if (strcmp(group, "descriptor") == 0)
        TestDescriptor();
    else if (strcmp(group, "export") == 0)
        TestExport();
    else if (strcmp(group, "dialog") == 0)
        TestDialog();
#if defined(_WIN64)
    else if (strcmp(group, "exedit2") == 0)
        TestExEdit2Only();
#endif
    else if (strcmp(group, "large") == 0 && argc > 3)
        TestLargeExport(argv[3]);
    else {
        fprintf(stderr, "unknown group %s\n", group);
        return 2;
    }
    return ReportChecks();
}
